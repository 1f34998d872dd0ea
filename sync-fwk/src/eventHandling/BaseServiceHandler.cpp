#include "eventHandling/BaseServiceHandler.h"

#include "Macros.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"

namespace Sync {

BaseServiceHandler::BaseServiceHandler(uint32_t id, BaseController* controller)
    : EventHandler(id), controller(controller) {}

BaseServiceHandler::~BaseServiceHandler() = default;

void BaseServiceHandler::unregisterInterface() {
    Dispatcher* dispatcher = controller != nullptr ? controller->getDispatcher() : nullptr;
    if (dispatcher != nullptr) {
        dispatcher->removeInterface(getId());
    }
}

BaseInterface* BaseServiceHandler::getInterface() {
    Dispatcher* dispatcher = controller != nullptr ? controller->getDispatcher() : nullptr;
    if (dispatcher == nullptr) {
        TRACE_ERROR("Coding error: BaseController got no Dispatcher!");
        return nullptr;
    }
    return dispatcher->getInterface(getId());
}

}  // namespace Sync
