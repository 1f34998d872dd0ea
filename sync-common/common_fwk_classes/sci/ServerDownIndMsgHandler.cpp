#include "common_fwk_classes/sci/ServerDownIndMsgHandler.h"

#include "Macros.h"
#include "common_fwk_classes/sci/CentralEvent.h"
#include "common_fwk_classes/sci/ClientServiceHandler.h"

namespace Sync {
namespace Sci {

ServerDownIndMsgHandler::ServerDownIndMsgHandler(BaseServiceHandler* serviceHandler)
    : serviceHandler(serviceHandler) {}

void ServerDownIndMsgHandler::handle(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("prim: %p, senderPid: %08X", static_cast<void*>(primitive), senderPid);
    serviceHandler->sendEvent(ClientServiceHandler::SERVER_DOWN_IND_EVENT());
    serviceHandler->sendEvent(Control::CentralEvent::CLIENT_NOTIFY_EVENT(Control::CentralEvent::SERVER_LOST));
    TRACE_RETURN("%s", "");
}

}  // namespace Sci
}  // namespace Sync
