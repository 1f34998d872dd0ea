#include "common_fwk_classes/iepcsi/SubscribePortStatusCfmMsgHandler.h"

#include "Macros.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"

namespace Sync {
namespace Iepcsi {

void SubscribePortStatusCfmMsgHandler::handle(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("SubscribePortStatusCfm prim: %p, senderPid: 0x%x", static_cast<void*>(primitive), senderPid);
    serviceHandler_->sendEvent(ServiceHandler::SUBSCRIBE_PORT_STATUS_CFM_EVENT());
    TRACE_RETURN("%s", "");
}

}  // namespace Iepcsi
}  // namespace Sync
