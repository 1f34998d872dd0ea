#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusReq.h"

#include "Macros.h"

namespace Sync {
namespace Iepcsi {

SubscribeEthPortStatusReq::SubscribeEthPortStatusReq()
    : BasePrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ", SIZE) {}

void* SubscribeEthPortStatusReq::constructMessage() {
    void* msg = allocMessage();
    // The field holds 15 characters and its NUL; the trace shows the name as sent.
    const std::string sentName = portName_.substr(0, PORT_NAME_WIDTH - 1);
    if (msg != nullptr) {
        putU32(msg, PORT_ROLE_OFFSET, portRole_);
        putText(msg, PORT_NAME_OFFSET, PORT_NAME_WIDTH, sentName);
    }
    TRACE_SEND_MSG(
        "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ with data: procedureReference: %u, connectionReference: %u, "
        "portRole: %u, portName: %s",
        getProcedureReference(), getConnectionReference(), portRole_, sentName.c_str());
    portRole_ = 0;
    portName_.clear();
    return msg;
}

}  // namespace Iepcsi
}  // namespace Sync
