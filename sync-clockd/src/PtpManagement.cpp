#include "PtpManagement.h"

#include <cstdio>

namespace SyncClockd {

namespace {

using Field = PtpManagement::Field;
using Layout = PtpManagement::Layout;
using Type = PtpManagement::Type;

constexpr uint8_t MANAGEMENT_MESSAGE = 0xD;
constexpr uint8_t VERSION = 2;
constexpr uint8_t CONTROL_MANAGEMENT = 4;
constexpr uint8_t LOG_INTERVAL_NONE = 0x7F;
constexpr uint16_t TLV_MANAGEMENT = 0x0001;
constexpr uint16_t TLV_ERROR_STATUS = 0x0002;
constexpr size_t TLV_HEAD = 4;           // type and length
constexpr size_t ERROR_STATUS_SIZE = 8;  // error id, management id, 4 reserved
constexpr size_t EVENT_BITMASK_SIZE = 64;
constexpr uint8_t NOTIFY_PORT_STATE = 0x01;  // bit 0 of the first bitmask octet

// The offsets are those of the data field, after the management id.
const Field PARENT_FIELDS[] = {
    {"parentPortIdentity", 0, Type::PORT},
    {"parentStats", 10, Type::U8},
    {"observedParentOffsetScaledLogVariance", 12, Type::HEX16},
    {"observedParentClockPhaseChangeRate", 14, Type::HEX32},
    {"grandmasterPriority1", 18, Type::U8},
    {"gm.ClockClass", 19, Type::U8},
    {"gm.ClockAccuracy", 20, Type::HEX8},
    {"gm.OffsetScaledLogVariance", 21, Type::HEX16},
    {"grandmasterPriority2", 23, Type::U8},
    {"grandmasterIdentity", 24, Type::CLOCK},
};
const Field PORT_FIELDS[] = {
    {"portIdentity", 0, Type::PORT},           {"portState", 10, Type::STATE},
    {"logMinDelayReqInterval", 11, Type::I8},  {"peerMeanPathDelay", 12, Type::I64},
    {"logAnnounceInterval", 20, Type::I8},     {"announceReceiptTimeout", 21, Type::U8},
    {"logSyncInterval", 22, Type::I8},         {"delayMechanism", 23, Type::U8},
    {"logMinPdelayReqInterval", 24, Type::I8}, {"versionNumber", 25, Type::NIBBLE},
};
const Field TIME_STATUS_FIELDS[] = {
    {"master_offset", 0, Type::I64},
    {"ingress_time", 8, Type::I64},
    {"scaledLastGmPhaseChange", 20, Type::I32},
    {"gmTimeBaseIndicator", 24, Type::U16},
    {"gmPresent", 38, Type::BOOL32},
    {"gmIdentity", 42, Type::CLOCK},
};
const Field GRANDMASTER_FIELDS[] = {
    {"clockClass", 0, Type::U8},
    {"clockAccuracy", 1, Type::HEX8},
    {"offsetScaledLogVariance", 2, Type::HEX16},
    {"currentUtcOffset", 4, Type::I16},
    {"timeSource", 7, Type::HEX8},
};
const Field SUBSCRIBE_FIELDS[] = {
    {"duration", 0, Type::U16},
};

template <size_t N>
constexpr Layout make(uint16_t id, const char* name, uint16_t size, const Field (&fields)[N]) {
    return Layout{id, name, size, fields, N};
}

const Layout LAYOUTS[] = {
    make(PtpManagement::PARENT_DATA_SET, "PARENT_DATA_SET", 32, PARENT_FIELDS),
    make(PtpManagement::PORT_DATA_SET, "PORT_DATA_SET", 26, PORT_FIELDS),
    make(PtpManagement::TIME_STATUS_NP, "TIME_STATUS_NP", 50, TIME_STATUS_FIELDS),
    make(PtpManagement::GRANDMASTER_SETTINGS_NP, "GRANDMASTER_SETTINGS_NP", 8, GRANDMASTER_FIELDS),
    make(PtpManagement::SUBSCRIBE_EVENTS_NP, "SUBSCRIBE_EVENTS_NP", 2 + EVENT_BITMASK_SIZE, SUBSCRIBE_FIELDS),
};

const char* const STATES[] = {"NONE",       "INITIALIZING", "FAULTY",  "DISABLED",     "LISTENING",
                              "PRE_MASTER", "MASTER",       "PASSIVE", "UNCALIBRATED", "SLAVE"};

size_t width(Type type) {
    switch (type) {
        case Type::U16:
        case Type::I16:
        case Type::HEX16:
            return 2;
        case Type::U32:
        case Type::I32:
        case Type::HEX32:
        case Type::BOOL32:
            return 4;
        case Type::I64:
        case Type::CLOCK:
            return 8;
        case Type::PORT:
            return 10;
        default:
            return 1;
    }
}

uint64_t be(const uint8_t* at, size_t n) {
    uint64_t value = 0;
    for (size_t i = 0; i < n; ++i)
        value = value << 8 | at[i];
    return value;
}

void put16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
    out[at] = static_cast<uint8_t>(value >> 8);
    out[at + 1] = static_cast<uint8_t>(value);
}

std::string format(const char* pattern, uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

const Field* Layout::find(const std::string& name) const {
    for (size_t i = 0; i < count; ++i)
        if (name == fields[i].name)
            return &fields[i];
    return nullptr;
}

const Layout* PtpManagement::layout(uint16_t id) {
    for (const Layout& layout : LAYOUTS)
        if (layout.id == id)
            return &layout;
    return nullptr;
}

std::optional<int64_t> PtpManagement::Message::value(const std::string& name) const {
    const Field* field = layout != nullptr ? layout->find(name) : nullptr;
    if (field == nullptr)
        return std::nullopt;
    const uint8_t* at = data.data() + field->offset;  // within data: decode() checked the size
    const uint64_t raw = be(at, width(field->type));
    switch (field->type) {
        case Type::I8:
            return static_cast<int8_t>(raw);
        case Type::I16:
            return static_cast<int16_t>(raw);
        case Type::I32:
            return static_cast<int32_t>(raw);
        case Type::NIBBLE:
            return raw & 0x0F;
        case Type::PORT:
            return static_cast<int64_t>(be(at + 8, 2));
        default:
            return static_cast<int64_t>(raw);
    }
}

std::string PtpManagement::Message::text(const std::string& name) const {
    const std::optional<int64_t> got = value(name);
    if (!got)
        return "";
    const Field* field = layout->find(name);
    const uint64_t raw = static_cast<uint64_t>(*got);
    switch (field->type) {
        case Type::HEX8:
            return format("0x%02llx", raw);
        case Type::HEX16:
            return format("0x%04llx", raw);
        case Type::HEX32:
            return format("0x%08llx", raw);
        case Type::BOOL32:
            return raw != 0 ? "true" : "false";
        case Type::STATE:
            return stateName(static_cast<unsigned>(raw));
        case Type::CLOCK:
            return clockText(raw);
        case Type::PORT:
            return clockText(be(data.data() + field->offset, 8)) + "-" + std::to_string(raw);
        default:
            return std::to_string(*got);
    }
}

std::vector<uint8_t> PtpManagement::request(Action action, uint16_t id, uint16_t sequenceId, uint8_t domain,
                                            const std::vector<uint8_t>& data) {
    const size_t tlvLength = 2 + data.size();
    std::vector<uint8_t> out(BODY_SIZE + TLV_HEAD + tlvLength, 0);
    out[0] = MANAGEMENT_MESSAGE;
    out[1] = VERSION;
    put16(out, 2, static_cast<uint16_t>(out.size()));
    out[4] = domain;
    // The source port identity stays zero: the socket's address is what the answer goes to.
    put16(out, 30, sequenceId);
    out[32] = CONTROL_MANAGEMENT;
    out[33] = LOG_INTERVAL_NONE;
    for (size_t i = 34; i < 44; ++i)
        out[i] = 0xFF;  // target: every port of every clock
    out[46] = action;
    put16(out, 48, TLV_MANAGEMENT);
    put16(out, 50, static_cast<uint16_t>(tlvLength));
    put16(out, 52, id);
    std::copy(data.begin(), data.end(), out.begin() + 54);
    return out;
}

std::vector<uint8_t> PtpManagement::portStateSubscription(uint16_t seconds) {
    std::vector<uint8_t> data(2 + EVENT_BITMASK_SIZE, 0);
    put16(data, 0, seconds);
    data[2] = NOTIFY_PORT_STATE;
    return data;
}

std::optional<PtpManagement::Message> PtpManagement::decode(const uint8_t* bytes, size_t size,
                                                            std::string& why) {
    if (size < BODY_SIZE + TLV_HEAD) {
        why = std::to_string(size) + " octets, no management message";
        return std::nullopt;
    }
    if ((bytes[0] & 0x0F) != MANAGEMENT_MESSAGE || (bytes[1] & 0x0F) != VERSION) {
        why = "message type " + std::to_string(bytes[0] & 0x0F) + " version " +
              std::to_string(bytes[1] & 0x0F) + ", no PTPv2 management message";
        return std::nullopt;
    }
    const size_t length = be(bytes + 2, 2);
    if (length > size || length < BODY_SIZE + TLV_HEAD) {
        why = "message length " + std::to_string(length) + " in " + std::to_string(size) + " octets";
        return std::nullopt;
    }
    const uint16_t tlvType = static_cast<uint16_t>(be(bytes + 48, 2));
    const size_t tlvLength = be(bytes + 50, 2);
    if (BODY_SIZE + TLV_HEAD + tlvLength > length || tlvLength < 2) {
        why = "TLV length " + std::to_string(tlvLength) + " in a message of " + std::to_string(length);
        return std::nullopt;
    }
    Message message;
    message.action = bytes[46] & 0x0F;
    message.sequenceId = static_cast<uint16_t>(be(bytes + 30, 2));
    message.sourcePort = static_cast<uint16_t>(be(bytes + 28, 2));
    const uint8_t* value = bytes + BODY_SIZE + TLV_HEAD;
    if (tlvType == TLV_ERROR_STATUS) {
        if (tlvLength < ERROR_STATUS_SIZE) {
            why = "error status TLV of " + std::to_string(tlvLength) + " octets";
            return std::nullopt;
        }
        message.errorId = static_cast<uint16_t>(be(value, 2));
        message.managementId = static_cast<uint16_t>(be(value + 2, 2));
        if (message.errorId == 0)
            message.errorId = 0xFFFF;  // an error status that names no error is still one
        return message;
    }
    if (tlvType != TLV_MANAGEMENT) {
        why = "TLV type " + format("0x%04llx", tlvType) + ", no management TLV";
        return std::nullopt;
    }
    message.managementId = static_cast<uint16_t>(be(value, 2));
    message.data.assign(value + 2, value + tlvLength);
    message.layout = layout(message.managementId);
    if (message.layout != nullptr && message.data.size() < message.layout->size && message.action == GET) {
        message.layout = nullptr;  // a request names the data set and carries none of it
        return message;
    }
    if (message.layout != nullptr && message.data.size() < message.layout->size) {
        why = std::string(message.layout->name) + " of " + std::to_string(message.data.size()) + " octets, " +
              std::to_string(message.layout->size) + " needed";
        return std::nullopt;
    }
    return message;
}

std::string PtpManagement::clockText(uint64_t identity) {
    char text[24];
    std::snprintf(text, sizeof text, "%06llx.%04llx.%06llx", static_cast<unsigned long long>(identity >> 40),
                  static_cast<unsigned long long>(identity >> 24 & 0xFFFF),
                  static_cast<unsigned long long>(identity & 0xFFFFFF));
    return text;
}

const char* PtpManagement::stateName(unsigned state) {
    return state < sizeof STATES / sizeof STATES[0] ? STATES[state] : "UNKNOWN";
}

}  // namespace SyncClockd
