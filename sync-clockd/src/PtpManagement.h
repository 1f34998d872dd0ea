#ifndef SYNC_CLOCKD_PTPMANAGEMENT_H
#define SYNC_CLOCKD_PTPMANAGEMENT_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace SyncClockd {

// IEEE 1588 management messages as a PTP stack takes them on its local UNIX socket: the 34-octet
// common header, the management body (target port identity, boundary hops, action) and one
// management TLV, or the management error status TLV of a refused request. Every multi-octet field
// is big-endian.
//
// Each data set this program reads is decoded once into a struct of its own, so that what reads it
// names its fields in code. One description of each (field names as linuxptp's pmc prints them,
// offsets, widths) serves the decoding, the printout and the comparison with pmc in the tests.
class PtpManagement {
  public:
    enum Action : uint8_t { GET = 0, SET = 1, RESPONSE = 2, COMMAND = 3, ACKNOWLEDGE = 4 };
    enum Id : uint16_t {
        PARENT_DATA_SET = 0x2002,
        PORT_DATA_SET = 0x2004,
        TIME_STATUS_NP = 0xC000,
        GRANDMASTER_SETTINGS_NP = 0xC001,
        SUBSCRIBE_EVENTS_NP = 0xC003,
    };
    enum PortState : uint8_t { LISTENING = 4, MASTER = 6, UNCALIBRATED = 8, SLAVE = 9 };

    struct PortIdentity {
        uint64_t clock = 0;
        uint16_t port = 0;
    };
    struct ParentDataSet {
        PortIdentity parentPortIdentity;
        uint8_t parentStats = 0;
        uint16_t observedParentOffsetScaledLogVariance = 0;
        uint32_t observedParentClockPhaseChangeRate = 0;
        uint8_t grandmasterPriority1 = 0;
        uint8_t clockClass = 0;  // the grandmaster's
        uint8_t clockAccuracy = 0;
        uint16_t offsetScaledLogVariance = 0;
        uint8_t grandmasterPriority2 = 0;
        uint64_t grandmasterIdentity = 0;
    };
    struct PortDataSet {
        PortIdentity portIdentity;
        uint8_t portState = 0;
        int8_t logMinDelayReqInterval = 0;
        int64_t peerMeanPathDelay = 0;
        int8_t logAnnounceInterval = 0;
        uint8_t announceReceiptTimeout = 0;
        int8_t logSyncInterval = 0;
        uint8_t delayMechanism = 0;
        int8_t logMinPdelayReqInterval = 0;
        uint8_t versionNumber = 0;
    };
    struct TimeStatus {
        int64_t masterOffset = 0;
        int64_t ingressTime = 0;
        int32_t scaledLastGmPhaseChange = 0;
        uint16_t gmTimeBaseIndicator = 0;
        bool gmPresent = false;
        uint64_t gmIdentity = 0;
    };
    struct GrandmasterSettings {
        uint8_t clockClass = 0;
        uint8_t clockAccuracy = 0;
        uint16_t offsetScaledLogVariance = 0;
        int16_t currentUtcOffset = 0;
        uint8_t timeSource = 0;
    };
    struct EventSubscription {
        uint16_t duration = 0;
    };
    // No data set: a request, or one this program has no description of.
    using DataSet = std::variant<std::monostate, ParentDataSet, PortDataSet, TimeStatus, GrandmasterSettings,
                                 EventSubscription>;

    // One decoded message.
    struct Message {
        uint8_t action = GET;
        uint16_t sequenceId = 0;
        uint16_t sourcePort = 0;
        uint16_t managementId = 0;
        uint16_t errorId = 0;  // non-zero: the management error status TLV
        DataSet data;

        // Each field of the data set as pmc names and prints it ("gm.ClockClass" "6",
        // "grandmasterIdentity" "4aa46a.fffe.e0c850", "portState" "UNCALIBRATED"), in order.
        std::vector<std::pair<std::string, std::string>> fields() const;
    };

    static constexpr size_t HEADER_SIZE = 34;
    static constexpr size_t BODY_SIZE = 48;  // header and management body, before the TLV

    // A request: GET with no data, SET or COMMAND with `data`, to every port of every clock
    // (boundary hops 0: the local stack answers itself).
    static std::vector<uint8_t> request(Action action, uint16_t id, uint16_t sequenceId, uint8_t domain,
                                        const std::vector<uint8_t>& data = {});
    // SUBSCRIBE_EVENTS_NP data: port state changes, for `seconds`.
    static std::vector<uint8_t> portStateSubscription(uint16_t seconds);
    // Nothing, with `why` set, for bytes that are no well-formed management message or carry a
    // known data set shorter than its table.
    static std::optional<Message> decode(const uint8_t* bytes, size_t size, std::string& why);

    // The data set's name as pmc takes it ("PARENT_DATA_SET"); nullptr for one not described here.
    static const char* name(uint16_t id);
    static std::string clockText(uint64_t identity);  // "4aa46a.fffe.e0c850"
    static const char* stateName(unsigned state);
};

}  // namespace SyncClockd

#endif
