#include "common_fwk_classes/coli/SyncColiRegCmdRspMsgHandler.h"

#include "Macros.h"
#include "common_fwk_classes/coli/SyncColiRegCmdRsp.h"
#include "journal/PeerStatus.h"

namespace Sync {
namespace Coli {

void SyncColiRegCmdRspMsgHandler::handle(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("prim: %p (SyncColiRegCmdRsp), senderPid: %u", static_cast<void*>(primitive), senderPid);
    if (const auto* response = dynamic_cast<const SyncColiRegCmdRsp*>(primitive)) {
        if (response->getResult() == 0)
            PeerStatus::connected(PeerStatus::COMMAND, senderPid);
        else
            PeerStatus::refused(PeerStatus::COMMAND, senderPid,
                                "registration answered with result " + std::to_string(response->getResult()));
    }
    TRACE_RETURN("%s", "");
}

}  // namespace Coli
}  // namespace Sync
