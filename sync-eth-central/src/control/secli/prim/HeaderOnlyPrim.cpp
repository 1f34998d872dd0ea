#include "control/secli/prim/HeaderOnlyPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

HeaderOnlyPrim::HeaderOnlyPrim(uint32_t primitiveId, const char* name, Direction direction)
    : BasePrimitive(primitiveId, serviceMsgno(primitiveId), name, HEADER_ONLY_SIZE), direction_(direction) {}

void* HeaderOnlyPrim::constructMessage() {
    if (direction_ != SENT)
        return BasePrimitive::constructMessage();
    void* msg = allocMessage();
    TRACE_SEND_MSG("%s with data: (procedureReference = %u, connectionReference = %u)", getName(),
                   getProcedureReference(), getConnectionReference());
    return msg;
}

void HeaderOnlyPrim::fetchPrimitive(void* msg) {
    if (direction_ != RECEIVED)
        return BasePrimitive::fetchPrimitive(msg);
    readHeader(msg);
    TRACE_REC_MSG("%s with data: (procedureReference = %u, connectionReference = %u)", getName(),
                  getProcedureReference(), getConnectionReference());
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
