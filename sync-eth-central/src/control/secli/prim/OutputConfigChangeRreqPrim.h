#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCHANGERREQPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCHANGERREQPRIM_H

#include "control/secli/prim/OutputConfigRequestPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class OutputConfigChangeRreqPrim : public OutputConfigRequestPrim {
  public:
    OutputConfigChangeRreqPrim()
        : OutputConfigRequestPrim(PRIM_OUTPUT_CONFIG_CHANGE_RREQ, "SECLI_OUTPUT_CONFIG_CHANGE_RREQ") {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
