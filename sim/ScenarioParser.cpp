#include "ScenarioParser.h"

#include <cctype>
#include <sstream>

#include "MacAddress.h"
#include "Number.h"
#include "QualityName.h"

namespace SyncSim {

namespace {

using SyncPeers::QualityName;
using SyncSys::MacAddress;
using SyncSys::Number;
using Step = Scenario::Step;
using Order = DataPlaneClient::Order;

// Field widths of the port-control wire records: longer texts would arrive cut.
constexpr size_t PORT_NAME_WIDTH = 16;
constexpr size_t INTERFACE_NAME_WIDTH = 18;
constexpr int LONGEST_WAIT_MS = 3600 * 1000;

struct Name {
    const char* name;
    uint32_t value;
};

const Name ROLES[] = {{"fronthaul", PortControlServer::ROLE_C2}};
const Name ADMIN_STATES[] = {{"locked", 0}, {"unlocked", 1}, {"shuttingdown", 2}};
const Name OPER_STATES[] = {{"disabled", 0}, {"enabled", 1}};
const Name SELECTION_MODES[] = {{"QL_ENABLED", 1}, {"QL_DISABLED", 2}};
const Name TELECOM_STANDARDS[] = {{"OPTION_I", 1}, {"OPTION_II", 2}, {"OPTION_III", 3}};
const Name ORDER_KINDS[] = {{"OUTPUT_CREATE", Order::OUTPUT_CREATE}, {"OUTPUT_CHANGE", Order::OUTPUT_CHANGE},
                            {"OUTPUT_REMOVE", Order::OUTPUT_REMOVE}, {"TRANSMIT_SSM", Order::TRANSMIT_SSM},
                            {"ESMC_CONTROL", Order::ESMC_CONTROL},   {"INPUT_CREATE", Order::INPUT_CREATE},
                            {"INPUT_CHANGE", Order::INPUT_CHANGE},   {"INPUT_REMOVE", Order::INPUT_REMOVE}};

bool sameText(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

template <size_t N>
bool nameOrNumber(const std::string& word, const Name (&names)[N], uint32_t& value) {
    for (const Name& name : names) {
        if (sameText(word, name.name)) {
            value = name.value;
            return true;
        }
    }
    std::string unused;
    return Number::read(word, value, "", unused);
}

template <size_t N>
std::string choices(const Name (&names)[N]) {
    std::string text;
    for (const Name& name : names)
        text += std::string(text.empty() ? "" : ", ") + name.name;
    return text;
}

// "10s" or "500ms", more than nothing and at most an hour.
bool duration(const std::string& word, int& ms) {
    const bool milliseconds = word.size() > 2 && word.compare(word.size() - 2, 2, "ms") == 0;
    if (!milliseconds && (word.empty() || word.back() != 's'))
        return false;
    const int scale = milliseconds ? 1 : 1000;
    const std::optional<uint64_t> amount =
        Number::read(word.substr(0, word.size() - (milliseconds ? 2 : 1)), 1, LONGEST_WAIT_MS / scale);
    if (!amount)
        return false;
    ms = static_cast<int>(*amount) * scale;
    return true;
}

// "-" stands for an empty text.
std::string textOrEmpty(const std::string& word) {
    return word == "-" ? std::string() : word;
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

}  // namespace

bool ScenarioParser::parse(const std::string& text) {
    std::istringstream stream(text);
    return parse(stream);
}

std::vector<std::string> ScenarioParser::wordsOf(const std::string& line) {
    std::istringstream stream(line.substr(0, line.find('#')));
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

bool ScenarioParser::parseStep(const std::string& line, size_t number, Step& step, std::string& error) {
    const std::vector<std::string> words = wordsOf(line);
    error.clear();
    if (words.empty())
        return false;
    step = Step();
    step.line = number;
    step.source = joined(words);
    if (words[0] == "port")
        error = "the port table is the scenario's; no port can be added";
    else if (parseLine(words, step, error))
        return true;
    error += " (\"" + step.source + "\")";
    return false;
}

bool ScenarioParser::parse(std::istream& text) {
    scenario_ = Scenario();
    errors_.clear();
    std::string line;
    for (size_t number = 1; std::getline(text, line); ++number) {
        const std::vector<std::string> words = wordsOf(line);
        if (words.empty())
            continue;
        std::string error;
        Step step;
        step.line = number;
        step.source = joined(words);
        bool good = false;
        if (words[0] == "port" && !scenario_.steps.empty()) {
            error = "the port table comes before the first step";
        } else if (words[0] == "port") {
            good = parsePort(words, error);
        } else {
            good = parseLine(words, step, error);
            if (good && scenario_.endsWithExit()) {
                error = "nothing may follow exit";
                good = false;
            }
            if (good)
                scenario_.steps.push_back(step);
        }
        if (!good)
            errors_.push_back("line " + std::to_string(number) + ": " + error + " (\"" + step.source + "\")");
    }
    if (!errors_.empty())
        scenario_ = Scenario();
    return errors_.empty();
}

bool ScenarioParser::parsePort(const std::vector<std::string>& words, std::string& error) {
    if (words.size() != 8 && words.size() != 9) {
        error = "port needs: role rhaiId mac portName interfaceName admin oper [namespace]";
        return false;
    }
    PortControlServer::Port port;
    const std::optional<MacAddress::Bytes> mac = MacAddress::parse(words[3]);
    if (!nameOrNumber(words[1], ROLES, port.role))
        error = "role must be fronthaul or a number";
    else if (!Number::read(words[2], port.rhaiId, "rhaiId", error))
        return false;
    else if (!mac)
        error = "MAC address must read xx:xx:xx:xx:xx:xx";
    else if (words[4].size() > PORT_NAME_WIDTH || words[4] == "all")
        error = "port name must have at most 16 characters and not be \"all\"";
    else if (std::string unused; knownPort(words[4], unused))
        error = "port " + words[4] + " is already in the table";
    else if (words[5].size() > INTERFACE_NAME_WIDTH)
        error = "interface name must have at most 18 characters";
    else if (!nameOrNumber(words[6], ADMIN_STATES, port.adminState))
        error = "administrative state must be one of " + choices(ADMIN_STATES) + " or a number";
    else if (!nameOrNumber(words[7], OPER_STATES, port.operState))
        error = "operational state must be one of " + choices(OPER_STATES) + " or a number";
    else if (words.size() == 9 && words[8].size() >= PortControlServer::NAMESPACE_WIDTH)
        error = "namespace must have at most 63 characters";
    else
        error.clear();
    if (!error.empty())
        return false;
    port.macAddress = *mac;
    port.portName = words[4];
    port.interfaceName = words[5];
    port.networkNamespace = words.size() == 9 ? textOrEmpty(words[8]) : std::string();
    scenario_.ports.push_back(port);
    return true;
}

bool ScenarioParser::parseLine(const std::vector<std::string>& words, Step& step, std::string& error) {
    const std::string& keyword = words[0];
    const size_t args = words.size() - 1;
    auto arguments = [&](size_t wanted, const char* usage) {
        if (args == wanted)
            return true;
        error = keyword + " needs " + usage;
        return false;
    };
    auto valueOf = [&](const auto& names, const char* what) {
        if (nameOrNumber(words[1], names, step.value))
            return true;
        error = std::string(what) + " must be one of " + choices(names) + " or a number";
        return false;
    };
    if (keyword == "status") {
        step.kind = Step::PORT_STATUS;
        if (!arguments(3, "a port (or all), an administrative and an operational state") ||
            !portOrAll(words[1], step.portName, error))
            return false;
        if (!nameOrNumber(words[2], ADMIN_STATES, step.adminState)) {
            error = "administrative state must be one of " + choices(ADMIN_STATES) + " or a number";
            return false;
        }
        if (!nameOrNumber(words[3], OPER_STATES, step.operState)) {
            error = "operational state must be one of " + choices(OPER_STATES) + " or a number";
            return false;
        }
        return true;
    }
    if (keyword == "send-status") {
        step.kind = Step::SEND_STATUS;
        return arguments(1, "a port (or all)") && portOrAll(words[1], step.portName, error);
    }
    if (keyword == "namespace") {
        step.kind = Step::PORT_NAMESPACE;
        if (!arguments(2, "a port and a namespace (- for none)") || !knownPort(words[1], error))
            return false;
        step.portName = words[1];
        step.text = textOrEmpty(words[2]);
        if (step.text.size() >= PortControlServer::NAMESPACE_WIDTH) {
            error = "namespace must have at most 63 characters";
            return false;
        }
        return true;
    }
    if (keyword == "rec-create" || keyword == "rec-delete") {
        step.kind = keyword == "rec-create" ? Step::REC_CREATE : Step::REC_DELETE;
        return arguments(0, "no arguments");
    }
    if (keyword == "clock-quality") {
        step.kind = Step::CLOCK_QUALITY;
        if (!arguments(1, "a quality level"))
            return false;
        if (const std::optional<uint32_t> quality = QualityName::parse(words[1]))
            step.value = *quality;
        else if (!Number::read(words[1], step.value, "quality level", error))
            error = "quality level must be one of " + QualityName::all() + " or a number";
        return error.empty();
    }
    if (keyword == "selection-mode") {
        step.kind = Step::SELECTION_MODE;
        return arguments(1, "a mode") && valueOf(SELECTION_MODES, "selection process mode");
    }
    if (keyword == "telecom-standard") {
        step.kind = Step::TELECOM_STANDARD;
        return arguments(1, "an option") && valueOf(TELECOM_STANDARDS, "telecom standard");
    }
    if (keyword == "selected-reference") {
        step.kind = Step::SELECTED_REFERENCE;
        if (!arguments(2, "a number and an ldn (- for none)"))
            return false;
        if (!Number::read(words[1], step.value, "selected reference", error))
            return false;
        step.text = textOrEmpty(words[2]);
        return true;
    }
    if (keyword == "mac-forward") {
        step.kind = Step::MAC_FORWARD;
        if (!arguments(1, "a MAC address"))
            return false;
        if (!MacAddress::parse(words[1])) {
            error = "MAC address must read xx:xx:xx:xx:xx:xx";
            return false;
        }
        step.text = words[1];
        return true;
    }
    if (keyword == "wait")
        return parseWait(words, step, error);
    if (keyword == "exit") {
        step.kind = Step::EXIT;
        return arguments(0, "no arguments");
    }
    error = "unknown keyword " + keyword;
    return false;
}

bool ScenarioParser::parseWait(const std::vector<std::string>& words, Step& step, std::string& error) {
    const std::string what = words.size() > 1 ? words[1] : "";
    size_t wanted;
    if (what == "connected") {
        step.kind = Step::WAIT_CONNECTED;
        wanted = 3;
    } else if (what == "port-subscriptions" || what == "sync-subscriptions") {
        step.kind =
            what == "port-subscriptions" ? Step::WAIT_PORT_SUBSCRIPTIONS : Step::WAIT_SYNC_SUBSCRIPTIONS;
        wanted = 4;
    } else if (what == "orders") {
        step.kind = Step::WAIT_ORDERS;
        wanted = 5;
    } else {
        error = "wait needs connected, port-subscriptions, sync-subscriptions or orders";
        return false;
    }
    if (words.size() != wanted) {
        error = "wait " + what + " needs " +
                (wanted == 3   ? "a timeout"
                 : wanted == 4 ? "a count and a timeout"
                               : "a kind, a count and a timeout");
        return false;
    }
    if (step.kind == Step::WAIT_ORDERS) {
        uint32_t kind = 0;
        bool named = false;
        for (const Name& name : ORDER_KINDS)
            if (sameText(words[2], name.name))
                kind = name.value, named = true;
        if (!named) {
            error = "order kind must be one of " + choices(ORDER_KINDS);
            return false;
        }
        step.orderKind = static_cast<Order::Kind>(kind);
    }
    if (wanted > 3) {
        if (!Number::read(words[wanted - 2], step.count, "count", error, 1, UINT32_MAX))
            return false;
    }
    if (!duration(words[wanted - 1], step.timeoutMs)) {
        error = "timeout must read like 10s or 500ms (at most 3600s)";
        return false;
    }
    return true;
}

bool ScenarioParser::portOrAll(const std::string& word, std::string& portName, std::string& error) const {
    if (word == "all") {
        portName.clear();
        return true;
    }
    portName = word;
    return knownPort(word, error);
}

bool ScenarioParser::knownPort(const std::string& word, std::string& error) const {
    for (const PortControlServer::Port& port : scenario_.ports)
        if (port.portName == word)
            return true;
    error = "port " + word + " is not in the table";
    return false;
}

}  // namespace SyncSim
