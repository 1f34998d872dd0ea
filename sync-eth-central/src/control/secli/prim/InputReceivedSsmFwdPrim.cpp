#include "control/secli/prim/InputReceivedSsmFwdPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

InputReceivedSsmFwdPrim::InputReceivedSsmFwdPrim()
    : BasePrimitive(PRIM_INPUT_RECEIVED_SSM_FWD, serviceMsgno(PRIM_INPUT_RECEIVED_SSM_FWD),
                    "SECLI_INPUT_RECEIVED_SSM_FWD", SIZE) {}

void InputReceivedSsmFwdPrim::fetchPrimitive(void* msg) {
    readHeader(msg);
    ssmCode_ = getU32(msg, SSM_CODE_OFFSET);
    tcuDetected_ = getU32(msg, TCU_DETECTED_OFFSET);
    receivedQl_.ssmCode = static_cast<uint8_t>(ssmCode_);
    receivedQl_.tcuDetected = static_cast<uint8_t>(tcuDetected_);
    receivedQl_.extendedQlDetected = static_cast<uint8_t>(getU32(msg, EXTENDED_QL_DETECTED_OFFSET));
    receivedQl_.enhancedSsmCode = static_cast<uint8_t>(getU32(msg, ENHANCED_SSM_CODE_OFFSET));
    syncEMasterId_ = getU64(msg, SYNCE_MASTER_ID_OFFSET);
    flag_ = static_cast<uint8_t>(getU32(msg, FLAG_OFFSET));
    numberCascadedEnhancedEec_ = static_cast<uint8_t>(getU32(msg, NUMBER_CASCADED_ENHANCED_EEC_OFFSET));
    numberCascadedEec_ = static_cast<uint8_t>(getU32(msg, NUMBER_CASCADED_EEC_OFFSET));
    TRACE_REC_MSG(
        "SECLI_INPUT_RECEIVED_SSM_FWD with data: (procedureReference = %u, connectionReference = %u, ssmCode "
        "= %u, "
        "tcuDetected = %u, extendedQlDetected = %u, enhancedSsmCode = 0x%02X, SynceMasterId = 0x%016lx, flag "
        "= "
        "%u, numberCascadedEec = %u, numberCascadedEnhancedEec = %u ",
        getProcedureReference(), getConnectionReference(), ssmCode_, tcuDetected_,
        static_cast<unsigned>(receivedQl_.extendedQlDetected),
        static_cast<unsigned>(receivedQl_.enhancedSsmCode), static_cast<unsigned long>(syncEMasterId_),
        static_cast<unsigned>(flag_), static_cast<unsigned>(numberCascadedEec_),
        static_cast<unsigned>(numberCascadedEnhancedEec_));
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
