#include "common_fwk_classes/sci/LooseTimeStateInd.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

LooseTimeStateInd::LooseTimeStateInd() : ServicePrimitive(Messages::LooseTimeState::IND, SIZE) {}

void* LooseTimeStateInd::constructMessage() {
    void* msg = allocServiceMessage();
    if (msg != nullptr)
        putU16(msg, FIELD_OFFSET, spLooseTimeState_);
    TRACE_SEND_MSG(
        "SCI_LOOSE_TIME_STATE_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "spLooseTimeState = %u)",
        getProcedureReference(), getConnectionReference(), getEntityId(),
        static_cast<unsigned>(spLooseTimeState_));
    return msg;
}

void LooseTimeStateInd::fetchPrimitive(void* msg) {
    readServiceHeader(msg);
    spLooseTimeState_ = getU16(msg, FIELD_OFFSET);
    TRACE_REC_MSG(
        "SCI_LOOSE_TIME_STATE_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "spLooseTimeState = %u)",
        getProcedureReference(), getConnectionReference(), getEntityId(),
        static_cast<unsigned>(spLooseTimeState_));
}

}  // namespace Sci
}  // namespace Sync
