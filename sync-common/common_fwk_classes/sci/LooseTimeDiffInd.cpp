#include "common_fwk_classes/sci/LooseTimeDiffInd.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

LooseTimeDiffInd::LooseTimeDiffInd() : ServicePrimitive(Messages::LooseTimeDiff::IND, SIZE) {}

void* LooseTimeDiffInd::constructMessage() {
    void* msg = allocServiceMessage();
    if (msg != nullptr) {
        putHostU32(msg, FIELD_OFFSET, spLooseTimeDiffSec_);
        putHostU32(msg, MICRO_SEC_OFFSET, spLooseTimeDiffMicroSec_);
    }
    TRACE_SEND_MSG(
        "SCI_LOOSE_TIME_DIFF_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "spLooseTimeDiffSec = %u, spLooseTimeDiffMicroSec = %u)",
        getProcedureReference(), getConnectionReference(), getEntityId(), spLooseTimeDiffSec_,
        spLooseTimeDiffMicroSec_);
    return msg;
}

void LooseTimeDiffInd::fetchPrimitive(void* msg) {
    readServiceHeader(msg);
    spLooseTimeDiffSec_ = getHostU32(msg, FIELD_OFFSET);
    spLooseTimeDiffMicroSec_ = getHostU32(msg, MICRO_SEC_OFFSET);
    TRACE_REC_MSG(
        "SCI_LOOSE_TIME_DIFF_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "spLooseTimeDiffSec = %u, spLooseTimeDiffMicroSec = %u)",
        getProcedureReference(), getConnectionReference(), getEntityId(), spLooseTimeDiffSec_,
        spLooseTimeDiffMicroSec_);
}

}  // namespace Sci
}  // namespace Sync
