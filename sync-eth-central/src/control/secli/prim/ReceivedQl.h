#ifndef SYNC_ETHCENTRAL_SECLI_RECEIVEDQL_H
#define SYNC_ETHCENTRAL_SECLI_RECEIVEDQL_H

#include <cstdint>

namespace Sync {
namespace EthCentral {
namespace Secli {

// The quality level a SyncE input received, as the data plane forwards it: the SSM code, whether a
// TCU and an extended QL TLV were detected, and the TLV's enhanced SSM code, each cut to 8 bits.
struct ReceivedQl {
    uint8_t ssmCode = 0;
    uint8_t tcuDetected = 0;
    uint8_t extendedQlDetected = 0;
    uint8_t enhancedSsmCode = 0;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
