#ifndef SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCREATERREJPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCREATERREJPRIM_H

#include "control/secli/prim/ConfigRejectPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class InputConfigCreateRrejPrim : public ConfigRejectPrim {
  public:
    InputConfigCreateRrejPrim()
        : ConfigRejectPrim(PRIM_INPUT_CONFIG_CREATE_RREJ, "SECLI_INPUT_CONFIG_CREATE_RREJ",
                           "SECLI_INPUT_CONFIG_CREATE_RREJ with data: (procedureReference = %u, "
                           "connectionReference = %u,errorCode = %u)") {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
