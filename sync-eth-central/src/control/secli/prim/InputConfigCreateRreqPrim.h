#ifndef SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCREATERREQPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTCONFIGCREATERREQPRIM_H

#include "control/secli/prim/InputConfigRequestPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class InputConfigCreateRreqPrim : public InputConfigRequestPrim {
  public:
    InputConfigCreateRreqPrim()
        : InputConfigRequestPrim(PRIM_INPUT_CONFIG_CREATE_RREQ, "SECLI_INPUT_CONFIG_CREATE_RREQ") {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
