#include "common_fwk_classes/coli/SyncColiDownIndMsgHandler.h"

#include "Macros.h"
#include "journal/PeerStatus.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Coli {

void SyncColiDownIndMsgHandler::handle(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("prim: %p (SyncColiDownInd), senderPid: %u", static_cast<void*>(primitive), senderPid);
    PeerStatus::lost(PeerStatus::COMMAND, senderPid);
    coli_common_locate_proc();
    TRACE_RETURN("%s", "");
}

}  // namespace Coli
}  // namespace Sync
