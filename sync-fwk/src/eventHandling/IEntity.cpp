#include "eventHandling/IEntity.h"

#include <algorithm>

#include "eventHandling/IDLE.h"
#include "eventHandling/PolymorphEvent.h"

namespace Sync {
namespace {

using StateSlot = std::pair<uint32_t, IState*>;

bool keyBelow(const StateSlot& slot, uint32_t key) {
    return slot.first < key;
}

}  // namespace

IEntity::~IEntity() = default;

void IEntity::sendEvent(PolymorphEvent& event) {
    event.setSource(this);
    event.fire();
}

IState* IEntity::getState(uint32_t automatonKey) {
    auto it = std::lower_bound(states.begin(), states.end(), automatonKey, keyBelow);
    if (it != states.end() && it->first == automatonKey) {
        return it->second;
    }
    IState* idle = &IDLE::instance();
    states.insert(it, StateSlot(automatonKey, idle));
    return idle;
}

void IEntity::setState(uint32_t automatonKey, IState* state) {
    if (state == nullptr) {
        return;
    }
    IState* current = getState(automatonKey);
    if (current->getTypeId() == state->getTypeId()) {
        return;
    }
    auto it = std::lower_bound(states.begin(), states.end(), automatonKey, keyBelow);
    it->second = state;
}

TypeId IEntity::stateTypeId(uint32_t automatonKey) {
    return getState(automatonKey)->getTypeId();
}

}  // namespace Sync
