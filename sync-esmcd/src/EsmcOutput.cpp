#include "EsmcOutput.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

#include "Log.h"

namespace SyncEsmcd {

using SyncSys::Log;

namespace {

constexpr std::chrono::seconds SECOND(1);

std::string describe(const EsmcPdu::Quality& quality) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "ssm 0x%X enhanced 0x%02X clock 0x%016" PRIX64 " flag 0x%02X eEEC %u EEC %u",
                  quality.ssmCode, quality.enhancedSsmCode, quality.clockIdentity, quality.flag,
                  quality.cascadedEeecs, quality.cascadedEecs);
    return text;
}

}  // namespace

EsmcOutput::EsmcOutput(std::unique_ptr<PacketSocket> socket, std::string netns, std::string interfaceName,
                       std::optional<EsmcPdu::Mac> mac)
    : socket_(std::move(socket)),
      netns_(std::move(netns)),
      interfaceName_(std::move(interfaceName)),
      mac_(mac) {}

void EsmcOutput::order(const EsmcPdu::Quality& quality, TimePoint now) {
    ordered_ = quality;
    if (settleWindow_.count() > 0)
        applyAt_ = now + settleWindow_;
    else
        apply(now);
}

void EsmcOutput::order(bool transmit, TimePoint now) {
    orderedTransmit_ = transmit;
    if (settleWindow_.count() > 0)
        applyAt_ = now + settleWindow_;
    else
        apply(now);
}

void EsmcOutput::settle(std::chrono::milliseconds window, TimePoint now) {
    // What is on the wire stays there unless the returning daemon orders otherwise.
    ordered_ = wire_;
    orderedTransmit_ = transmitting_;
    settleWindow_ = window;
    applyAt_ = now + window;
}

void EsmcOutput::holdExpired(TimePoint now) {
    ordered_ = EsmcPdu::doNotUse(wire_);
    orderedTransmit_ = transmitting_;
    settleWindow_ = std::chrono::milliseconds(0);
    applyAt_ = TimePoint::max();
    apply(now);
}

void EsmcOutput::apply(TimePoint now) {
    settleWindow_ = std::chrono::milliseconds(0);
    const bool changed = ordered_ != wire_;
    wire_ = ordered_;
    if (orderedTransmit_ != transmitting_) {
        transmitting_ = orderedTransmit_;
        eventPending_ = false;
        nextInformation_ = now;  // the first PDU goes at once
        Log::info(where() + (transmitting_ ? ": transmitting, " : ": stopped, ") + describe(wire_), fields());
    } else if (changed) {
        eventPending_ = transmitting_;
        Log::info(where() + ": announces " + describe(wire_), fields());
    }
}

ConfigError EsmcOutput::reach(TimePoint now) {
    if (socket_->isOpen())
        return CONFIG_OK;
    const ConfigError error = open();
    if (error == CONFIG_OK)
        nextInformation_ = now;  // what it was last ordered goes at once
    return error;
}

ConfigError EsmcOutput::reopen(TimePoint now) {
    socket_->close();
    return reach(now);
}

ConfigError EsmcOutput::moveTo(std::string netns, std::string interfaceName, TimePoint now) {
    socket_->close();
    netns_ = std::move(netns);
    interfaceName_ = std::move(interfaceName);
    return reach(now);
}

ConfigError EsmcOutput::open() {
    const ConfigError error = mac_ ? socket_->open(netns_, interfaceName_) : BAD_MAC_ADDRESS;
    if (error == CONFIG_OK)
        refusal_ = CONFIG_OK;
    else
        lose(error);
    return error;
}

void EsmcOutput::lose(ConfigError why) {
    socket_->close();
    if (refusal_ == CONFIG_OK)
        refusedSince_ = std::chrono::system_clock::now();
    refusal_ = why;
    eventPending_ = false;
    clearFailure();  // the refusal says it now
}

void EsmcOutput::carrierUp(TimePoint now) {
    if (failure_ != 0)
        nextInformation_ = now;
}

void EsmcOutput::work(TimePoint now) {
    if (applyAt_ <= now) {
        applyAt_ = TimePoint::max();
        apply(now);
    }
    if (!transmitting_ || !socket_->isOpen() || !windowAllows(now))
        return;
    if (eventPending_)
        transmit(true, now);
    else if (now >= nextInformation_)
        transmit(false, now);
}

EsmcOutput::TimePoint EsmcOutput::due() const {
    TimePoint next = applyAt_;
    if (transmitting_ && socket_->isOpen()) {
        TimePoint send = eventPending_ ? TimePoint::min() : nextInformation_;
        if (send < windowOpens())
            send = windowOpens();
        if (send < next)
            next = send;
    }
    return next;
}

void EsmcOutput::transmit(bool event, TimePoint now) {
    const EsmcPdu::Frame frame = EsmcPdu::build(*mac_, wire_, event);
    int error = socket_->send(frame.data(), frame.size());
    if (error == ENODEV || error == ENXIO) {
        // The interface went, or went and came back with a new index: bind to the name again, or
        // wait, refused, until it is back.
        socket_->close();
        if (open() != CONFIG_OK)
            return;
        error = socket_->send(frame.data(), frame.size());
    }
    // A failed event is not retried on its own: the next information PDU carries the same values.
    eventPending_ = false;
    nextInformation_ = now + SECOND;
    lastSends_[nextSlot_] = now;
    nextSlot_ = (nextSlot_ + 1) % lastSends_.size();
    if (error != 0) {
        ++sendErrors_;
        reportFailure(error);
        return;
    }
    ++sent_;
    events_ += event ? 1 : 0;
    if (failure_ != 0) {
        Log::info(where() + ": sending again", fields());
        clearFailure();
    }
}

bool EsmcOutput::windowAllows(TimePoint now) const {
    return now >= windowOpens();
}

EsmcOutput::TimePoint EsmcOutput::windowOpens() const {
    // The oldest of the last MAX_PER_SECOND sends; before that many, a default time long past.
    const TimePoint oldest = lastSends_[nextSlot_];
    return oldest == TimePoint() ? oldest : oldest + SECOND;
}

void EsmcOutput::reportFailure(int error) {
    if (error == failure_)
        return;  // said once; a link that stays down must not flood the log
    failure_ = error;
    lastError_ = std::strerror(error);
    Log::warning(where() + ": cannot send: " + lastError_ + " (retrying once a second)", fields());
}

void EsmcOutput::clearFailure() {
    failure_ = 0;
    lastError_.clear();
}

std::string EsmcOutput::where() const {
    return netns_.empty() ? interfaceName_ : netns_ + "/" + interfaceName_;
}

SyncSys::Log::Fields EsmcOutput::fields() const {
    char ssm[8];
    char enhanced[8];
    std::snprintf(ssm, sizeof ssm, "0x%02x", wire_.ssmCode);
    std::snprintf(enhanced, sizeof enhanced, "0x%02x", wire_.enhancedSsmCode);
    return {{"SYNC_INTERFACE", interfaceName_},
            {"SYNC_NETNS", netns_},
            {"SYNC_SSM", ssm},
            {"SYNC_ENHANCED_SSM", enhanced},
            {"SYNC_TRANSMITTING", transmitting_ ? "true" : "false"}};
}

std::string EsmcOutput::refusalText() const {
    if (refusal_ == CONFIG_OK)
        return "";
    const std::time_t since = std::chrono::system_clock::to_time_t(refusedSince_);
    std::tm local{};
    char text[200];
    const size_t length = std::strftime(text, sizeof text, "since %F %T: ", localtime_r(&since, &local));
    std::snprintf(text + length, sizeof text - length, "%s (code %u)", describe(refusal_), refusal_);
    return text;
}

std::string EsmcOutput::status() const {
    char text[400];
    std::snprintf(text, sizeof text, "%-16s netns %-16s %-3s %s pdus %" PRIu64 " %s %s",
                  interfaceName_.c_str(), netns_.empty() ? "-" : netns_.c_str(), transmitting_ ? "on" : "off",
                  describe(wire_).c_str(), sent_, refusal_ != CONFIG_OK ? "refused" : "error",
                  refusal_ != CONFIG_OK ? refusalText().c_str()
                  : lastError_.empty()  ? "-"
                                        : lastError_.c_str());
    return text;
}

nlohmann::ordered_json EsmcOutput::report() const {
    char clock[24];
    std::snprintf(clock, sizeof clock, "%016" PRIx64, wire_.clockIdentity);
    nlohmann::ordered_json refused = nullptr;
    if (refusal_ != CONFIG_OK) {
        const std::time_t since = std::chrono::system_clock::to_time_t(refusedSince_);
        std::tm local{};
        char when[40];
        std::strftime(when, sizeof when, "%FT%T%z", localtime_r(&since, &local));
        refused = {{"code", refusal_}, {"cause", describe(refusal_)}, {"since", when}};
    }
    return {{"interface", interfaceName_},
            {"namespace", netns_},
            {"transmitting", transmitting_},
            {"ssm", wire_.ssmCode},
            {"enhancedSsm", wire_.enhancedSsmCode},
            {"clockIdentity", clock},
            {"flag", wire_.flag},
            {"cascadedEeecs", wire_.cascadedEeecs},
            {"cascadedEecs", wire_.cascadedEecs},
            {"pdus", {{"information", sent_ - events_}, {"event", events_}}},
            {"sendErrors", sendErrors_},
            {"lastError", lastError_},
            {"refused", std::move(refused)}};
}

}  // namespace SyncEsmcd
