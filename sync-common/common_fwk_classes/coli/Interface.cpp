#include "common_fwk_classes/coli/Interface.h"

#include "Macros.h"
#include "common_fwk_classes/coli/SyncColiDownInd.h"
#include "common_fwk_classes/coli/SyncColiRegCmdRsp.h"
#include "common_fwk_classes/coli/SyncColiReq.h"
#include "common_fwk_classes/coli/SyncColiUpInd.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Coli {

Interface::Interface(uint32_t ownMboxId) : BaseInterface(ownMboxId) {
    TRACE_ENTER("ownMboxId: %u", ownMboxId);
    registerPrimitive(new SyncColiUpInd());
    registerPrimitive(new SyncColiDownInd());
    registerPrimitive(new SyncColiRegCmdRsp());
    registerPrimitive(new SyncColiReq());
    TRACE_RETURN("%s", "");
}

Interface::~Interface() = default;

void Interface::attachIf() {
    TRACE_ENTER("%s", "");
    coli_common_locate_proc();
    TRACE_RETURN("%s", "");
}

// The server's registration lapses with the server itself, so there is nothing to undo.
void Interface::detachIf() {
    TRACE_ENTER("%s", "");
    TRACE_RETURN("%s", "");
}

void Interface::dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("primObj: %p, senderPid: %u", static_cast<void*>(primitive), senderPid);
    notifyListeners(primitive, senderPid);
    TRACE_RETURN("%s", "");
}

bool Interface::checkPrimitive(BasePrimitive* primitive, uint32_t id) const {
    if (primitive == nullptr) {
        TRACE_ERROR("You need to add primitive: %u to the PrimitiveContainer of Interface first", id);
        return false;
    }
    return true;
}

}  // namespace Coli
}  // namespace Sync
