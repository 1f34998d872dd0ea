#include "common_fwk_classes/iepcsi/GetPortSupportCfmMsgHandler.h"

#include "Macros.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportCfm.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"
#include "control/CastTo.h"

namespace Sync {
namespace Iepcsi {

namespace {

const char* toText(bool flag) {
    return flag ? "true" : "false";
}

}  // namespace

void GetPortSupportCfmMsgHandler::handle(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("GetPortSupportCfm prim: %p, senderPid: 0x%x", static_cast<void*>(primitive), senderPid);
    GetEthPortSupportCfm* cfm = castTo<GetEthPortSupportCfm>(primitive);
    serviceHandler_->sendEvent(ServiceHandler::GET_ETH_PORT_SUPPORT_CFM_EVENT());
    // Which ports the model takes is the model's decision; this only reports the ones nobody serves.
    for (const GetEthPortSupportCfm::PortRecord& record : cfm->getPortRecords()) {
        if ((record.portRole & (GetEthPortSupportCfm::ROLE_C2 | GetEthPortSupportCfm::ROLE_RDI)) != 0)
            continue;
        TRACE_INFO("Skip portName %s, C2 %s IDL %s RDI %s", record.portName.c_str(), toText(false),
                   toText((record.portRole & GetEthPortSupportCfm::ROLE_IDL) != 0), toText(false));
    }
    TRACE_RETURN("%s", "");
}

}  // namespace Iepcsi
}  // namespace Sync
