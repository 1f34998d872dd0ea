#include "common_fwk_classes/sci/InitReq.h"

#include <algorithm>

#include "Macros.h"

namespace Sync {
namespace Sci {

InitReq::InitReq()
    : InitReqPrimitive(Messages::Management::CONNECTION_ESTABLISHMENT_REQ.msgno,
                       Messages::Management::CONNECTION_ESTABLISHMENT_REQ.name, SIZE) {}

void* InitReq::constructMessage() {
    void* msg = allocMessage();
    if (msg != nullptr) {
        const uint32_t revisions[MAX_REVISIONS] = {getPvFirstWanted(), getPvSecondWanted(),
                                                   getPvThirdWanted()};
        putU32(msg, SIZE_OF_REVISIONS_OFFSET, sizeOfSupportedProtocolRevisions_);
        for (uint32_t i = 0; i < std::min(sizeOfSupportedProtocolRevisions_, MAX_REVISIONS); ++i)
            putU32(msg, REV1_OFFSET + REVISION_STEP * i, revisions[i]);
    }
    TRACE_SEND_MSG(
        "SCI_CONNECTION_ESTABLISHMENT_REQ with data: (procedureReference = %u, connectionReference = %u, "
        "sizeOfSupportedProtocolRevisions = %u)",
        getProcedureReference(), getConnectionReference(), sizeOfSupportedProtocolRevisions_);
    TRACE_SEND_MSG("(rev1 = %u, rev2 = %u, rev3 = %u)", getPvFirstWanted(), getPvSecondWanted(),
                   getPvThirdWanted());
    return msg;
}

void InitReq::fetchPrimitive(void* msg) {
    readHeader(msg);
    sizeOfSupportedProtocolRevisions_ = getU32(msg, SIZE_OF_REVISIONS_OFFSET);
    uint32_t revisions[MAX_REVISIONS] = {0, 0, 0};
    for (uint32_t i = 0; i < std::min(sizeOfSupportedProtocolRevisions_, MAX_REVISIONS); ++i)
        revisions[i] = getU32(msg, REV1_OFFSET + REVISION_STEP * i);
    setPvFirstWanted(revisions[0]);
    setPvSecondWanted(revisions[1]);
    setPvThirdWanted(revisions[2]);
    TRACE_REC_MSG(
        "SCI_CONNECTION_ESTABLISHMENT_REQ with data: (procedureReference = %u, connectionReference = %u, "
        "sizeOfSupportedProtocolRevisions = %u)",
        getProcedureReference(), getConnectionReference(), sizeOfSupportedProtocolRevisions_);
    TRACE_REC_MSG("(rev1 = %u, rev2 = %u, rev3 = %u)", getPvFirstWanted(), getPvSecondWanted(),
                  getPvThirdWanted());
}

}  // namespace Sci
}  // namespace Sync
