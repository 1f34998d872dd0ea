#include "common_fwk_classes/sci/DegradedStatusInd.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

DegradedStatusInd::DegradedStatusInd() : ServicePrimitive(Messages::DegradedStatus::IND, SIZE) {}

void* DegradedStatusInd::constructMessage() {
    void* msg = allocServiceMessage();
    if (msg != nullptr) {
        putU8(msg, FIELD_OFFSET, isDegraded_);
        putU32(msg, REF_TYPE_OFFSET, refType_);
    }
    TRACE_SEND_MSG(
        "SCI_DEGRADED_STATUS_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "isDegraded = %u, refType = %u)",
        getProcedureReference(), getConnectionReference(), getEntityId(), static_cast<unsigned>(isDegraded_),
        refType_);
    return msg;
}

void DegradedStatusInd::fetchPrimitive(void* msg) {
    readServiceHeader(msg);
    isDegraded_ = getU8(msg, FIELD_OFFSET);
    refType_ = getU32(msg, REF_TYPE_OFFSET);
    TRACE_REC_MSG(
        "SCI_DEGRADED_STATUS_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "isDegraded = %u, refType = %u)",
        getProcedureReference(), getConnectionReference(), getEntityId(), static_cast<unsigned>(isDegraded_),
        refType_);
}

}  // namespace Sci
}  // namespace Sync
