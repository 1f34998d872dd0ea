#include "common_fwk_classes/sci/RecrUseQLFromInd.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

RecrUseQLFromInd::RecrUseQLFromInd() : ServicePrimitive(Messages::RecData::RECR_USE_QL_FROM_IND, SIZE) {}

// The text has never had a closing parenthesis; it is kept as log searches know it.
void* RecrUseQLFromInd::constructMessage() {
    void* msg = allocServiceMessage();
    if (msg != nullptr) {
        putText(msg, FIELD_OFFSET, LDN_WIDTH, referenceLdn_);
        putU32(msg, USE_QL_FROM_OFFSET, useQLFrom_);
    }
    TRACE_SEND_MSG(
        "SCI_RECR_USE_QL_FROM_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "referenceLdn = %s, useQLFrom = %u",
        getProcedureReference(), getConnectionReference(), getEntityId(), referenceLdn_.c_str(), useQLFrom_);
    return msg;
}

void RecrUseQLFromInd::fetchPrimitive(void* msg) {
    readServiceHeader(msg);
    referenceLdn_ = getText(msg, FIELD_OFFSET, LDN_WIDTH);
    useQLFrom_ = getU32(msg, USE_QL_FROM_OFFSET);
    TRACE_REC_MSG(
        "SCI_RECR_USE_QL_FROM_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "referenceLdn = %s, useQLFrom = %u",
        getProcedureReference(), getConnectionReference(), getEntityId(), referenceLdn_.c_str(), useQLFrom_);
}

}  // namespace Sci
}  // namespace Sync
