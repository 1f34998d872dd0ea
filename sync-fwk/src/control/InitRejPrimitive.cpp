#include "control/InitRejPrimitive.h"

#include "Macros.h"

namespace Sync {

InitRejPrimitive::InitRejPrimitive(uint32_t msgno, const char* name, uint32_t messageSize)
    : BasePrimitive(INIT_REJ, msgno, name, messageSize) {}

void* InitRejPrimitive::constructMessage() {
    void* msg = allocMessage();
    if (msg != nullptr)
        putU32(msg, REASON_OFFSET, rejectCause_);
    TRACE_SEND_MSG("%s with data: procedureReference: %u, connectionReference: %u, rejectCause: %u",
                   getName(), getProcedureReference(), getConnectionReference(),
                   static_cast<unsigned>(rejectCause_));
    return msg;
}

void InitRejPrimitive::fetchPrimitive(void* msg) {
    readHeader(msg);
    reason_ = getS32(msg, REASON_OFFSET);
    TRACE_ERROR("Received message: %s with data: procedureReference: %u, connectionReference: %u, reason: %d",
                getName(), getProcedureReference(), getConnectionReference(), reason_);
}

}  // namespace Sync
