#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGREMOVERREQPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGREMOVERREQPRIM_H

#include "control/secli/prim/HeaderOnlyPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class OutputConfigRemoveRreqPrim : public HeaderOnlyPrim {
  public:
    OutputConfigRemoveRreqPrim()
        : HeaderOnlyPrim(PRIM_OUTPUT_CONFIG_REMOVE_RREQ, "SECLI_OUTPUT_CONFIG_REMOVE_RREQ", SENT) {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
