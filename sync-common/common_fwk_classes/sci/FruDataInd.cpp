#include "common_fwk_classes/sci/FruDataInd.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

FruDataInd::FruDataInd() : ServicePrimitive(Messages::FruData::IND, SIZE) {}

// This message has always been traced without parentheses around its data.
void* FruDataInd::constructMessage() {
    void* msg = allocServiceMessage();
    if (msg != nullptr) {
        putU32(msg, FIELD_OFFSET, vendorId_);
        putText(msg, HUNT_PATH_OFFSET, LDN_WIDTH, huntPath_);
        putText(msg, LDN_OFFSET, LDN_WIDTH, ldn_);
        putU8(msg, ACTIVATED_OFFSET, activated_);
    }
    TRACE_SEND_MSG(
        "SCI_FRU_DATA_IND with data: procedureReference = %u, connectionReference = %u, entityId = %u, "
        "vendorId = "
        "%u, huntPath = %s, ldn = %s, activated = %u",
        getProcedureReference(), getConnectionReference(), getEntityId(), vendorId_, huntPath_.c_str(),
        ldn_.c_str(), static_cast<unsigned>(activated_));
    return msg;
}

void FruDataInd::fetchPrimitive(void* msg) {
    readServiceHeader(msg);
    vendorId_ = getU32(msg, FIELD_OFFSET);
    huntPath_ = getText(msg, HUNT_PATH_OFFSET, LDN_WIDTH);
    ldn_ = getText(msg, LDN_OFFSET, LDN_WIDTH);
    activated_ = getU8(msg, ACTIVATED_OFFSET);
    TRACE_REC_MSG(
        "SCI_FRU_DATA_IND with data: procedureReference = %u, connectionReference = %u, entityId = %u, "
        "vendorId = "
        "%u, huntPath = %s, ldn = %s, activated = %u",
        getProcedureReference(), getConnectionReference(), getEntityId(), vendorId_, huntPath_.c_str(),
        ldn_.c_str(), static_cast<unsigned>(activated_));
}

}  // namespace Sci
}  // namespace Sync
