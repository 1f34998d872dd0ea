#include "common_fwk_classes/coli/SyncColiRegCmdRspMsgHandler.h"

#include "Macros.h"

namespace Sync {
namespace Coli {

void SyncColiRegCmdRspMsgHandler::handle(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("prim: %p (SyncColiRegCmdRsp), senderPid: %u", static_cast<void*>(primitive), senderPid);
    TRACE_RETURN("%s", "");
}

}  // namespace Coli
}  // namespace Sync
