#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCREATERCFMPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGCREATERCFMPRIM_H

#include "control/secli/prim/HeaderOnlyPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class OutputConfigCreateRcfmPrim : public HeaderOnlyPrim {
  public:
    OutputConfigCreateRcfmPrim()
        : HeaderOnlyPrim(PRIM_OUTPUT_CONFIG_CREATE_RCFM, "SECLI_OUTPUT_CONFIG_CREATE_RCFM", RECEIVED) {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
