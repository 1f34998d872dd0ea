#ifndef SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCREATERCFMPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCREATERCFMPRIM_H

#include "control/secli/prim/HeaderOnlyPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class InputConfigCreateRcfmPrim : public HeaderOnlyPrim {
  public:
    InputConfigCreateRcfmPrim()
        : HeaderOnlyPrim(PRIM_INPUT_CONFIG_CREATE_RCFM, "SECLI_INPUT_CONFIG_CREATE_RCFM", RECEIVED) {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
