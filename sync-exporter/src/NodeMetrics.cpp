#include "NodeMetrics.h"

#include <map>
#include <stdexcept>
#include <unordered_set>
#include <utility>

#include <nlohmann/json.hpp>

#include "Log.h"

namespace SyncExporter {

namespace {

using json = nlohmann::json;
using Place = std::pair<std::string, std::string>;  // network namespace, interface

// The names the labels give the daemon's peers.
const std::pair<const char*, const char*> PEERS[] = {
    {"port-control", "port_control"}, {"sync-control", "sync_control"}, {"data-plane", "data_plane"}};

uint64_t number(const json& object, const char* key) {
    const json& value = object.at(key);
    if (!value.is_number_unsigned())
        throw std::runtime_error(std::string("\"") + key + "\" is not a whole number >= 0: " + value.dump());
    return value.get<uint64_t>();
}

bool flag(const json& object, const char* key) {
    const json& value = object.at(key);
    if (!value.is_boolean())
        throw std::runtime_error(std::string("\"") + key + "\" is not true or false: " + value.dump());
    return value.get<bool>();
}

std::string text(const json& object, const char* key) {
    const json& value = object.at(key);
    if (!value.is_string())
        throw std::runtime_error(std::string("\"") + key + "\" is not a text: " + value.dump());
    return value.get<std::string>();
}

const json& list(const json& object, const char* key) {
    const json& value = object.at(key);
    if (!value.is_array())
        throw std::runtime_error(std::string("\"") + key + "\" is not a list");
    return value;
}

// What the sources tell each other: which port each output is.
struct Ports {
    std::map<uint64_t, std::string> byOutputId;  // the daemon's
    std::map<Place, std::string> byPlace;        // sync-portd's
};

// Names each port of one list once: a second sample of a series would be dropped by Prometheus.
class Names {
  public:
    // The name, kept here (a set's elements stay where they are).
    const std::string& once(std::string name) {
        const auto [kept, fresh] = seen_.insert(std::move(name));
        if (!fresh)
            throw std::runtime_error("port " + *kept + " named twice");
        return *kept;
    }

  private:
    std::unordered_set<std::string> seen_;
};

void daemon(const std::vector<json>& documents, Exposition& out, Ports& ports) {
    if (documents.size() != 2)
        throw std::runtime_error("not the two answers asked for");
    const json& outputs = documents[0];
    const json& status = documents[1];
    out.add(Metric::REC_ACTIVE, {}, text(status, "recState") == "ACTIVATED");
    const json& quality = status.at("clockSettledQuality");
    out.add(Metric::SETTLED_QUALITY_LEVEL, {}, number(quality, "value"));
    out.add(Metric::SETTLED_QUALITY_INFO, {text(quality, "name")}, 1);
    for (const auto& [name, label] : PEERS)
        out.add(Metric::PEER_CONNECTED, {label}, flag(status.at("peers").at(name), "connected"));
    Names names;
    for (const json& output : list(outputs.at("outputs"), "items")) {
        const std::string& port = names.once(text(output, "port"));
        // The daemon keeps an output enabled while its port is down, but shows it only while it is up.
        out.add(Metric::OUTPUT_ENABLED, {port}, flag(output, "synceOutputEnabled") && flag(output, "active"));
        out.add(Metric::OUTPUT_SSM, {port}, number(output, "ssm"));
        out.add(Metric::OUTPUT_ENHANCED_SSM, {port}, number(output, "enhancedSsmCode"));
        ports.byOutputId[number(output, "id")] = port;
    }
}

void portd(const json& document, Exposition& out, Ports& ports) {
    Names names;
    for (const json& port : list(document, "ports")) {
        const std::string& name = names.once(text(port, "name"));
        out.add(Metric::PORT_UNLOCKED, {name}, flag(port, "unlocked"));
        out.add(Metric::PORT_ENABLED, {name}, flag(port, "enabled"));
        ports.byPlace[Place(text(port, "namespace"), text(port, "interface"))] = name;
    }
}

void esmcd(const json& document, Exposition& out, const Ports& ports) {
    Names names;
    for (const json& output : list(document, "outputs")) {
        const json& id = output.at("id");
        const auto byId =
            id.is_number_unsigned() ? ports.byOutputId.find(id.get<uint64_t>()) : ports.byOutputId.end();
        const auto byPlace = ports.byPlace.find(Place(text(output, "namespace"), text(output, "interface")));
        const bool held = flag(output, "held");
        const bool refused = !output.at("refused").is_null();
        const json& pdus = output.at("pdus");
        const uint64_t information = number(pdus, "information");
        const uint64_t events = number(pdus, "event");
        const uint64_t errors = number(output, "sendErrors");
        if (byId == ports.byOutputId.end() && byPlace == ports.byPlace.end())
            continue;  // no one names its port
        const std::string& port = names.once(byId != ports.byOutputId.end() ? byId->second : byPlace->second);
        out.add(Metric::ESMC_PDUS, {port, "information"}, information);
        out.add(Metric::ESMC_PDUS, {port, "event"}, events);
        out.add(Metric::ESMC_SEND_ERRORS, {port}, errors);
        out.add(Metric::ESMC_OUTPUT_HELD, {port}, held);
        out.add(Metric::ESMC_OUTPUT_REFUSED, {port}, refused);
    }
}

void clockd(const json& document, Exposition& out) {
    const json& grandmaster = document.at("grandmaster");
    const bool tracked = flag(grandmaster, "tracked");
    out.add(Metric::PTP_GRANDMASTER_PRESENT, {}, tracked);
    if (tracked)
        out.add(Metric::PTP_GRANDMASTER_CLOCK_CLASS, {}, number(grandmaster, "clockClass"));
}

}  // namespace

const char* NodeMetrics::label(Source source) {
    static const char* const LABELS[] = {"daemon", "esmcd", "portd", "clockd"};
    return LABELS[source];
}

const char* NodeMetrics::program(Source source) {
    static const char* const PROGRAMS[] = {"sync-lumov-control", "sync-esmcd", "sync-portd", "sync-clockd"};
    return PROGRAMS[source];
}

NodeMetrics::Answer NodeMetrics::read(const std::vector<std::string>& texts) {
    Answer answer;
    for (const std::string& text : texts)
        readMore(answer, text);
    return answer;
}

void NodeMetrics::readMore(Answer& answer, const std::string& text) {
    answer.answered = true;
    if (!answer.failure.empty())
        return;
    try {
        answer.documents.push_back(json::parse(text));
    } catch (const json::exception& e) {
        answer.documents.clear();
        answer.failure = e.what();
    }
}

Exposition NodeMetrics::metrics(const Answers& answers) {
    Exposition all;
    Ports ports;
    bool up[SOURCE_COUNT] = {};
    // The daemon and sync-portd first: they name the ports of sync-esmcd's outputs.
    for (const Source source : {DAEMON, PORTD, ESMCD, CLOCKD}) {
        const Answer& answer = answers[source];
        if (!answer.answered) {
            report(source, "does not answer: " + answer.failure);
            continue;
        }
        if (!answer.failure.empty()) {
            report(source, "answered what is dropped: " + answer.failure);
            continue;
        }
        Exposition part;
        const Ports known = ports;
        try {
            if (source == DAEMON) {
                daemon(answer.documents, part, ports);
            } else {
                if (answer.documents.size() != 1)
                    throw std::runtime_error("not one document");
                if (source == PORTD)
                    portd(answer.documents[0], part, ports);
                else if (source == ESMCD)
                    esmcd(answer.documents[0], part, ports);
                else
                    clockd(answer.documents[0], part);
            }
        } catch (const std::exception& e) {
            ports = known;  // what a dropped answer said names no port
            report(source, std::string("answered what is dropped: ") + e.what());
            continue;
        }
        all.append(std::move(part));
        up[source] = true;
        report(source, "");
    }
    for (int source = 0; source < SOURCE_COUNT; ++source)
        all.add(Metric::UP, {label(static_cast<Source>(source))}, up[source]);
    return all;
}

void NodeMetrics::report(Source source, const std::string& complaint) {
    if (known_[source] && complaint == complaints_[source])
        return;
    if (!complaint.empty())
        SyncSys::Log::warning(std::string(program(source)) + " " + complaint);
    else if (known_[source])
        SyncSys::Log::info(std::string(program(source)) + " answers again");
    known_[source] = true;
    complaints_[source] = complaint;
}

}  // namespace SyncExporter
