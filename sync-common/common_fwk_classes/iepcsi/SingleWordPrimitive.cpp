#include "common_fwk_classes/iepcsi/SingleWordPrimitive.h"

#include "Macros.h"

namespace Sync {
namespace Iepcsi {

SingleWordPrimitive::SingleWordPrimitive(uint32_t primitiveId, uint32_t msgno, const char* name,
                                         const char* wordName, Role role)
    : BasePrimitive(primitiveId, msgno, name, SIZE), wordName_(wordName), role_(role) {}

void* SingleWordPrimitive::constructMessage() {
    if (role_ != Role::OUTGOING)
        return nullptr;
    void* msg = allocMessage();
    if (msg != nullptr)
        putU32(msg, WORD_OFFSET, word_);
    TRACE_SEND_MSG("%s with data: procedureReference: %u, connectionReference: %u, %s: %u", getName(),
                   getProcedureReference(), getConnectionReference(), wordName_, word_);
    return msg;
}

void SingleWordPrimitive::fetchPrimitive(void* msg) {
    if (role_ == Role::OUTGOING)
        return;
    readHeader(msg);
    word_ = getU32(msg, WORD_OFFSET);
    if (role_ == Role::REJECTION)
        TRACE_ERROR("Received message: %s with data: procedureReference: %u, connectionReference: %u, %s: %u",
                    getName(), getProcedureReference(), getConnectionReference(), wordName_, word_);
    else
        TRACE_REC_MSG("%s with data: procedureReference: %u, connectionReference: %u, %s: %u", getName(),
                      getProcedureReference(), getConnectionReference(), wordName_, word_);
}

}  // namespace Iepcsi
}  // namespace Sync
