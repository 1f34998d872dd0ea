#ifndef SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCHANGERREQPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCHANGERREQPRIM_H

#include "control/secli/prim/InputConfigRequestPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class InputConfigChangeRreqPrim : public InputConfigRequestPrim {
  public:
    InputConfigChangeRreqPrim()
        : InputConfigRequestPrim(PRIM_INPUT_CONFIG_CHANGE_RREQ, "SECLI_INPUT_CONFIG_CHANGE_RREQ") {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
