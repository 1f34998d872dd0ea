#include "common_fwk_classes/coli/SyncColiUpIndMsgHandler.h"

#include "Macros.h"
#include "common_fwk_classes/coli/ServiceHandler.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Coli {

SyncColiUpIndMsgHandler::SyncColiUpIndMsgHandler(ServiceHandler* serviceHandler)
    : serviceHandler(serviceHandler) {}

void SyncColiUpIndMsgHandler::handle(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("prim: %p (SyncColiUpInd), senderPid: %u", static_cast<void*>(primitive), senderPid);
    coli_common_monitor(senderPid);
    serviceHandler->registerColiCommands(senderPid);
    TRACE_RETURN("%s", "");
}

}  // namespace Coli
}  // namespace Sync
