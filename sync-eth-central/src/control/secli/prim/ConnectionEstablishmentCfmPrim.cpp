#include "control/secli/prim/ConnectionEstablishmentCfmPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

ConnectionEstablishmentCfmPrim::ConnectionEstablishmentCfmPrim()
    : InitCfmPrimitive(MSGNO_CONNECTION_ESTABLISHMENT_CFM, "SECLI_CONNECTION_ESTABLISHMENT_CFM") {}

void* ConnectionEstablishmentCfmPrim::constructMessage() {
    void* msg = allocMessage();
    if (msg != nullptr)
        putU32(msg, PV_SELECTED_OFFSET, getPvSelected());
    TRACE_SEND_MSG(
        "SECLI_CONNECTION_ESTABLISHMENT_CFM with data: (procedureReference = %u, connectionReference = %u, "
        "selectedProtocolRevision = %u)",
        getProcedureReference(), getConnectionReference(), getPvSelected());
    return msg;
}

// The server never receives a confirmation.
void ConnectionEstablishmentCfmPrim::fetchPrimitive(void* msg) {
    BasePrimitive::fetchPrimitive(msg);
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
