#include "common_fwk_classes/sci/PtpClockTypeSubscribeReq.h"

#include "Macros.h"

namespace Sync {
namespace Sci {

PtpClockTypeSubscribeReq::PtpClockTypeSubscribeReq()
    : ServicePrimitive(Messages::PtpClockType::SUBSCRIBE_REQ, SIZE) {}

const char* PtpClockTypeSubscribeReq::ptpClockTypeName(uint8_t type) {
    switch (type) {
        case GRAND_MASTER_ORDINARY_CLOCK:
            return "GRAND_MASTER_ORDINARY_CLOCK";
        case BOUNDARY_CLOCK:
            return "BOUNDARY_CLOCK";
        case SLAVE_ONLY_ORDINARY_CLOCK:
            return "SLAVE_ONLY_ORDINARY_CLOCK";
        default:
            return "UNDEFINED_PTP_CLOCK_TYPE";
    }
}

// The double blank after "entityId =" is part of the text operators search for.
void* PtpClockTypeSubscribeReq::constructMessage() {
    void* msg = allocServiceMessage();
    if (msg != nullptr)
        putU8(msg, FIELD_OFFSET, ptpClockType_);
    TRACE_SEND_MSG(
        "SCI_PTP_CLOCK_TYPE_SUBSCRIBE_REQ with data: (procedureReference = %u, connectionReference = %u, "
        "entityId =  "
        "%u, ptpClockType = %u (%s))",
        getProcedureReference(), getConnectionReference(), getEntityId(),
        static_cast<unsigned>(ptpClockType_), ptpClockTypeName(ptpClockType_));
    return msg;
}

void PtpClockTypeSubscribeReq::fetchPrimitive(void* msg) {
    readServiceHeader(msg);
    ptpClockType_ = getU8(msg, FIELD_OFFSET);
    TRACE_REC_MSG(
        "SCI_PTP_CLOCK_TYPE_SUBSCRIBE_REQ with data: (procedureReference = %u, connectionReference = %u, "
        "entityId =  "
        "%u, ptpClockType = %u (%s))",
        getProcedureReference(), getConnectionReference(), getEntityId(),
        static_cast<unsigned>(ptpClockType_), ptpClockTypeName(ptpClockType_));
}

}  // namespace Sci
}  // namespace Sync
