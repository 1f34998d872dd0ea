#include "common_fwk_classes/iepcsi/InitCfmMsgHandler.h"

#include "Macros.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"

namespace Sync {
namespace Iepcsi {

void InitCfmMsgHandler::handle(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("InitCfm prim: %p, senderPid: 0x%x", static_cast<void*>(primitive), senderPid);
    serviceHandler_->sendEvent(ServiceHandler::INIT_CFM_EVENT());
    serviceHandler_->getEthPortSupport();
    TRACE_RETURN("%s", "");
}

}  // namespace Iepcsi
}  // namespace Sync
