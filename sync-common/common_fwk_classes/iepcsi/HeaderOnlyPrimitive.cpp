#include "common_fwk_classes/iepcsi/HeaderOnlyPrimitive.h"

#include "Macros.h"

namespace Sync {
namespace Iepcsi {

HeaderOnlyPrimitive::HeaderOnlyPrimitive(uint32_t primitiveId, uint32_t msgno, const char* name, Role role)
    : BasePrimitive(primitiveId, msgno, name, SIZE), role_(role) {}

void* HeaderOnlyPrimitive::constructMessage() {
    if (role_ == Role::INCOMING)
        return nullptr;
    void* msg = allocMessage();
    if (role_ == Role::OUTGOING)
        TRACE_SEND_MSG("%s with data: procedureReference: %u, connectionReference: %u", getName(),
                       getProcedureReference(), getConnectionReference());
    return msg;
}

void HeaderOnlyPrimitive::fetchPrimitive(void* msg) {
    if (role_ == Role::OUTGOING)
        return;
    readHeader(msg);
    if (role_ == Role::NOTICE)
        TRACE_REC_MSG("%s", getName());
    else
        TRACE_REC_MSG("%s with data: procedureReference: %u, connectionReference: %u", getName(),
                      getProcedureReference(), getConnectionReference());
}

}  // namespace Iepcsi
}  // namespace Sync
