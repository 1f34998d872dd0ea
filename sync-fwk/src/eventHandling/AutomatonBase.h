#ifndef SYNC_EVENTHANDLING_AUTOMATONBASE_H
#define SYNC_EVENTHANDLING_AUTOMATONBASE_H

#include <cstddef>
#include <map>
#include <memory>
#include <utility>

#include "eventHandling/IState.h"
#include "eventHandling/MemberFunctionActionWithParam.h"
#include "eventHandling/MemberFunctionActionWithSource.h"
#include "eventHandling/PolymorphAction.h"
#include "eventHandling/PolymorphListener.h"
#include "eventHandling/StateListener.h"
#include "eventHandling/TypeId.h"

namespace Sync {

// A state machine whose states are kept per entity (the Source) and whose actions are member
// functions of its Owner (an EventHandler: its id keys the entities' states). A concrete automaton
// lists its transitions in defineTransitions, one line each:
//
//     void defineTransitions() override {
//         addTransition<INIT_CFM_EVENT, IDLE, IEPCSI_INITIATED>();
//         addTransition<SERVER_DOWN_EVENT, IEPCSI_INITIATED, IDLE>(&ModelHandler::handleServerDown);
//         addTransition<SUBSCRIBE_EVENT, IDLE, IDLE>(&Handler::setMyEntity, &Handler::subscribe);
//     }
//
// and its owner calls start() once it is built. An action or guard is a member function of Owner
// taking Source* (the raising entity) or E* (the event with its data), a ready PolymorphAction, or
// nullptr.
template <class Owner, class Source>
class AutomatonBase {
  public:
    explicit AutomatonBase(Owner* owner) : owner(owner) {}
    // Deletes the state listeners, each of which stops listening and deletes its transition objects.
    virtual ~AutomatonBase() = default;
    AutomatonBase(const AutomatonBase&) = delete;
    AutomatonBase& operator=(const AutomatonBase&) = delete;

    virtual void defineTransitions() = 0;

    // defineTransitions, then every state listener starts listening, in ascending event type id order.
    void start() {
        defineTransitions();
        for (auto& entry : listeners) {
            entry.second->startListening();
        }
    }

    Owner* getOwner() const { return owner; }
    size_t getListenerCount() const { return listeners.size(); }

  protected:
    using SourceFunction = bool (Owner::*)(Source*);
    template <class E>
    using EventFunction = bool (Owner::*)(E*);

    template <class E, class From, class To>
    void addTransition() {
        defineTransition<E, From, To>(nullptr, nullptr);
    }

    template <class E, class From, class To, class Action>
    void addTransition(Action action) {
        defineTransition<E, From, To>(nullptr, makeAction<E>(std::move(action)));
    }

    template <class E, class From, class To, class Guard, class Action>
    void addTransition(Guard guard, Action action) {
        defineTransition<E, From, To>(makeAction<E>(std::move(guard)), makeAction<E>(std::move(action)));
    }

    template <class E, class From, class To>
    void defineTransition(std::unique_ptr<PolymorphAction> guard, std::unique_ptr<PolymorphAction> action) {
        listenerFor<E>().addTransition(typeIdOf<From>(), std::make_unique<To>(), std::move(guard),
                                       std::move(action));
    }

    // The automaton's listener for E, created on first use with the owner's id as automaton key.
    template <class E>
    StateListener<E>& listenerFor() {
        std::unique_ptr<PolymorphListener>& slot = listeners[typeIdOf<E>()];
        if (!slot) {
            slot = std::make_unique<StateListener<E>>(owner->getId());
        }
        return static_cast<StateListener<E>&>(*slot);
    }

    template <class E>
    std::unique_ptr<PolymorphAction> makeAction(SourceFunction function) {
        if (function == nullptr) {
            return nullptr;
        }
        return std::make_unique<MemberFunctionActionWithSource<Owner, Source>>(owner, function);
    }

    template <class E>
    std::unique_ptr<PolymorphAction> makeAction(EventFunction<E> function) {
        if (function == nullptr) {
            return nullptr;
        }
        return std::make_unique<MemberFunctionActionWithParam<Owner, E>>(owner, function);
    }

    template <class E>
    std::unique_ptr<PolymorphAction> makeAction(std::nullptr_t) {
        return nullptr;
    }

    template <class E>
    std::unique_ptr<PolymorphAction> makeAction(std::unique_ptr<PolymorphAction> action) {
        return action;
    }

  private:
    Owner* owner;
    std::map<TypeId, std::unique_ptr<PolymorphListener>> listeners;
};

}  // namespace Sync

#endif
