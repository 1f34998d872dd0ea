#include "common_fwk_classes/sci/InitCfm.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

InitCfm::InitCfm()
    : InitCfmPrimitive(Messages::Management::CONNECTION_ESTABLISHMENT_CFM.msgno,
                       Messages::Management::CONNECTION_ESTABLISHMENT_CFM.name) {}

void* InitCfm::constructMessage() {
    void* msg = allocMessage();
    if (msg != nullptr)
        putU32(msg, SELECTED_PROTOCOL_REVISION_OFFSET, getPvSelected());
    TRACE_SEND_MSG(
        "SCI_CONNECTION_ESTABLISHMENT_CFM with data: (procedureReference = %u, connectionReference = %u, "
        "selectedProtocolRevision = %u)",
        getProcedureReference(), getConnectionReference(), getPvSelected());
    return msg;
}

void InitCfm::fetchPrimitive(void* msg) {
    readHeader(msg);
    TRACE_REC_MSG(
        "SCI_CONNECTION_ESTABLISHMENT_CFM with data: (procedureReference = %u, connectionReference = %u, "
        "selectedProtocolRevision = %u)",
        getProcedureReference(), getConnectionReference(), getU32(msg, SELECTED_PROTOCOL_REVISION_OFFSET));
}

}  // namespace Sci
}  // namespace Sync
