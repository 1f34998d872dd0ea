#include "common_fwk_classes/coli/ServiceHandler.h"

#include <utility>

#include "Macros.h"
#include "common_fwk_classes/coli/Interface.h"
#include "common_fwk_classes/coli/SyncColiDownInd.h"
#include "common_fwk_classes/coli/SyncColiDownIndMsgHandler.h"
#include "common_fwk_classes/coli/SyncColiRegCmdRsp.h"
#include "common_fwk_classes/coli/SyncColiRegCmdRspMsgHandler.h"
#include "common_fwk_classes/coli/SyncColiReq.h"
#include "common_fwk_classes/coli/SyncColiReqMsgHandler.h"
#include "common_fwk_classes/coli/SyncColiUpInd.h"
#include "common_fwk_classes/coli/SyncColiUpIndMsgHandler.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "tavi.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Coli {

namespace {

// Binds handler to the interface's primitive of kind id, unless the interface lacks that primitive.
void bind(Interface& interface, uint32_t id, MessageHandler* handler) {
    BasePrimitive* primitive = interface.getPrimitive(id);
    if (interface.checkPrimitive(primitive, id))
        interface.addListener(primitive, handler);
    else
        delete handler;
}

}  // namespace

ServiceHandler::ServiceHandler(uint32_t id, BaseController* controller, CommandText command)
    : BaseServiceHandler(id, controller), command_(std::move(command)) {
    TRACE_ENTER("id: %u", id);
    TRACE_RETURN("%s", "");
}

ServiceHandler::~ServiceHandler() = default;

void ServiceHandler::init() {
    TRACE_ENTER("id: %u", getId());
    Dispatcher* dispatcher = controller != nullptr ? controller->getDispatcher() : nullptr;
    Interface* interface = new Interface(controller != nullptr ? controller->getOwnIdentity() : TAVI_NO_ID);
    if (dispatcher == nullptr || !dispatcher->addInterface(getId(), interface)) {
        // Handlers bound to an interface that nobody dispatches to could never run.
        TRACE_ERROR("FAILED to add interface");
        delete interface;
        TRACE_RETURN("%s", "");
        return;
    }
    bind(*interface, SyncColiUpInd::PRIMITIVE_ID, new SyncColiUpIndMsgHandler(this));
    bind(*interface, SyncColiDownInd::PRIMITIVE_ID, new SyncColiDownIndMsgHandler());
    bind(*interface, SyncColiRegCmdRsp::PRIMITIVE_ID, new SyncColiRegCmdRspMsgHandler());
    bind(*interface, SyncColiReq::PRIMITIVE_ID, new SyncColiReqMsgHandler(this));
    TRACE_RETURN("%s", "");
}

void ServiceHandler::registerColiCommands(uint32_t senderPid) {
    TRACE_ENTER("senderPid: %u", senderPid);
    const char* const argv[] = {command_.name.c_str(), command_.synopsis.c_str(),
                                command_.description.c_str()};
    coli_common_send_coli_reg_cmd_req(3, argv, senderPid);
    TRACE_RETURN("%s", "");
}

bool ServiceHandler::answerBeyondInfo(const std::vector<std::string>&) {
    return false;
}

}  // namespace Coli
}  // namespace Sync
