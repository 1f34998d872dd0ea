// Declaring an event or a state is one line:
//     struct INIT_CFM_EVENT : Sync::Event<INIT_CFM_EVENT> { uint32_t value = 0; };
//     struct IEPCSI_INITIATED : Sync::State<IEPCSI_INITIATED> {};
#ifndef SYNC_EVENTHANDLING_EVENT_H
#define SYNC_EVENTHANDLING_EVENT_H

#include "eventHandling/IEvent.h"
#include "eventHandling/IState.h"
#include "eventHandling/Listener.h"
#include "eventHandling/ListenerRegistry.h"
#include "eventHandling/TypeId.h"

namespace Sync {

// E is the concrete class itself; Base is IEvent for events and IState for states. A class derived
// from a concrete event shares that event's type (its listeners and its type id).
template <class E, class Base = IEvent>
class Event : public Base {
  public:
    static TypeId classTypeId() { return typeIdOf<E>(); }

    void fire() override { ListenerRegistry<E>::instance().fire(static_cast<E&>(*this)); }
    void stampTypeId() override { this->typeId = typeIdOf<E>(); }
    const char* getName() const override { return typeNameOf<E>(); }

  protected:
    Event() { this->typeId = typeIdOf<E>(); }
};

template <class S>
using State = Event<S, IState>;

}  // namespace Sync

#endif
