#include "ClockService.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <variant>

#include "Log.h"

namespace SyncClockd {

namespace {

using SyncSys::Log;
using Subscription = SyncPeers::SyncControlServer::Subscription;

constexpr auto POLL = std::chrono::seconds(1);
// Three polls unanswered: the stack is gone, or hangs.
constexpr auto SILENCE = std::chrono::seconds(3);
constexpr uint16_t SUBSCRIPTION_SECONDS = 60;
constexpr auto RENEWAL = std::chrono::seconds(20);

// What one poll asks; the REC waits until each was answered once, so that its first quality is
// not made of half the picture.
constexpr uint16_t POLLED[] = {PtpManagement::PARENT_DATA_SET, PtpManagement::PORT_DATA_SET,
                               PtpManagement::TIME_STATUS_NP};
constexpr unsigned ALL_SEEN = (1u << (sizeof POLLED / sizeof POLLED[0])) - 1;

const char* modeName(uint32_t mode) {
    return mode == ClockService::QL_ENABLED    ? "QL_ENABLED"
           : mode == ClockService::QL_DISABLED ? "QL_DISABLED"
                                               : "UNKNOWN";
}

const char* const OPTIONS[] = {"UNKNOWN", "OPTION_I", "OPTION_II", "OPTION_III"};

}  // namespace

ClockService::ClockService(SyncPeers::SyncControlServer& server, Settings settings, Send send, Now now)
    : server_(server), settings_(std::move(settings)), send_(std::move(send)), now_(std::move(now)) {}

ClockService::TimePoint ClockService::work() {
    const TimePoint now = now_();
    if (now < nextPoll_)
        return nextPoll_;
    if (answering_ && now - lastAnswer_ >= SILENCE)
        setAnswering(false, "no answer for " + std::to_string(SILENCE.count()) + " s");
    if (!answering_ || now >= nextSubscription_) {
        ask(PtpManagement::SET, PtpManagement::SUBSCRIBE_EVENTS_NP,
            PtpManagement::portStateSubscription(SUBSCRIPTION_SECONDS));
        nextSubscription_ = now + RENEWAL;
    }
    for (uint16_t id : POLLED)
        ask(PtpManagement::GET, id);
    nextPoll_ = now + POLL;
    return nextPoll_;
}

void ClockService::ask(PtpManagement::Action action, uint16_t id, const std::vector<uint8_t>& data) {
    const int error = send_(PtpManagement::request(action, id, ++sequence_, settings_.domain, data));
    if (error != 0)
        setAnswering(false, std::string("cannot reach it: ") + std::strerror(error));
}

void ClockService::received(const uint8_t* bytes, size_t size) {
    std::string why;
    const std::optional<PtpManagement::Message> message = PtpManagement::decode(bytes, size, why);
    if (!message) {
        Log::warning("dropped a datagram from ptp4l: " + why);
        return;
    }
    if (message->errorId != 0) {
        Log::warning("ptp4l refused management id 0x" +
                     [&] {
                         char hex[8];
                         std::snprintf(hex, sizeof hex, "%04X", message->managementId);
                         return std::string(hex);
                     }() +
                     " with error " + std::to_string(message->errorId));
        return;
    }
    if (message->action != PtpManagement::RESPONSE || std::holds_alternative<std::monostate>(message->data)) {
        Log::warning("dropped a message from ptp4l: action " + std::to_string(message->action) +
                     ", management id " + std::to_string(message->managementId));
        return;
    }
    lastAnswer_ = now_();
    if (!answering_)
        setAnswering(true, "");
    if (const auto* parent = std::get_if<PtpManagement::ParentDataSet>(&message->data)) {
        clockClass_ = parent->clockClass;
        grandmaster_ = parent->grandmasterIdentity;
        parentKnown_ = true;
        seen_ |= 1u << 0;
    } else if (const auto* port = std::get_if<PtpManagement::PortDataSet>(&message->data)) {
        const bool wasFollowing = following();
        portStates_[port->portIdentity.port] = port->portState;
        seen_ |= 1u << 1;
        if (following() && !wasFollowing) {
            // A stack that lost its grandmaster may still name it, class and all: the parent
            // data set counts again once asked after the port found one.
            parentKnown_ = false;
            ask(PtpManagement::GET, PtpManagement::PARENT_DATA_SET);
            ask(PtpManagement::GET, PtpManagement::TIME_STATUS_NP);
        }
    } else if (const auto* time = std::get_if<PtpManagement::TimeStatus>(&message->data)) {
        gmPresent_ = time->gmPresent;
        seen_ |= 1u << 2;
    }
    update();
}

void ClockService::setAnswering(bool answering, const std::string& why) {
    if (answering == answering_) {
        if (!answering && why != silence_)
            Log::info((silence_.empty() ? "ptp4l does not answer yet: " : "ptp4l still silent: ") + why);
        silence_ = answering ? "" : why;
        return;
    }
    answering_ = answering;
    silence_ = why;
    if (answering) {
        Log::info("ptp4l answers", {{"SYNC_PEER", "ptp4l"}});
        nextSubscription_ = TimePoint{};
        return;
    }
    Log::warning("ptp4l does not answer: " + why, {{"SYNC_PEER", "ptp4l"}});
    portStates_.clear();
    gmPresent_ = false;
    parentKnown_ = false;
    seen_ = 0;
    update();
}

bool ClockService::following() const {
    for (const auto& [port, state] : portStates_)
        if (state == PtpManagement::SLAVE || state == PtpManagement::UNCALIBRATED)
            return true;
    return false;
}

bool ClockService::tracking() const {
    return answering_ && seen_ == ALL_SEEN && gmPresent_ && parentKnown_ && following();
}

uint32_t ClockService::quality() const {
    return tracking() ? settings_.table.lookup(clockClass_) : settings_.table.noReference();
}

void ClockService::setTable(const QualityTable& table) {
    settings_.table = table;
    update();
}

void ClockService::update() {
    if (!recCreated_) {
        if (!answering_ || seen_ != ALL_SEEN)
            return;
        recCreated_ = true;
        Log::info(
            "REC created, selection process mode " + std::string(modeName(settings_.selectionProcessMode)),
            {{"SYNC_REC", "created"}, {"SYNC_MODE", modeName(settings_.selectionProcessMode)}});
        server_.sendRecCreate();
        server_.sendSelectionProcessMode(settings_.selectionProcessMode);
    }
    if (answering_ && seen_ != ALL_SEEN)
        return;  // a stack that came back: wait for the whole picture
    const uint32_t now = quality();
    if (now == indicated_)
        return;
    indicated_ = now;
    Log::Fields fields{{"SYNC_QL", std::to_string(now)}, {"SYNC_QL_NAME", QualityTable::name(now)}};
    if (tracking()) {
        fields.emplace_back("SYNC_GRANDMASTER", PtpManagement::clockText(grandmaster_));
        fields.emplace_back("SYNC_CLOCK_CLASS", std::to_string(clockClass_));
    }
    Log::info(std::string("clock settled quality ") + QualityTable::name(now) + " (" + std::to_string(now) +
                  "): " +
                  (tracking() ? "grandmaster " + PtpManagement::clockText(grandmaster_) + " clockClass " +
                                    std::to_string(clockClass_)
                              : std::string("no grandmaster tracked")),
              fields);
    server_.sendClockSettledQuality(now);
}

void ClockService::subscribed(const Subscription& subscription) {
    if (subscription.kind == SyncPeers::SyncControlServer::REC_DATA && recCreated_) {
        server_.sendRecCreate();
        server_.sendSelectionProcessMode(settings_.selectionProcessMode);
        server_.sendClockSettledQuality(indicated_);
    } else if (subscription.kind == SyncPeers::SyncControlServer::TELECOM_STANDARD) {
        server_.sendTelecomStandard(settings_.telecomStandard);
    }
}

void ClockService::dropped(const std::string& why) {
    Log::warning("dropped from the bus: " + why);
}

std::vector<std::string> ClockService::status() const {
    std::vector<std::string> lines;
    const double ago = std::chrono::duration<double>(now_() - lastAnswer_).count();
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", ago);
    lines.push_back(answering_ ? "ptp4l answering, last answer " + std::string(text) + " s ago"
                               : "ptp4l silent: " + silence_);
    lines.push_back(parentKnown_ ? "grandmaster " + PtpManagement::clockText(grandmaster_) + " clockClass " +
                                       std::to_string(clockClass_)
                                 : "grandmaster not known");
    lines.push_back(std::string("gmPresent ") + (gmPresent_ ? "true" : "false"));
    for (const auto& [port, state] : portStates_)
        lines.push_back("port " + std::to_string(port) + " " + PtpManagement::stateName(state));
    const uint32_t option = settings_.telecomStandard <= 3 ? settings_.telecomStandard : 0;
    lines.push_back(std::string(recCreated_ ? "REC created" : "REC not created") +
                    ", selection process mode " + modeName(settings_.selectionProcessMode) +
                    ", telecom standard " + OPTIONS[option]);
    lines.push_back(
        indicated_ == 0
            ? std::string("no clock settled quality indicated yet")
            : std::string("indicated clock settled quality ") + QualityTable::name(indicated_) + " (" +
                  std::to_string(indicated_) + ") to " +
                  std::to_string(server_.subscriptionsTo(SyncPeers::SyncControlServer::REC_DATA).size()) +
                  " subscriber(s)");
    return lines;
}

std::string ClockService::summary() const {
    const std::string stack = !answering_  ? "ptp4l silent"
                              : tracking() ? "grandmaster " + PtpManagement::clockText(grandmaster_) +
                                                 " clockClass " + std::to_string(clockClass_)
                                           : "ptp4l answers, no grandmaster tracked";
    return stack + "; " +
           (indicated_ == 0 ? std::string("no quality indicated yet")
                            : std::string("quality ") + QualityTable::name(indicated_) + " indicated");
}

nlohmann::ordered_json ClockService::report() const {
    nlohmann::ordered_json ports = nlohmann::ordered_json::array();
    for (const auto& [port, state] : portStates_)
        ports.push_back({{"number", port}, {"state", PtpManagement::stateName(state)}});
    nlohmann::ordered_json grandmaster = {
        {"tracked", tracking()}, {"present", gmPresent_}, {"identity", nullptr}, {"clockClass", nullptr}};
    if (parentKnown_) {
        grandmaster["identity"] = PtpManagement::clockText(grandmaster_);
        grandmaster["clockClass"] = clockClass_;
    }
    nlohmann::ordered_json indicated = nullptr;
    if (indicated_ != 0)
        indicated = {{"value", indicated_}, {"name", QualityTable::name(indicated_)}};
    const uint32_t option = settings_.telecomStandard <= 3 ? settings_.telecomStandard : 0;
    return {{"program", "sync-clockd"},
            {"ptp4l", {{"answering", answering_}, {"silence", silence_}}},
            {"grandmaster", std::move(grandmaster)},
            {"ports", std::move(ports)},
            {"recCreated", recCreated_},
            {"selectionProcessMode", modeName(settings_.selectionProcessMode)},
            {"telecomStandard", OPTIONS[option]},
            {"indicated", std::move(indicated)},
            {"subscribers", server_.subscriptionsTo(SyncPeers::SyncControlServer::REC_DATA).size()}};
}

}  // namespace SyncClockd
