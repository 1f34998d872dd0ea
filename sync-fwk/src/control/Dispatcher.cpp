#include "control/Dispatcher.h"

#include "Macros.h"
#include "control/BaseInterface.h"

namespace Sync {

Dispatcher::Dispatcher() = default;

Dispatcher::~Dispatcher() = default;

bool Dispatcher::addInterface(uint32_t handlerId, BaseInterface* interface) {
    TRACE_ENTER("handlerId: %u, interface: %p", handlerId, static_cast<void*>(interface));
    if (interface == nullptr) {
        TRACE_ERROR("Coding error: Try to add a null pointer!");
        TRACE_RETURN("%s", "false");
        return false;
    }
    const bool added = interfaces.emplace(handlerId, interface).second;
    TRACE_RETURN("%s", added ? "true" : "false");
    return added;
}

void Dispatcher::removeInterface(uint32_t handlerId) {
    TRACE_ENTER("handlerId: %u", handlerId);
    const auto found = interfaces.find(handlerId);
    if (found != interfaces.end()) {
        BaseInterface* interface = found->second;
        interface->detachIf();
        interfaces.erase(handlerId);
        delete interface;
    }
    TRACE_RETURN("%s", "");
}

BaseInterface* Dispatcher::getInterface(uint32_t handlerId) const {
    const auto found = interfaces.find(handlerId);
    return found != interfaces.end() ? found->second : nullptr;
}

// Each step looks the next interface up afresh, so a handler that adds or removes interfaces while a
// message is offered never leaves the walk on a stale entry.
bool Dispatcher::dispatch(void* msg) {
    TRACE_ENTER_FREQ("msg: %p", msg);
    bool taken = false;
    for (auto it = interfaces.begin(); it != interfaces.end() && !taken;) {
        const uint32_t handlerId = it->first;
        taken = it->second->dispatchMsg(msg);
        it = interfaces.upper_bound(handlerId);
    }
    TRACE_RETURN_FREQ("%s", taken ? "true" : "false");
    return taken;
}

void Dispatcher::attachInterfaces() {
    TRACE_ENTER("%s", "");
    for (auto it = interfaces.begin(); it != interfaces.end();) {
        const uint32_t handlerId = it->first;
        it->second->attachIf();
        it = interfaces.upper_bound(handlerId);
    }
    TRACE_RETURN("%s", "");
}

void Dispatcher::detachInterfaces() {
    TRACE_ENTER("%s", "");
    for (auto it = interfaces.begin(); it != interfaces.end();) {
        const uint32_t handlerId = it->first;
        it->second->detachIf();
        it = interfaces.upper_bound(handlerId);
    }
    TRACE_RETURN("%s", "");
}

}  // namespace Sync
