#include "common_fwk_classes/sci/InitRej.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

InitRej::InitRej()
    : InitRejPrimitive(Messages::Management::CONNECTION_ESTABLISHMENT_REJ.msgno,
                       Messages::Management::CONNECTION_ESTABLISHMENT_REJ.name) {}

void* InitRej::constructMessage() {
    void* msg = allocMessage();
    if (msg != nullptr)
        putU32(msg, ERROR_CODE_OFFSET, getRejectCause());
    TRACE_SEND_MSG(
        "SCI_CONNECTION_ESTABLISHMENT_REJ with data: (procedureReference = %u, connectionReference = %u, "
        "errorCode = %u)",
        getProcedureReference(), getConnectionReference(), static_cast<unsigned>(getRejectCause()));
    return msg;
}

void InitRej::fetchPrimitive(void* msg) {
    readHeader(msg);
    TRACE_REC_MSG(
        "SCI_CONNECTION_ESTABLISHMENT_REJ with data: (procedureReference = %u, connectionReference = %u, "
        "errorCode = %u)",
        getProcedureReference(), getConnectionReference(), getU32(msg, ERROR_CODE_OFFSET));
}

}  // namespace Sci
}  // namespace Sync
