#include "control/BaseController.h"

#include <cstdlib>
#include <exception>

#include "Macros.h"
#include "control/Dispatcher.h"
#include "tavi.h"

namespace Sync {

BaseController::BaseController(const std::string& name)
    : ownIdentity(TAVI_NO_ID), ownServiceName(name), dispatcher(nullptr) {}

BaseController::~BaseController() {
    destroyHandlers();
}

uint32_t BaseController::getOwnIdentity() const {
    return ownIdentity;
}

const char* BaseController::getOwnServiceName() const {
    return ownServiceName.c_str();
}

Dispatcher* BaseController::getDispatcher() const {
    return dispatcher;
}

void BaseController::addServiceHandler(BaseServiceHandler* handler) {
    if (!serviceHandlers.insert(handler->getId(), handler)) {
        std::abort();
    }
}

void BaseController::destroyHandlers() {
    bool removed = true;
    try {
        for (auto& entry : serviceHandlers) {
            entry.second->unregisterInterface();
        }
    } catch (const std::exception& e) {
        TRACE_ERROR("Caught exception: %s", e.what());
        removed = false;
    } catch (...) {
        TRACE_ERROR("Caught delete exception");
        removed = false;
    }
    if (removed) {
        delete dispatcher;
    }
    dispatcher = nullptr;
    serviceHandlers.clear();
}

}  // namespace Sync
