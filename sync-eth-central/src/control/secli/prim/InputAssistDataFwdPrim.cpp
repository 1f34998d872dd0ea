#include "control/secli/prim/InputAssistDataFwdPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

InputAssistDataFwdPrim::InputAssistDataFwdPrim()
    : BasePrimitive(PRIM_INPUT_ASSIST_DATA_FWD, serviceMsgno(PRIM_INPUT_ASSIST_DATA_FWD),
                    "SECLI_INPUT_ASSIST_DATA_FWD", SIZE) {}

void InputAssistDataFwdPrim::fetchPrimitive(void* msg) {
    readHeader(msg);
    timeOffset_c_ = getS32(msg, TIME_OFFSET_C_OFFSET);
    timeOffset_f_ = getS32(msg, TIME_OFFSET_F_OFFSET);
    isValidTimer_ = getU8(msg, IS_VALID_TIMER_OFFSET) != 0;
    TRACE_REC_MSG(
        "SECLI_INPUT_ASSIST_DATA_FWD with data: (procedureReference = %u, connectionReference = %u, "
        "timeOffset_c "
        "= %d, timeOffset_f = %d, isValidTimer = %s)",
        getProcedureReference(), getConnectionReference(), timeOffset_c_, timeOffset_f_,
        isValidTimer_ ? "true" : "false");
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
