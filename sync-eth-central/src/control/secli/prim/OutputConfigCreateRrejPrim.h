#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCREATERREJPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCREATERREJPRIM_H

#include "control/secli/prim/ConfigRejectPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class OutputConfigCreateRrejPrim : public ConfigRejectPrim {
  public:
    OutputConfigCreateRrejPrim()
        : ConfigRejectPrim(PRIM_OUTPUT_CONFIG_CREATE_RREJ, "SECLI_OUTPUT_CONFIG_CREATE_RREJ",
                           "SECLI_OUTPUT_CONFIG_CREATE_RREJ with data: (procedureReference = %u, "
                           "connectionReference = %u,errorCode = %u)") {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
