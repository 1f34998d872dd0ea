#ifndef SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCHANGERREJPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCHANGERREJPRIM_H

#include "control/secli/prim/ConfigRejectPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class InputConfigChangeRrejPrim : public ConfigRejectPrim {
  public:
    InputConfigChangeRrejPrim()
        : ConfigRejectPrim(PRIM_INPUT_CONFIG_CHANGE_RREJ, "SECLI_INPUT_CONFIG_CHANGE_RREJ",
                           "SECLI_CONFIG_CHANGE_RREJ with data: (procedureReference = %u, "
                           "connectionReference = %u, errorCode = %u)") {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
