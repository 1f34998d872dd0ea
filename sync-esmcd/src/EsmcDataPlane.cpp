#include "EsmcDataPlane.h"

#include <utility>

#include "Log.h"
#include "MacAddress.h"

namespace SyncEsmcd {

using SyncSys::Log;
using SyncSys::MacAddress;

namespace {

std::string idText(uint32_t outputId) {
    return "output " + std::to_string(outputId);
}

// The journal fields of a line about one output: its id, and where it transmits once it exists.
Log::Fields outputFields(uint32_t outputId, const EsmcOutput* output = nullptr) {
    Log::Fields fields{{"SYNC_OUTPUT", std::to_string(outputId)}};
    if (output != nullptr) {
        const Log::Fields more = output->fields();
        fields.insert(fields.end(), more.begin(), more.end());
    }
    return fields;
}

Log::Fields requestFields(const EsmcDataPlane::Order& order, uint32_t error) {
    return {{"SYNC_OUTPUT", std::to_string(order.procedureReference)},
            {"SYNC_INTERFACE", order.interfaceName},
            {"SYNC_NETNS", order.networkNameSpace},
            {"SYNC_ERROR_CODE", std::to_string(error)}};
}

Log::Fields daemonFields(uint32_t mailbox) {
    return {{"SYNC_PEER", "sync-lumov-control"}, {"SYNC_PEER_MAILBOX", std::to_string(mailbox)}};
}

// The order's announcement; nothing when a field does not fit its octet (or the SSM its nibble).
std::optional<EsmcPdu::Quality> qualityOf(const EsmcDataPlane::Order& order) {
    if (order.ssmCode > 0xF || order.enhancedSsmCode > 0xFF || order.flag > 0xFF ||
        order.numberCascadedEnhancedEec > 0xFF || order.numberCascadedEec > 0xFF)
        return std::nullopt;
    EsmcPdu::Quality quality;
    quality.ssmCode = static_cast<uint8_t>(order.ssmCode);
    quality.enhancedSsmCode = static_cast<uint8_t>(order.enhancedSsmCode);
    quality.clockIdentity = order.syncEMasterId;
    quality.flag = static_cast<uint8_t>(order.flag);
    quality.cascadedEeecs = static_cast<uint8_t>(order.numberCascadedEnhancedEec);
    quality.cascadedEecs = static_cast<uint8_t>(order.numberCascadedEec);
    return quality;
}

}  // namespace

EsmcDataPlane::EsmcDataPlane(SyncPeers::DataPlaneClient& client, Settings settings, SocketFactory sockets,
                             Now now)
    : client_(client), settings_(std::move(settings)), sockets_(std::move(sockets)), now_(std::move(now)) {}

EsmcDataPlane::~EsmcDataPlane() = default;

uint32_t EsmcDataPlane::ordered(const Order& order) {
    const TimePoint now = now_();
    switch (order.kind) {
        case Order::OUTPUT_CREATE:
            return create(order, now);
        case Order::OUTPUT_CHANGE:
            return change(order, now);
        case Order::OUTPUT_REMOVE:
            remove(order.procedureReference);
            return CONFIG_OK;
        case Order::TRANSMIT_SSM: {
            Entry* entry = bound(order.procedureReference, "transmit order");
            const std::optional<EsmcPdu::Quality> quality = qualityOf(order);
            if (entry && !quality)
                Log::warning(idText(order.procedureReference) +
                                 ": transmit order with a value out of range: " + order.describe() +
                                 "; dropped",
                             outputFields(order.procedureReference, entry->output.get()));
            if (!entry || !quality)
                return CONFIG_OK;
            entry->output->order(*quality, now);
            reschedule(byOutputId_[order.procedureReference]);
            return CONFIG_OK;
        }
        case Order::ESMC_CONTROL: {
            Entry* entry = bound(order.procedureReference, "ESMC control");
            if (entry && order.output > 1)
                Log::warning(idText(order.procedureReference) + ": ESMC control " +
                                 std::to_string(order.output) + " is neither 0 nor 1; dropped",
                             outputFields(order.procedureReference, entry->output.get()));
            if (!entry || order.output > 1)
                return CONFIG_OK;
            entry->output->order(order.output == 1, now);
            reschedule(byOutputId_[order.procedureReference]);
            return CONFIG_OK;
        }
        case Order::INPUT_CREATE:
        case Order::INPUT_CHANGE:
            Log::warning("input " + std::to_string(order.procedureReference) + " on " + order.interfaceName +
                             ": rejected, this data plane only transmits",
                         {{"SYNC_INPUT", std::to_string(order.procedureReference)},
                          {"SYNC_INTERFACE", order.interfaceName},
                          {"SYNC_ERROR_CODE", std::to_string(INPUTS_NOT_SUPPORTED)}});
            return INPUTS_NOT_SUPPORTED;
        case Order::INPUT_REMOVE:
            return CONFIG_OK;
    }
    return CONFIG_OK;
}

uint32_t EsmcDataPlane::create(const Order& order, TimePoint now) {
    if (byOutputId_.count(order.procedureReference) != 0)
        return change(order, now);  // created twice: the second one says where it is now
    const std::optional<EsmcPdu::Mac> mac = MacAddress::parse(order.macAddress);
    if (!mac) {
        Log::warning(idText(order.procedureReference) + ": create rejected, bad MAC address \"" +
                         order.macAddress + "\"",
                     requestFields(order, BAD_MAC_ADDRESS));
        return BAD_MAC_ADDRESS;
    }
    const auto held = held_.find(Key(order.networkNameSpace, order.interfaceName));
    if (held != held_.end()) {
        const uint64_t serial = held->second;
        held_.erase(held);
        Entry& entry = outputs_.at(serial);
        entry.outputId = order.procedureReference;
        byOutputId_[order.procedureReference] = serial;
        entry.output->setMac(*mac);
        entry.output->settle(settings_.settle, now);
        reschedule(serial);
        Log::info(idText(order.procedureReference) + ": " + entry.output->where() + " taken over, still " +
                      (entry.output->transmitting() ? "transmitting" : "off"),
                  outputFields(order.procedureReference, entry.output.get()));
        return CONFIG_OK;
    }
    std::unique_ptr<EsmcOutput> output;
    const uint32_t error = open(order, output);
    if (error != CONFIG_OK)
        return error;
    const uint64_t serial = nextSerial_++;
    Log::info(idText(order.procedureReference) + ": created on " + output->where(),
              outputFields(order.procedureReference, output.get()));
    outputs_[serial] = Entry{std::move(output), TimePoint::max(), order.procedureReference};
    byOutputId_[order.procedureReference] = serial;
    return CONFIG_OK;
}

uint32_t EsmcDataPlane::change(const Order& order, TimePoint now) {
    Entry* entry = bound(order.procedureReference, "change request");
    if (!entry)
        return UNKNOWN_OUTPUT;
    const std::optional<EsmcPdu::Mac> mac = MacAddress::parse(order.macAddress);
    if (!mac) {
        Log::warning(idText(order.procedureReference) + ": change rejected, bad MAC address \"" +
                         order.macAddress + "\"",
                     requestFields(order, BAD_MAC_ADDRESS));
        return BAD_MAC_ADDRESS;
    }
    EsmcOutput& current = *entry->output;
    if (current.netns() == order.networkNameSpace && current.interfaceName() == order.interfaceName) {
        current.setMac(*mac);
        current.resendNow(now);
        reschedule(byOutputId_[order.procedureReference]);
        return CONFIG_OK;
    }
    std::unique_ptr<EsmcOutput> moved;
    const uint32_t error = open(order, moved);
    if (error != CONFIG_OK)
        return error;  // the output stays where it was
    Log::info(idText(order.procedureReference) + ": moved from " + current.where() + " to " + moved->where(),
              outputFields(order.procedureReference, moved.get()));
    moved->order(current.onWire(), now);
    moved->order(current.transmitting(), now);
    entry->output = std::move(moved);
    reschedule(byOutputId_[order.procedureReference]);
    return CONFIG_OK;
}

uint32_t EsmcDataPlane::open(const Order& order, std::unique_ptr<EsmcOutput>& output) {
    std::unique_ptr<PacketSocket> socket = sockets_();
    const ConfigError error = socket->open(order.networkNameSpace, order.interfaceName);
    if (error != CONFIG_OK) {
        Log::warning(idText(order.procedureReference) + ": rejected with code " + std::to_string(error) +
                         ", " + describe(error) + ": interface \"" + order.interfaceName +
                         "\" in network namespace \"" +
                         (order.networkNameSpace.empty() ? "(own)" : order.networkNameSpace) + "\"",
                     requestFields(order, error));
        return error;
    }
    output = std::make_unique<EsmcOutput>(std::move(socket), order.networkNameSpace, order.interfaceName,
                                          *MacAddress::parse(order.macAddress));
    return CONFIG_OK;
}

void EsmcDataPlane::remove(uint32_t outputId) {
    const auto found = byOutputId_.find(outputId);
    if (found == byOutputId_.end()) {
        Log::warning("remove request for unknown " + idText(outputId) + ": confirmed, nothing to stop",
                     outputFields(outputId));
        return;
    }
    const uint64_t serial = found->second;
    Log::info(idText(outputId) + ": removed from " + outputs_.at(serial).output->where(),
              outputFields(outputId, outputs_.at(serial).output.get()));
    byOutputId_.erase(found);
    erase(serial);
}

EsmcDataPlane::Entry* EsmcDataPlane::bound(uint32_t outputId, const char* what) {
    const auto found = byOutputId_.find(outputId);
    if (found != byOutputId_.end())
        return &outputs_.at(found->second);
    Log::warning(std::string(what) + " for unknown " + idText(outputId) + ": dropped",
                 outputFields(outputId));
    return nullptr;
}

void EsmcDataPlane::connectionChanged(State state) {
    const TimePoint now = now_();
    if (state == State::CONNECTED) {
        Log::info("connected to the daemon (mailbox " + std::to_string(client_.serverPid()) + ")",
                  daemonFields(client_.serverPid()));
        if (settings_.clockMac)
            client_.forwardMacAddress(settings_.clockMac->data());
        holdEnds_ = TimePoint::max();
        if (!held_.empty())
            heldClose_ = now + settings_.hold;
    } else if (state_ == State::CONNECTED) {
        holdAll(now);
    }
    state_ = state;
}

void EsmcDataPlane::holdAll(TimePoint now) {
    for (const auto& [outputId, serial] : byOutputId_) {
        Entry& entry = outputs_.at(serial);
        entry.outputId = 0;
        const Key key(entry.output->netns(), entry.output->interfaceName());
        const auto [slot, fresh] = held_.emplace(key, serial);
        if (!fresh) {
            erase(slot->second);  // two outputs on one interface: the later one is held
            held_[key] = serial;
        }
    }
    byOutputId_.clear();
    holdEnds_ = now + settings_.hold;
    heldClose_ = TimePoint::max();
    Log::warning("the daemon went away: " + std::to_string(held_.size()) +
                     " outputs keep their last orders for " + std::to_string(settings_.hold.count()) +
                     " s, then announce do-not-use",
                 {{"SYNC_PEER", "sync-lumov-control"}, {"SYNC_HELD_OUTPUTS", std::to_string(held_.size())}});
}

void EsmcDataPlane::dropped(const std::string& why) {
    Log::warning("bus message dropped: " + why);
}

EsmcDataPlane::TimePoint EsmcDataPlane::work() {
    const TimePoint now = now_();
    if (holdEnds_ <= now) {
        holdEnds_ = TimePoint::max();
        Log::warning("hold time over: " + std::to_string(held_.size()) + " outputs announce do-not-use");
        for (const auto& [key, serial] : held_) {
            outputs_.at(serial).output->holdExpired(now);
            reschedule(serial);
        }
    }
    if (heldClose_ <= now) {
        heldClose_ = TimePoint::max();
        if (!held_.empty())
            Log::warning(std::to_string(held_.size()) + " held outputs were not created again: closed");
        while (!held_.empty()) {
            erase(held_.begin()->second);
            held_.erase(held_.begin());
        }
    }
    while (!schedule_.empty() && schedule_.begin()->first <= now) {
        const uint64_t serial = schedule_.begin()->second;
        schedule_.erase(schedule_.begin());
        Entry& entry = outputs_.at(serial);
        entry.scheduled = TimePoint::max();
        entry.output->work(now);
        reschedule(serial);
    }
    TimePoint next = schedule_.empty() ? TimePoint::max() : schedule_.begin()->first;
    for (const TimePoint deadline : {holdEnds_, heldClose_})
        if (deadline < next)
            next = deadline;
    return next;
}

void EsmcDataPlane::reschedule(uint64_t serial) {
    Entry& entry = outputs_.at(serial);
    if (entry.scheduled != TimePoint::max())
        schedule_.erase({entry.scheduled, serial});
    entry.scheduled = entry.output->due();
    if (entry.scheduled != TimePoint::max())
        schedule_.insert({entry.scheduled, serial});
}

void EsmcDataPlane::erase(uint64_t serial) {
    const auto found = outputs_.find(serial);
    if (found == outputs_.end())
        return;
    if (found->second.scheduled != TimePoint::max())
        schedule_.erase({found->second.scheduled, serial});
    outputs_.erase(found);
}

std::vector<std::string> EsmcDataPlane::status() const {
    std::vector<std::string> lines;
    lines.push_back("status: " + std::to_string(outputs_.size()) + " outputs (" +
                    std::to_string(held_.size()) + " held), daemon " +
                    (state_ == State::CONNECTED ? "connected" : "not connected"));
    for (const auto& [serial, entry] : outputs_)
        lines.push_back("status: " + (entry.outputId != 0 ? idText(entry.outputId) : std::string("held")) +
                        "  " + entry.output->status());
    return lines;
}

std::string EsmcDataPlane::summary() const {
    size_t transmitting = 0, linkDown = 0;
    for (const auto& [serial, entry] : outputs_) {
        transmitting += entry.output->transmitting() && !entry.output->failing() ? 1 : 0;
        linkDown += entry.output->failing() ? 1 : 0;
    }
    return std::to_string(outputs_.size()) + " outputs: " + std::to_string(transmitting) + " transmitting, " +
           std::to_string(held_.size()) + " held, " + std::to_string(linkDown) + " link down; daemon " +
           (state_ == State::CONNECTED ? "connected" : "not connected");
}

}  // namespace SyncEsmcd
