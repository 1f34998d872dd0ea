#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGREMOVERCFMPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGREMOVERCFMPRIM_H

#include "control/secli/prim/HeaderOnlyPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class OutputConfigRemoveRcfmPrim : public HeaderOnlyPrim {
  public:
    OutputConfigRemoveRcfmPrim()
        : HeaderOnlyPrim(PRIM_OUTPUT_CONFIG_REMOVE_RCFM, "SECLI_OUTPUT_CONFIG_REMOVE_RCFM", RECEIVED) {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
