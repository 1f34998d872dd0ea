#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCHANGERCFMPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCHANGERCFMPRIM_H

#include "control/secli/prim/HeaderOnlyPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class OutputConfigChangeRcfmPrim : public HeaderOnlyPrim {
  public:
    OutputConfigChangeRcfmPrim()
        : HeaderOnlyPrim(PRIM_OUTPUT_CONFIG_CHANGE_RCFM, "SECLI_OUTPUT_CONFIG_CHANGE_RCFM", RECEIVED) {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
