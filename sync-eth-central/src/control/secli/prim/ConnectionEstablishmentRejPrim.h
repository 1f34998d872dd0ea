#ifndef SYNC_ETHCENTRAL_SECLI_CONNECTIONESTABLISHMENTREJPRIM_H
#define SYNC_ETHCENTRAL_SECLI_CONNECTIONESTABLISHMENTREJPRIM_H

#include "control/InitRejPrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// SECLI_CONNECTION_ESTABLISHMENT_REJ (16 bytes, sent): the reject cause, widened to 32 bits, as
// errorCode at 12 (1: no more clients, 2: no wanted revision supported).
class ConnectionEstablishmentRejPrim : public InitRejPrimitive {
  public:
    ConnectionEstablishmentRejPrim();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
