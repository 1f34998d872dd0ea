#ifndef SYNC_ETHCENTRAL_SECLI_CONNECTIONESTABLISHMENTCFMPRIM_H
#define SYNC_ETHCENTRAL_SECLI_CONNECTIONESTABLISHMENTCFMPRIM_H

#include "control/InitCfmPrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// SECLI_CONNECTION_ESTABLISHMENT_CFM (16 bytes, sent): the selected revision at 12.
class ConnectionEstablishmentCfmPrim : public InitCfmPrimitive {
  public:
    ConnectionEstablishmentCfmPrim();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
