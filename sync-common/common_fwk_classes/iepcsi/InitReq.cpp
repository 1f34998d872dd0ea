#include "common_fwk_classes/iepcsi/InitReq.h"

#include "Macros.h"

namespace Sync {
namespace Iepcsi {

InitReq::InitReq() : InitReqPrimitive(MSGNO, "IEPCSI_INIT_SERVICE_REQ") {}

void* InitReq::constructMessage() {
    void* msg = packRevisions();
    TRACE_SEND_MSG(
        "IEPCSI_INIT_SERVICE_REQ with data: procedureReference: %u, connectionReference: %u, pvFirstWanted: "
        "%u, "
        "pvSecondWanted: %u, pvThirdWanted: %u, ",
        getProcedureReference(), getConnectionReference(), getPvFirstWanted(), getPvSecondWanted(),
        getPvThirdWanted());
    return msg;
}

}  // namespace Iepcsi
}  // namespace Sync
