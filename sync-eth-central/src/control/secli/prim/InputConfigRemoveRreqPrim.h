#ifndef SYNC_ETHCENTRAL_SECLI_INPUTCONFIGREMOVERREQPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTCONFIGREMOVERREQPRIM_H

#include "control/secli/prim/HeaderOnlyPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class InputConfigRemoveRreqPrim : public HeaderOnlyPrim {
  public:
    InputConfigRemoveRreqPrim()
        : HeaderOnlyPrim(PRIM_INPUT_CONFIG_REMOVE_RREQ, "SECLI_INPUT_CONFIG_REMOVE_RREQ", SENT) {}
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
