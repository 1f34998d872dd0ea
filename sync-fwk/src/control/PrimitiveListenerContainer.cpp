#include "control/PrimitiveListenerContainer.h"

#include <algorithm>

#include "control/BasePrimitive.h"
#include "control/MessageHandler.h"

namespace Sync {

PrimitiveListenerContainer::PrimitiveListenerContainer(BasePrimitive* owned) : primitive(owned) {}

PrimitiveListenerContainer::~PrimitiveListenerContainer() {
    removeListeners();
    delete primitive;
}

bool PrimitiveListenerContainer::addListener(MessageHandler* handler) {
    if (std::find(listeners.begin(), listeners.end(), handler) != listeners.end())
        return false;
    listeners.push_back(handler);
    return true;
}

void PrimitiveListenerContainer::removeListeners() {
    while (!listeners.empty()) {
        MessageHandler* last = listeners.back();
        listeners.pop_back();
        delete last;
    }
}

void PrimitiveListenerContainer::notify(BasePrimitive* target, uint32_t senderPid) {
    for (size_t i = 0; i < listeners.size(); ++i)
        listeners[i]->handle(target, senderPid);
}

}  // namespace Sync
