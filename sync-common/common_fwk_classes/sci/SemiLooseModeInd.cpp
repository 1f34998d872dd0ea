#include "common_fwk_classes/sci/SemiLooseModeInd.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

SemiLooseModeInd::SemiLooseModeInd() : ServicePrimitive(Messages::SemiLooseMode::IND, SIZE) {}

void* SemiLooseModeInd::constructMessage() {
    void* msg = allocServiceMessage();
    if (msg != nullptr) {
        putU8(msg, FIELD_OFFSET, state_);
        putText(msg, CLOCK_LDN_OFFSET, LDN_WIDTH, clockLdn_);
    }
    TRACE_SEND_MSG(
        "SCI_SEMI_LOOSE_MODE_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "state = %u, clockLdn = %s)",
        getProcedureReference(), getConnectionReference(), getEntityId(), static_cast<unsigned>(state_),
        clockLdn_.c_str());
    return msg;
}

void SemiLooseModeInd::fetchPrimitive(void* msg) {
    readServiceHeader(msg);
    state_ = getU8(msg, FIELD_OFFSET);
    clockLdn_ = getText(msg, CLOCK_LDN_OFFSET, LDN_WIDTH);
    TRACE_REC_MSG(
        "SCI_SEMI_LOOSE_MODE_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "state = %u, clockLdn = %s)",
        getProcedureReference(), getConnectionReference(), getEntityId(), static_cast<unsigned>(state_),
        clockLdn_.c_str());
}

}  // namespace Sci
}  // namespace Sync
