#include "common_fwk_classes/iepcsi/ServerDownMsgHandler.h"

#include "Macros.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"

namespace Sync {
namespace Iepcsi {

void ServerDownMsgHandler::handle(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("ServerDown prim: %p, senderPid: 0x%x", static_cast<void*>(primitive), senderPid);
    serviceHandler_->sendEvent(ServiceHandler::SERVER_DOWN_EVENT());
    TRACE_RETURN("%s", "");
}

}  // namespace Iepcsi
}  // namespace Sync
