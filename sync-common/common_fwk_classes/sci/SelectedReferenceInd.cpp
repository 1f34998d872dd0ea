#include "common_fwk_classes/sci/SelectedReferenceInd.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

SelectedReferenceInd::SelectedReferenceInd() : ServicePrimitive(Messages::SelectedReference::IND, SIZE) {}

void* SelectedReferenceInd::constructMessage() {
    void* msg = allocServiceMessage();
    if (msg != nullptr) {
        putU32(msg, FIELD_OFFSET, selectedReference_);
        putText(msg, SELECTED_REFERENCE_LDN_OFFSET, LDN_WIDTH, selectedReferenceLdn_);
    }
    TRACE_SEND_MSG(
        "SCI_SELECTED_REFERENCE_IND with data: (procedureReference = %u, connectionReference = %u, entityId "
        "= %u, "
        "selectedReference = %u, selectedReferenceLdn = %s)",
        getProcedureReference(), getConnectionReference(), getEntityId(), selectedReference_,
        selectedReferenceLdn_.c_str());
    return msg;
}

void SelectedReferenceInd::fetchPrimitive(void* msg) {
    readServiceHeader(msg);
    selectedReference_ = getU32(msg, FIELD_OFFSET);
    selectedReferenceLdn_ = getText(msg, SELECTED_REFERENCE_LDN_OFFSET, LDN_WIDTH);
    TRACE_REC_MSG(
        "SCI_SELECTED_REFERENCE_IND with data: (procedureReference = %u, connectionReference = %u, entityId "
        "= %u, "
        "selectedReference = %u, selectedReferenceLdn = %s)",
        getProcedureReference(), getConnectionReference(), getEntityId(), selectedReference_,
        selectedReferenceLdn_.c_str());
}

}  // namespace Sci
}  // namespace Sync
