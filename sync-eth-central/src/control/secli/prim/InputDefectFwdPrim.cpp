#include "control/secli/prim/InputDefectFwdPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

InputDefectFwdPrim::InputDefectFwdPrim()
    : BasePrimitive(PRIM_INPUT_DEFECT_FWD, serviceMsgno(PRIM_INPUT_DEFECT_FWD), "SECLI_INPUT_DEFECT_FWD",
                    ONE_WORD_SIZE) {}

void InputDefectFwdPrim::fetchPrimitive(void* msg) {
    readHeader(msg);
    defectStatus_ = getU32(msg, FIRST_WORD_OFFSET);
    TRACE_REC_MSG_FREQ(
        "SECLI_INPUT_DEFECT_FWD with data: (procedureReference = %u, connectionReference = %u, defectStatus "
        "= "
        "0x%08X)",
        getProcedureReference(), getConnectionReference(), defectStatus_);
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
