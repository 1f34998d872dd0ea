#include "common_fwk_classes/sci/PortScanReq.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

PortScanReq::PortScanReq() : LdnListPrimitive(Messages::Service::PORT_SCAN_REQ, "CandidateList") {}

// No comma before sizeOfCandidateList: the text is kept as operators know it.
void* PortScanReq::constructMessage() {
    TRACE_SEND_MSG(
        "SCI_PORT_SCAN_REQ with data: (procedureReference = %u, connectionReference = %u, entityId = %u "
        "sizeOfCandidateList = %u)",
        getProcedureReference(), getConnectionReference(), getEntityId(),
        static_cast<unsigned>(packedCount()));
    return packList();
}

void PortScanReq::fetchPrimitive(void* msg) {
    readServiceHeader(msg);
    TRACE_REC_MSG(
        "SCI_PORT_SCAN_REQ with data: (procedureReference = %u, connectionReference = %u, entityId = %u "
        "sizeOfCandidateList = %u)",
        getProcedureReference(), getConnectionReference(), getEntityId(),
        static_cast<unsigned>(getU8(msg, COUNT_OFFSET)));
    unpackList(msg);
}

}  // namespace Sci
}  // namespace Sync
