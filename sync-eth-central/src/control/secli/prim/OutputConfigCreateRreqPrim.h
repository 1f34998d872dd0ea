#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCREATERREQPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCREATERREQPRIM_H

#include "control/secli/prim/OutputConfigRequestPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class OutputConfigCreateRreqPrim : public OutputConfigRequestPrim {
  public:
    OutputConfigCreateRreqPrim()
        : OutputConfigRequestPrim(PRIM_OUTPUT_CONFIG_CREATE_RREQ, "SECLI_OUTPUT_CONFIG_CREATE_RREQ") {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
