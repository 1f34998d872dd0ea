#include "control/InitSusPrimitive.h"

#include "Macros.h"

namespace Sync {

InitSusPrimitive::InitSusPrimitive(uint32_t msgno, const char* name, uint32_t messageSize)
    : BasePrimitive(INIT_SUS, msgno, name, messageSize) {}

void* InitSusPrimitive::constructMessage() {
    void* msg = allocMessage();
    if (msg != nullptr)
        putU32(msg, SUPPORTED_REVISION_OFFSET, supportedRevision_);
    TRACE_SEND_MSG("%s with data: procedureReference: %u, connectionReference: %u, supportedRevision: %u",
                   getName(), getProcedureReference(), getConnectionReference(), supportedRevision_);
    return msg;
}

void InitSusPrimitive::fetchPrimitive(void* msg) {
    readHeader(msg);
    supportedRevision_ = getU32(msg, SUPPORTED_REVISION_OFFSET);
    TRACE_REC_MSG("%s with data: procedureReference: %u, connectionReference: %u, supportedRevision: %u",
                  getName(), getProcedureReference(), getConnectionReference(), supportedRevision_);
}

}  // namespace Sync
