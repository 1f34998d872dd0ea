#include "control/secli/prim/ConnectionEstablishmentRejPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

ConnectionEstablishmentRejPrim::ConnectionEstablishmentRejPrim()
    : InitRejPrimitive(MSGNO_CONNECTION_ESTABLISHMENT_REJ, "SECLI_CONNECTION_ESTABLISHMENT_REJ") {}

void* ConnectionEstablishmentRejPrim::constructMessage() {
    const uint32_t errorCode = getRejectCause();
    void* msg = allocMessage();
    if (msg != nullptr)
        putU32(msg, REASON_OFFSET, errorCode);
    TRACE_SEND_MSG(
        "SECLI_CONNECTION_ESTABLISHMENT_REJ with data: (procedureReference = %u, connectionReference = %u, "
        "errorCode = %u)",
        getProcedureReference(), getConnectionReference(), errorCode);
    return msg;
}

// The server never receives a rejection.
void ConnectionEstablishmentRejPrim::fetchPrimitive(void* msg) {
    BasePrimitive::fetchPrimitive(msg);
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
