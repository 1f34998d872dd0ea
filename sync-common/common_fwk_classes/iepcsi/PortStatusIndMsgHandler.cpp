#include "common_fwk_classes/iepcsi/PortStatusIndMsgHandler.h"

#include "Macros.h"
#include "common_fwk_classes/iepcsi/PortStatusInd.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"

namespace Sync {
namespace Iepcsi {

void PortStatusIndMsgHandler::handle(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("PortStatusInd prim: %p, senderPid: 0x%x", static_cast<void*>(primitive), senderPid);
    if (dynamic_cast<PortStatusInd*>(primitive) == nullptr) {
        TRACE_ERROR("Dynamic cast to PortStatusInd failed");
        TRACE_RETURN("%s", "");
        return;
    }
    serviceHandler_->sendEvent(ServiceHandler::ETH_PORT_STATUS_IND_EVENT());
    TRACE_RETURN("%s", "");
}

}  // namespace Iepcsi
}  // namespace Sync
