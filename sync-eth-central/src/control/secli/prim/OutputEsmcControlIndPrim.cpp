#include "control/secli/prim/OutputEsmcControlIndPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

OutputEsmcControlIndPrim::OutputEsmcControlIndPrim()
    : BasePrimitive(PRIM_OUTPUT_ESMC_CONTROL_IND, serviceMsgno(PRIM_OUTPUT_ESMC_CONTROL_IND),
                    "SECLI_OUTPUT_ESMC_CONTROL_IND", ONE_WORD_SIZE) {}

void* OutputEsmcControlIndPrim::constructMessage() {
    void* msg = allocMessage();
    if (msg != nullptr)
        putU32(msg, FIRST_WORD_OFFSET, output_);
    TRACE_SEND_MSG(
        "SECLI_OUTPUT_ESMC_CONTROL_IND with data: (procedureReference = %u, connectionReference = %u, output "
        "= %u)",
        getProcedureReference(), getConnectionReference(), output_);
    return msg;
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
