#include "common_fwk_classes/sci/RecrConfigInd.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

RecrConfigInd::RecrConfigInd() : ServicePrimitive(Messages::RecrConfig::IND, SIZE) {}

void* RecrConfigInd::constructMessage() {
    void* msg = allocServiceMessage();
    if (msg != nullptr) {
        putHostU32(msg, FIELD_OFFSET, assistQLFrom_);
        putHostU32(msg, REMAPPED_QL_OFFSET, remappedQL_);
        putText(msg, LDN_OFFSET, LDN_WIDTH, ldn_);
    }
    TRACE_SEND_MSG(
        "SCI_RECR_QL_CONFIG_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "assistQLFrom = %u, remappedQL = %u, ldn = %s)",
        getProcedureReference(), getConnectionReference(), getEntityId(), assistQLFrom_, remappedQL_,
        ldn_.c_str());
    return msg;
}

void RecrConfigInd::fetchPrimitive(void* msg) {
    readServiceHeader(msg);
    assistQLFrom_ = getHostU32(msg, FIELD_OFFSET);
    remappedQL_ = getHostU32(msg, REMAPPED_QL_OFFSET);
    ldn_ = getText(msg, LDN_OFFSET, LDN_WIDTH);
    TRACE_REC_MSG(
        "SCI_RECR_QL_CONFIG_IND with data: (procedureReference = %u, connectionReference = %u, entityId = "
        "%u, "
        "assistQLFrom = %u, remappedQL = %u, ldn = %s)",
        getProcedureReference(), getConnectionReference(), getEntityId(), assistQLFrom_, remappedQL_,
        ldn_.c_str());
}

}  // namespace Sci
}  // namespace Sync
