#ifndef SYNC_CLOCKD_PTPMANAGEMENT_H
#define SYNC_CLOCKD_PTPMANAGEMENT_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace SyncClockd {

// IEEE 1588 management messages as a PTP stack takes them on its local UNIX socket: the 34-octet
// common header, the management body (target port identity, boundary hops, action) and one
// management TLV, or the management error status TLV of a refused request. Every multi-octet field
// is big-endian.
//
// The data sets this program reads are described by a table of fields (offset, width, how the
// value prints), named the way linuxptp's pmc prints them, so that decoding, the status printout
// and the comparison with pmc in the tests share one description.
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

    enum class Type {
        U8,
        I8,
        U16,
        I16,
        U32,
        I32,
        I64,
        HEX8,
        HEX16,
        HEX32,
        NIBBLE,
        BOOL32,
        STATE,
        CLOCK,
        PORT
    };
    struct Field {
        const char* name;
        uint16_t offset;
        Type type;
    };
    struct Layout {
        uint16_t id;
        const char* name;
        uint16_t size;  // octets of data at least
        const Field* fields;
        size_t count;
        const Field* find(const std::string& name) const;
    };

    // One decoded message.
    struct Message {
        uint8_t action = GET;
        uint16_t sequenceId = 0;
        uint16_t sourcePort = 0;
        uint16_t managementId = 0;
        uint16_t errorId = 0;            // non-zero: the management error status TLV
        const Layout* layout = nullptr;  // null: a data set this program has no table for
        std::vector<uint8_t> data;

        // A field's value (identities as their 64-bit number, a port identity as its port number);
        // nothing when the layout has no such field.
        std::optional<int64_t> value(const std::string& name) const;
        // A field as pmc prints it ("6", "0xfe", "4aa46a.fffe.e0c850", "UNCALIBRATED", "true").
        std::string text(const std::string& name) const;
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

    static const Layout* layout(uint16_t id);
    static std::string clockText(uint64_t identity);  // "4aa46a.fffe.e0c850"
    static const char* stateName(unsigned state);
};

}  // namespace SyncClockd

#endif
