#include "control/secli/prim/ConnectionEstablishmentReqPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

ConnectionEstablishmentReqPrim::ConnectionEstablishmentReqPrim()
    : InitReqPrimitive(MSGNO_CONNECTION_ESTABLISHMENT_REQ, "SECLI_CONNECTION_ESTABLISHMENT_REQ") {}

// The server never sends a connection request.
void* ConnectionEstablishmentReqPrim::constructMessage() {
    return BasePrimitive::constructMessage();
}

void ConnectionEstablishmentReqPrim::fetchPrimitive(void* msg) {
    unpackRevisions(msg);
    TRACE_REC_MSG(
        "SECLI_CONNECTION_ESTABLISHMENT_REQ with data: (procedureReference = %u, connectionReference = %u)",
        getProcedureReference(), getConnectionReference());
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
