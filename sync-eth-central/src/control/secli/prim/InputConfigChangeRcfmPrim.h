#ifndef SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCHANGERCFMPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCHANGERCFMPRIM_H

#include "control/secli/prim/HeaderOnlyPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class InputConfigChangeRcfmPrim : public HeaderOnlyPrim {
  public:
    InputConfigChangeRcfmPrim()
        : HeaderOnlyPrim(PRIM_INPUT_CONFIG_CHANGE_RCFM, "SECLI_INPUT_CONFIG_CHANGE_RCFM", RECEIVED) {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
