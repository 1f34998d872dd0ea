#include "control/InitCfmPrimitive.h"

#include "Macros.h"

namespace Sync {

InitCfmPrimitive::InitCfmPrimitive(uint32_t msgno, const char* name, uint32_t messageSize)
    : BasePrimitive(INIT_CFM, msgno, name, messageSize) {}

void* InitCfmPrimitive::constructMessage() {
    void* msg = allocMessage();
    if (msg != nullptr)
        putU32(msg, PV_SELECTED_OFFSET, pvSelected_);
    TRACE_SEND_MSG("%s with data: procedureReference: %u, connectionReference: %u, pv_selected: %u",
                   getName(), getProcedureReference(), getConnectionReference(), pvSelected_);
    return msg;
}

void InitCfmPrimitive::fetchPrimitive(void* msg) {
    readHeader(msg);
    pvSelected_ = getU32(msg, PV_SELECTED_OFFSET);
    TRACE_REC_MSG("%s with data: procedureReference: %u, connectionReference: %u, pv_selected: %u", getName(),
                  getProcedureReference(), getConnectionReference(), pvSelected_);
}

}  // namespace Sync
