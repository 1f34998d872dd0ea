#ifndef SYNC_ETHCENTRAL_SECLI_INPUTCONFIGREMOVERCFMPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTCONFIGREMOVERCFMPRIM_H

#include "control/secli/prim/HeaderOnlyPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class InputConfigRemoveRcfmPrim : public HeaderOnlyPrim {
  public:
    InputConfigRemoveRcfmPrim()
        : HeaderOnlyPrim(PRIM_INPUT_CONFIG_REMOVE_RCFM, "SECLI_INPUT_CONFIG_REMOVE_RCFM", RECEIVED) {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
