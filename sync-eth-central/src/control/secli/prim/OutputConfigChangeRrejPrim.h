#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCHANGERREJPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCHANGERREJPRIM_H

#include "control/secli/prim/ConfigRejectPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class OutputConfigChangeRrejPrim : public ConfigRejectPrim {
  public:
    OutputConfigChangeRrejPrim()
        : ConfigRejectPrim(PRIM_OUTPUT_CONFIG_CHANGE_RREJ, "SECLI_OUTPUT_CONFIG_CHANGE_RREJ",
                           "SECLI_CONFIG_CHANGE_RREJ with data: (procedureReference = %u, "
                           "connectionReference = %u, errorCode = %u)") {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
