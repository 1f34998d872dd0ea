#include "control/secli/prim/ConfigRejectPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

ConfigRejectPrim::ConfigRejectPrim(uint32_t primitiveId, const char* name, const char* traceFormat)
    : BasePrimitive(primitiveId, serviceMsgno(primitiveId), name, ONE_WORD_SIZE), traceFormat_(traceFormat) {}

void ConfigRejectPrim::fetchPrimitive(void* msg) {
    readHeader(msg);
    errorCode_ = getU32(msg, FIRST_WORD_OFFSET);
    TRACE_REC_MSG(traceFormat_, getProcedureReference(), getConnectionReference(), errorCode_);
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
