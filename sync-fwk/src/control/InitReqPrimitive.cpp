#include "control/InitReqPrimitive.h"

#include "Macros.h"

namespace Sync {

InitReqPrimitive::InitReqPrimitive(uint32_t msgno, const char* name, uint32_t messageSize)
    : BasePrimitive(INIT_REQ, msgno, name, messageSize) {}

void* InitReqPrimitive::packRevisions() const {
    void* msg = allocMessage();
    if (msg != nullptr) {
        putU32(msg, FIRST_WANTED_OFFSET, pvFirstWanted_);
        putU32(msg, SECOND_WANTED_OFFSET, pvSecondWanted_);
        putU32(msg, THIRD_WANTED_OFFSET, pvThirdWanted_);
    }
    return msg;
}

void InitReqPrimitive::unpackRevisions(const void* msg) {
    readHeader(msg);
    pvFirstWanted_ = getU32(msg, FIRST_WANTED_OFFSET);
    pvSecondWanted_ = getU32(msg, SECOND_WANTED_OFFSET);
    pvThirdWanted_ = getU32(msg, THIRD_WANTED_OFFSET);
}

void* InitReqPrimitive::constructMessage() {
    void* msg = packRevisions();
    TRACE_SEND_MSG(
        "%s with data: procedureReference: %u, connectionReference: %u, pvFirstWanted: %u, pvSecondWanted: "
        "%u, "
        "pvThirdWanted: %u",
        getName(), getProcedureReference(), getConnectionReference(), pvFirstWanted_, pvSecondWanted_,
        pvThirdWanted_);
    return msg;
}

void InitReqPrimitive::fetchPrimitive(void* msg) {
    unpackRevisions(msg);
    TRACE_REC_MSG(
        "%s with data: procedureReference: %u, connectionReference: %u, pvFirstWanted: %u, pvSecondWanted: "
        "%u, "
        "pvThirdWanted: %u",
        getName(), getProcedureReference(), getConnectionReference(), pvFirstWanted_, pvSecondWanted_,
        pvThirdWanted_);
}

}  // namespace Sync
