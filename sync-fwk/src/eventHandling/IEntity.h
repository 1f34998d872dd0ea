#ifndef SYNC_EVENTHANDLING_IENTITY_H
#define SYNC_EVENTHANDLING_IENTITY_H

#include <cstdint>
#include <utility>
#include <vector>

#include "eventHandling/TypeId.h"

namespace Sync {

class IState;
class PolymorphEvent;

// Something that raises events and has a state in each automaton that reacts to them. The state
// objects belong to the automata's state listeners (or are the shared IDLE); the entity owns none.
class IEntity {
  public:
    IEntity() = default;
    IEntity(const IEntity&) = default;
    IEntity& operator=(const IEntity&) = default;
    virtual ~IEntity();

    // Makes this entity the event's source and tells every listener of the event's type.
    virtual void sendEvent(PolymorphEvent& event);
    // For events built in the call: entity.sendEvent(SOME_EVENT()).
    void sendEvent(PolymorphEvent&& event) { sendEvent(event); }

    // The state in automaton automatonKey; records and returns IDLE when none is recorded yet.
    IState* getState(uint32_t automatonKey);
    // Records state unless the current state is of the same class.
    void setState(uint32_t automatonKey, IState* state);

    template <class S>
    bool isInState(uint32_t automatonKey) {
        return stateTypeId(automatonKey) == typeIdOf<S>();
    }

  private:
    TypeId stateTypeId(uint32_t automatonKey);

    // Kept sorted by key: an entity takes part in a handful of automata.
    std::vector<std::pair<uint32_t, IState*>> states;
};

}  // namespace Sync

#endif
