#include "common_fwk_classes/iepcsi/PortStatusInd.h"

#include "Macros.h"
#include "tavi.h"

namespace Sync {
namespace Iepcsi {

PortStatusInd::PortStatusInd()
    : BasePrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_ETH_PORT_STATUS_IND", FIXED_SIZE) {}

void PortStatusInd::fetchPrimitive(void* msg) {
    readHeader(msg);
    portStatus_.adminUnlocked = getU32(msg, ADMIN_STATE_OFFSET) == ADMIN_UNLOCKED;
    portStatus_.operEnabled = getU32(msg, OPER_STATE_OFFSET) == OPER_ENABLED;
    portStatus_.availabilityStatus.clear();
    if (!portStatus_.operEnabled)
        portStatus_.availabilityStatus.insert(AVAILABILITY_FAILED);
    portStatus_.portName = getText(msg, PORT_NAME_OFFSET, PORT_NAME_WIDTH);
    const uint32_t size = tavi_size(msg);
    portStatus_.networkNamespace =
        size > NAMESPACE_OFFSET ? getText(msg, NAMESPACE_OFFSET, size - NAMESPACE_OFFSET) : "";
    TRACE_INFO(
        "Received message: IEPCSI_ETH_PORT_STATUS_IND with data: procedureReference: %u, "
        "connectionReference: %u "
        "adminState: %s, operState: %s, portName: %s, namespace: %s",
        getProcedureReference(), getConnectionReference(),
        portStatus_.adminUnlocked ? "ADM_UNLOCKED" : "ADM_LOCKED",
        portStatus_.operEnabled ? "OP_ENABLED" : "OP_DISABLED", portStatus_.portName.c_str(),
        portStatus_.networkNamespace.c_str());
}

}  // namespace Iepcsi
}  // namespace Sync
