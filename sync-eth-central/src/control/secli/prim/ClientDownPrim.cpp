#include "control/secli/prim/ClientDownPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"
#include "tavi.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

ClientDownPrim::ClientDownPrim()
    : BasePrimitive(PRIM_CLIENT_DOWN, MSGNO_CLIENT_DOWN_IND, "SECLI_CLIENT_DOWN_IND", HEADER_ONLY_SIZE) {}

void* ClientDownPrim::constructMessage() {
    void* msg = tavi_alloc(getMessageSize(), getMsgno());
    if (msg == nullptr)
        TRACE_ERROR("tavi_alloc of %u bytes for %s failed", getMessageSize(), getName());
    TRACE_SEND_MSG("Attach message: SECLI_CLIENT_DOWN_IND");
    return msg;
}

void ClientDownPrim::fetchPrimitive(void* msg) {
    readHeader(msg);
    TRACE_REC_MSG("SECLI_CLIENT_DOWN_IND with data: (procedureReference = %u, connectionReference = %u)",
                  getProcedureReference(), getConnectionReference());
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
