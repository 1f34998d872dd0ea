#include "common_fwk_classes/sci/PortScanRsp.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

PortScanRsp::PortScanRsp() : LdnListPrimitive(Messages::Service::PORT_SCAN_RSP, "FailedToLockCandidates") {}

void* PortScanRsp::constructMessage() {
    TRACE_SEND_MSG(
        "SCI_PORT_SCAN_RSP with data: (procedureReference = %u, connectionReference = %u, entityId = %u, "
        "sizeOfFailedToLockCandidates = %u)",
        getProcedureReference(), getConnectionReference(), getEntityId(),
        static_cast<unsigned>(packedCount()));
    return packList();
}

void PortScanRsp::fetchPrimitive(void* msg) {
    readServiceHeader(msg);
    TRACE_REC_MSG(
        "SCI_PORT_SCAN_RSP with data: (procedureReference = %u, connectionReference = %u, entityId = %u, "
        "sizeOfFailedToLockCandidates = %u)",
        getProcedureReference(), getConnectionReference(), getEntityId(),
        static_cast<unsigned>(getU8(msg, COUNT_OFFSET)));
    unpackList(msg);
}

}  // namespace Sci
}  // namespace Sync
