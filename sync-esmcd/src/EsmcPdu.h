#ifndef SYNC_ESMCD_ESMCPDU_H
#define SYNC_ESMCD_ESMCPDU_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace SyncEsmcd {

// One ESMC PDU as it leaves an output: the Ethernet header, the slow-protocol and ITU header, a QL
// TLV and an extended QL TLV, padded to the 60 octets of a minimum frame (the FCS is the NIC's).
class EsmcPdu {
  public:
    static constexpr size_t SIZE = 60;
    static constexpr uint16_t ETHER_TYPE = 0x8809;
    using Frame = std::array<uint8_t, SIZE>;
    using Mac = std::array<uint8_t, 6>;

    // What an output announces; equal values mean an unchanged announcement.
    struct Quality {
        uint8_t ssmCode = 0xF;  // QL-DNU / QL-DUS
        uint8_t enhancedSsmCode = 0xFF;
        uint64_t clockIdentity = 0;
        uint8_t flag = 0;
        uint8_t cascadedEeecs = 0;
        uint8_t cascadedEecs = 0;
        bool operator==(const Quality& other) const;
        bool operator!=(const Quality& other) const { return !(*this == other); }
    };

    // The do-not-use announcement that keeps everything else of `last`.
    static Quality doNotUse(const Quality& last);

    // The whole frame from `source` with the event flag set or not.
    static Frame build(const Mac& source, const Quality& quality, bool event);
};

}  // namespace SyncEsmcd

#endif
