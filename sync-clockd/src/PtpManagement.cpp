#include "PtpManagement.h"

#include <cstdio>

namespace SyncClockd {

namespace {

using PortIdentity = PtpManagement::PortIdentity;

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

enum class Type { U8, I8, U16, I16, U32, I32, I64, HEX8, HEX16, HEX32, NIBBLE, BOOL32, STATE, CLOCK, PORT };

// The fields of each data set: pmc's name, the offset in the data after the management id, how it is
// coded, and where it goes.
template <class Visit>
void describe(PtpManagement::ParentDataSet& set, Visit&& visit) {
    visit("parentPortIdentity", 0, Type::PORT, set.parentPortIdentity);
    visit("parentStats", 10, Type::U8, set.parentStats);
    visit("observedParentOffsetScaledLogVariance", 12, Type::HEX16,
          set.observedParentOffsetScaledLogVariance);
    visit("observedParentClockPhaseChangeRate", 14, Type::HEX32, set.observedParentClockPhaseChangeRate);
    visit("grandmasterPriority1", 18, Type::U8, set.grandmasterPriority1);
    visit("gm.ClockClass", 19, Type::U8, set.clockClass);
    visit("gm.ClockAccuracy", 20, Type::HEX8, set.clockAccuracy);
    visit("gm.OffsetScaledLogVariance", 21, Type::HEX16, set.offsetScaledLogVariance);
    visit("grandmasterPriority2", 23, Type::U8, set.grandmasterPriority2);
    visit("grandmasterIdentity", 24, Type::CLOCK, set.grandmasterIdentity);
}

template <class Visit>
void describe(PtpManagement::PortDataSet& set, Visit&& visit) {
    visit("portIdentity", 0, Type::PORT, set.portIdentity);
    visit("portState", 10, Type::STATE, set.portState);
    visit("logMinDelayReqInterval", 11, Type::I8, set.logMinDelayReqInterval);
    visit("peerMeanPathDelay", 12, Type::I64, set.peerMeanPathDelay);
    visit("logAnnounceInterval", 20, Type::I8, set.logAnnounceInterval);
    visit("announceReceiptTimeout", 21, Type::U8, set.announceReceiptTimeout);
    visit("logSyncInterval", 22, Type::I8, set.logSyncInterval);
    visit("delayMechanism", 23, Type::U8, set.delayMechanism);
    visit("logMinPdelayReqInterval", 24, Type::I8, set.logMinPdelayReqInterval);
    visit("versionNumber", 25, Type::NIBBLE, set.versionNumber);
}

template <class Visit>
void describe(PtpManagement::TimeStatus& set, Visit&& visit) {
    visit("master_offset", 0, Type::I64, set.masterOffset);
    visit("ingress_time", 8, Type::I64, set.ingressTime);
    visit("scaledLastGmPhaseChange", 20, Type::I32, set.scaledLastGmPhaseChange);
    visit("gmTimeBaseIndicator", 24, Type::U16, set.gmTimeBaseIndicator);
    visit("gmPresent", 38, Type::BOOL32, set.gmPresent);
    visit("gmIdentity", 42, Type::CLOCK, set.gmIdentity);
}

template <class Visit>
void describe(PtpManagement::GrandmasterSettings& set, Visit&& visit) {
    visit("clockClass", 0, Type::U8, set.clockClass);
    visit("clockAccuracy", 1, Type::HEX8, set.clockAccuracy);
    visit("offsetScaledLogVariance", 2, Type::HEX16, set.offsetScaledLogVariance);
    visit("currentUtcOffset", 4, Type::I16, set.currentUtcOffset);
    visit("timeSource", 7, Type::HEX8, set.timeSource);
}

template <class Visit>
void describe(PtpManagement::EventSubscription& set, Visit&& visit) {
    visit("duration", 0, Type::U16, set.duration);
}

template <class Visit>
void describe(std::monostate&, Visit&&) {}

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

// A field's value, signed where its coding is.
int64_t number(const uint8_t* at, Type type) {
    const uint64_t raw = be(at, width(type));
    switch (type) {
        case Type::I8:
            return static_cast<int8_t>(raw);
        case Type::I16:
            return static_cast<int16_t>(raw);
        case Type::I32:
            return static_cast<int32_t>(raw);
        case Type::NIBBLE:
            return raw & 0x0F;
        case Type::BOOL32:
            return raw != 0;
        default:
            return static_cast<int64_t>(raw);
    }
}

// Fills each field from the data set's octets (decode() checked that they hold every one).
struct Reader {
    const uint8_t* data;
    template <class T>
    void operator()(const char*, uint16_t offset, Type type, T& member) const {
        member = static_cast<T>(number(data + offset, type));
    }
    void operator()(const char*, uint16_t offset, Type, PortIdentity& member) const {
        member.clock = be(data + offset, 8);
        member.port = static_cast<uint16_t>(be(data + offset + 8, 2));
    }
};

// Each field as pmc prints it.
struct Printer {
    std::vector<std::pair<std::string, std::string>>& out;
    template <class T>
    void operator()(const char* name, uint16_t, Type type, const T& member) const {
        const auto value = static_cast<int64_t>(member);
        const auto raw = static_cast<uint64_t>(value);
        switch (type) {
            case Type::HEX8:
                return add(name, format("0x%02llx", raw));
            case Type::HEX16:
                return add(name, format("0x%04llx", raw));
            case Type::HEX32:
                return add(name, format("0x%08llx", raw));
            case Type::BOOL32:
                return add(name, value != 0 ? "true" : "false");
            case Type::STATE:
                return add(name, PtpManagement::stateName(static_cast<unsigned>(value)));
            case Type::CLOCK:
                return add(name, PtpManagement::clockText(raw));
            default:
                return add(name, std::to_string(value));
        }
    }
    void operator()(const char* name, uint16_t, Type, const PortIdentity& member) const {
        add(name, PtpManagement::clockText(member.clock) + "-" + std::to_string(member.port));
    }
    void add(const char* name, std::string text) const { out.emplace_back(name, std::move(text)); }
};

template <class Set>
PtpManagement::DataSet decodeAs(const uint8_t* data) {
    Set set;
    describe(set, Reader{data});
    return set;
}

struct Kind {
    uint16_t id;
    const char* name;
    uint16_t size;  // octets of data at least
    PtpManagement::DataSet (*decode)(const uint8_t* data);
};

const Kind KINDS[] = {
    {PtpManagement::PARENT_DATA_SET, "PARENT_DATA_SET", 32, decodeAs<PtpManagement::ParentDataSet>},
    {PtpManagement::PORT_DATA_SET, "PORT_DATA_SET", 26, decodeAs<PtpManagement::PortDataSet>},
    {PtpManagement::TIME_STATUS_NP, "TIME_STATUS_NP", 50, decodeAs<PtpManagement::TimeStatus>},
    {PtpManagement::GRANDMASTER_SETTINGS_NP, "GRANDMASTER_SETTINGS_NP", 8,
     decodeAs<PtpManagement::GrandmasterSettings>},
    {PtpManagement::SUBSCRIBE_EVENTS_NP, "SUBSCRIBE_EVENTS_NP", 2 + EVENT_BITMASK_SIZE,
     decodeAs<PtpManagement::EventSubscription>},
};

const Kind* kind(uint16_t id) {
    for (const Kind& known : KINDS)
        if (known.id == id)
            return &known;
    return nullptr;
}

}  // namespace

const char* PtpManagement::name(uint16_t id) {
    const Kind* known = kind(id);
    return known != nullptr ? known->name : nullptr;
}

std::vector<std::pair<std::string, std::string>> PtpManagement::Message::fields() const {
    std::vector<std::pair<std::string, std::string>> out;
    std::visit([&](auto set) { describe(set, Printer{out}); }, data);
    return out;
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
    const Kind* known = kind(message.managementId);
    const size_t octets = tlvLength - 2;
    if (known == nullptr || (octets < known->size && message.action == GET))
        return message;  // no data set described here, or a request that names one and carries none
    if (octets < known->size) {
        why = std::string(known->name) + " of " + std::to_string(octets) + " octets, " +
              std::to_string(known->size) + " needed";
        return std::nullopt;
    }
    message.data = known->decode(value + 2);
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
