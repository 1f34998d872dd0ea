#ifndef SYNC_EVENTHANDLING_STATELISTENER_H
#define SYNC_EVENTHANDLING_STATELISTENER_H

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "eventHandling/IEntity.h"
#include "eventHandling/IState.h"
#include "eventHandling/Listener.h"
#include "eventHandling/PolymorphAction.h"
#include "eventHandling/PolymorphListener.h"
#include "eventHandling/TypeId.h"

namespace Sync {

// One automaton's reaction to event type E: looks up the raising entity's state in that automaton
// (automatonKey) and applies the transition defined for it. Owns the transitions' target states,
// guards and actions.
template <class E>
class StateListener : public PolymorphListener, public Listener<E> {
  public:
    explicit StateListener(uint32_t automatonKey) : automatonKey(automatonKey) {}
    ~StateListener() override { Listener<E>::stopListening(); }

    void startListening() override { Listener<E>::startListening(); }
    void stopListening() override { Listener<E>::stopListening(); }

    void onEvent(PolymorphEvent& event) override {
        if (event.getTypeId() == typeIdOf<E>()) {
            onEvent(static_cast<E&>(event));
        }
    }

    void onEvent(E& event) override {
        IEntity* source = event.getSource();
        if (source == nullptr) {
            return;
        }
        const Transition* transition = find(source->getState(automatonKey)->getTypeId());
        if (transition == nullptr) {
            return;
        }
        if (transition->guard && !transition->guard->execute(event)) {
            return;
        }
        source->setState(automatonKey, transition->nextState.get());
        // The action sees the new state and may raise further events; nothing of this listener is
        // touched after it, since a reaction may end the automaton.
        if (transition->action) {
            transition->action->execute(event);
        }
    }

    // Enters from -> {next, guard, action}. A second entry for the same source state keeps the first
    // (and the objects given with the second are deleted).
    void addTransition(TypeId from, std::unique_ptr<IState> next, std::unique_ptr<PolymorphAction> guard,
                       std::unique_ptr<PolymorphAction> action) {
        auto it = std::lower_bound(transitions.begin(), transitions.end(), from,
                                   [](const Transition& t, TypeId id) { return t.from < id; });
        if (it != transitions.end() && it->from == from) {
            return;
        }
        transitions.insert(it, Transition{from, std::move(next), std::move(guard), std::move(action)});
    }

    uint32_t getAutomatonKey() const { return automatonKey; }
    size_t getTransitionCount() const { return transitions.size(); }

  private:
    struct Transition {
        TypeId from;
        std::unique_ptr<IState> nextState;
        std::unique_ptr<PolymorphAction> guard;
        std::unique_ptr<PolymorphAction> action;
    };

    const Transition* find(TypeId from) const {
        auto it = std::lower_bound(transitions.begin(), transitions.end(), from,
                                   [](const Transition& t, TypeId id) { return t.from < id; });
        return (it != transitions.end() && it->from == from) ? &*it : nullptr;
    }

    uint32_t automatonKey;
    std::vector<Transition> transitions;
};

}  // namespace Sync

#endif
