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

// The log line's end for a create or change refused with `error`: why, with what it named.
std::string rejection(const EsmcDataPlane::Order& order, ConfigError error) {
    const std::string what = error == BAD_MAC_ADDRESS
                                 ? " \"" + order.macAddress + "\""
                                 : ": interface \"" + order.interfaceName + "\" in network namespace \"" +
                                       (order.networkNameSpace.empty() ? "(own)" : order.networkNameSpace) +
                                       "\"";
    return "rejected with code " + std::to_string(error) + ", " + describe(error) + what +
           "; kept, it transmits once it can be reached";
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
    const auto held = mac ? held_.find(Key(order.networkNameSpace, order.interfaceName)) : held_.end();
    if (held != held_.end()) {
        const uint64_t serial = held->second;
        held_.erase(held);
        Entry& entry = outputs_.at(serial);
        entry.outputId = order.procedureReference;
        byOutputId_[order.procedureReference] = serial;
        EsmcOutput& output = *entry.output;
        output.setMac(*mac);
        output.settle(settings_.settle, now);
        const ConfigError before = output.refusal();
        const ConfigError error = output.reach(now);
        entry.owed = error != CONFIG_OK ? SyncPeers::DataPlaneClient::OUTPUT_CONFIG_CREATE_RCFM : 0;
        Log::info(idText(order.procedureReference) + ": " + output.where() + " taken over, still " +
                      (error != CONFIG_OK      ? std::string("refused: ") + describe(error)
                       : output.transmitting() ? "transmitting"
                                               : "off"),
                  outputFields(order.procedureReference, &output));
        reached(serial, before);
        return error;
    }
    auto output = std::make_unique<EsmcOutput>(sockets_(), order.networkNameSpace, order.interfaceName, mac);
    const ConfigError error = output->reach(now);
    const uint64_t serial = nextSerial_++;
    if (error == CONFIG_OK)
        Log::info(idText(order.procedureReference) + ": created on " + output->where(),
                  outputFields(order.procedureReference, output.get()));
    else
        Log::warning(idText(order.procedureReference) + ": " + rejection(order, error),
                     requestFields(order, error));
    outputs_[serial] = Entry{std::move(output), TimePoint::max(), order.procedureReference,
                             error != CONFIG_OK ? SyncPeers::DataPlaneClient::OUTPUT_CONFIG_CREATE_RCFM : 0};
    byOutputId_[order.procedureReference] = serial;
    recountNamespaces();
    return error;
}

uint32_t EsmcDataPlane::change(const Order& order, TimePoint now) {
    Entry* entry = bound(order.procedureReference, "change request");
    if (entry == nullptr)
        return UNKNOWN_OUTPUT;
    const std::optional<EsmcPdu::Mac> mac = MacAddress::parse(order.macAddress);
    if (!mac) {
        Log::warning(idText(order.procedureReference) + ": change rejected, bad MAC address \"" +
                         order.macAddress + "\"; nothing changed",
                     requestFields(order, BAD_MAC_ADDRESS));
        return BAD_MAC_ADDRESS;
    }
    const uint64_t serial = byOutputId_[order.procedureReference];
    EsmcOutput& output = *entry->output;
    output.setMac(*mac);
    entry->owed = 0;  // this answer is the one that counts
    const ConfigError before = output.refusal();
    ConfigError error = CONFIG_OK;
    if (output.netns() == order.networkNameSpace && output.interfaceName() == order.interfaceName) {
        // The daemon's word that the port is back: a refused output is tried at once.
        error = output.reach(now);
        output.resendNow(now);
    } else {
        const std::string from = output.where();
        error = output.moveTo(order.networkNameSpace, order.interfaceName, now);
        recountNamespaces();
        if (error == CONFIG_OK)
            Log::info(idText(order.procedureReference) + ": moved from " + from + " to " + output.where(),
                      outputFields(order.procedureReference, &output));
    }
    if (error != CONFIG_OK) {
        Log::warning(idText(order.procedureReference) + ": change " + rejection(order, error),
                     requestFields(order, error));
        entry->owed = SyncPeers::DataPlaneClient::OUTPUT_CONFIG_CHANGE_RCFM;
        reschedule(serial);
        return error;
    }
    reached(serial, before);
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

void EsmcDataPlane::reached(uint64_t serial, ConfigError before) {
    Entry& entry = outputs_.at(serial);
    const EsmcOutput& output = *entry.output;
    const ConfigError now = output.refusal();
    const std::string who =
        (entry.outputId != 0 ? idText(entry.outputId) : std::string("held output")) + " on " + output.where();
    if (now == CONFIG_OK && before != CONFIG_OK) {
        Log::info(who + ": can be reached again, " + (output.transmitting() ? "transmitting" : "off"),
                  outputFields(entry.outputId, &output));
        if (entry.owed != 0 && entry.outputId != 0 && state_ == State::CONNECTED)
            confirmLate(entry);
    } else if (now != before) {
        Log::warning(who + ": cannot be reached: " + describe(now) + " (code " + std::to_string(now) +
                         "); it transmits again once it can be",
                     outputFields(entry.outputId, &output));
    }
    reschedule(serial);
}

void EsmcDataPlane::confirmLate(Entry& entry) {
    // A confirmation carries nothing but the output's id and the connection's reference.
    constexpr uint32_t SIZE = 12;
    constexpr size_t PROCEDURE_REFERENCE = 4;
    constexpr size_t CONNECTION_REFERENCE = 8;
    SyncPeers::WireBuffer confirmation(entry.owed, SIZE);
    confirmation.putBe32(PROCEDURE_REFERENCE, entry.outputId);
    confirmation.putBe32(CONNECTION_REFERENCE, client_.serverConnectionReference());
    if (client_.sendRaw(confirmation))
        Log::info(idText(entry.outputId) + ": confirmed late, for the daemon to send its orders");
    entry.owed = 0;
}

void EsmcDataPlane::namespaceChanged(const std::string& netns, SyncSys::NetnsWatch::Identity now) {
    const TimePoint at = now_();
    for (auto& [serial, entry] : outputs_) {
        EsmcOutput& output = *entry.output;
        if (output.netns() != netns || (output.reachable() && output.socket().netnsIdentity() == now))
            continue;
        // A socket in a namespace that lost its name keeps that namespace alive and transmits into it.
        const ConfigError before = output.refusal();
        if (now)
            output.reopen(at);
        else
            output.lose(NO_SUCH_NAMESPACE);
        reached(serial, before);
    }
}

void EsmcDataPlane::linkChanged(const std::string& netns, const SyncSys::LinkSource::Link& link,
                                bool present) {
    const TimePoint now = now_();
    for (auto& [serial, entry] : outputs_) {
        EsmcOutput& output = *entry.output;
        if (output.netns() != netns)
            continue;
        const bool named = present && output.interfaceName() == link.name;
        const bool bound = output.reachable() && output.socket().ifindex() == link.index;
        const ConfigError before = output.refusal();
        if (named && !bound)
            output.reopen(now);  // it appeared, or replaced the one the socket was bound to
        else if (named && link.up && link.carrier)
            output.carrierUp(now);
        else if (bound && !named)
            output.lose(NO_SUCH_INTERFACE);  // deleted, renamed or moved away
        else
            continue;
        reached(serial, before);
    }
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
        entry.owed = 0;  // a returning daemon creates its outputs again
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
        const ConfigError before = entry.output->refusal();
        entry.output->work(now);
        reached(serial, before);
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
    recountNamespaces();
}

void EsmcDataPlane::recountNamespaces() {
    namespaces_.clear();
    for (const auto& [serial, entry] : outputs_)
        namespaces_.insert(entry.output->netns());
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
    size_t transmitting = 0, linkDown = 0, refused = 0;
    const Entry* longest = nullptr;  // refused the longest
    for (const auto& [serial, entry] : outputs_) {
        const EsmcOutput& output = *entry.output;
        transmitting += output.transmitting() && output.reachable() && !output.failing() ? 1 : 0;
        linkDown += output.failing() ? 1 : 0;
        if (output.reachable())
            continue;
        ++refused;
        if (longest == nullptr || output.refusedSince() < longest->output->refusedSince())
            longest = &entry;
    }
    std::string line = std::to_string(outputs_.size()) + " outputs: " + std::to_string(transmitting) +
                       " transmitting, " + std::to_string(held_.size()) + " held, " +
                       std::to_string(linkDown) + " link down, " + std::to_string(refused) + " refused";
    if (longest != nullptr)
        line += " (" + (longest->outputId != 0 ? idText(longest->outputId) : std::string("held output")) +
                " on " + longest->output->where() + " " + longest->output->refusalText() + ")";
    return line + "; daemon " + (state_ == State::CONNECTED ? "connected" : "not connected");
}

nlohmann::ordered_json EsmcDataPlane::report() const {
    nlohmann::ordered_json outputs = nlohmann::ordered_json::array();
    for (const auto& [serial, entry] : outputs_) {
        nlohmann::ordered_json output = {{"id", nullptr}, {"held", entry.outputId == 0}};
        if (entry.outputId != 0)
            output["id"] = entry.outputId;
        output.update(entry.output->report());
        outputs.push_back(std::move(output));
    }
    return {{"program", "sync-esmcd"},
            {"daemon", state_ == State::CONNECTED ? "connected" : "not connected"},
            {"outputs", std::move(outputs)}};
}

}  // namespace SyncEsmcd
