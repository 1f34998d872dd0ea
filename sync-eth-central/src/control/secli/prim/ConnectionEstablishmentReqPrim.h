#ifndef SYNC_ETHCENTRAL_SECLI_CONNECTIONESTABLISHMENTREQPRIM_H
#define SYNC_ETHCENTRAL_SECLI_CONNECTIONESTABLISHMENTREQPRIM_H

#include "control/InitReqPrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// SECLI_CONNECTION_ESTABLISHMENT_REQ (24 bytes, received): the client's three wanted revisions at 12,
// 16 and 20, without a count.
class ConnectionEstablishmentReqPrim : public InitReqPrimitive {
  public:
    ConnectionEstablishmentReqPrim();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
