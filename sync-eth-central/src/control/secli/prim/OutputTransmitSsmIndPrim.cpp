#include "control/secli/prim/OutputTransmitSsmIndPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

OutputTransmitSsmIndPrim::OutputTransmitSsmIndPrim()
    : BasePrimitive(PRIM_OUTPUT_TRANSMIT_SSM_IND, serviceMsgno(PRIM_OUTPUT_TRANSMIT_SSM_IND),
                    "SECLI_OUTPUT_TRANSMIT_SSM_IND", SIZE) {}

void* OutputTransmitSsmIndPrim::constructMessage() {
    void* msg = allocMessage();
    if (msg != nullptr) {
        putU32(msg, SSM_CODE_OFFSET, ssmCode_);
        putU32(msg, ENHANCED_SSM_CODE_OFFSET, enhancedSsmCode_);
        putU64(msg, SYNCE_MASTER_ID_OFFSET, syncEMasterId_);
        putU32(msg, FLAG_OFFSET, flag_);
        putU32(msg, NUMBER_CASCADED_ENHANCED_EEC_OFFSET, numberCascadedEnhancedEec_);
        putU32(msg, NUMBER_CASCADED_EEC_OFFSET, numberCascadedEec_);
    }
    TRACE_SEND_MSG(
        "SECLI_OUTPUT_TRANSMIT_SSM_IND with data: (procedureReference = %u, connectionReference = %u, "
        "ssmCode = "
        "0x%02x, enhancedSsmCode = 0x%02x, syncEMasterId = 0x%016lx, flag = 0x%02x, "
        "numberCascadedEnhancedEec = "
        "%u, numberCascadedEec = %u",
        getProcedureReference(), getConnectionReference(), ssmCode_, static_cast<unsigned>(enhancedSsmCode_),
        static_cast<unsigned long>(syncEMasterId_), static_cast<unsigned>(flag_),
        static_cast<unsigned>(numberCascadedEnhancedEec_), static_cast<unsigned>(numberCascadedEec_));
    return msg;
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
