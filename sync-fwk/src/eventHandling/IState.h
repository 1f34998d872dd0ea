#ifndef SYNC_EVENTHANDLING_ISTATE_H
#define SYNC_EVENTHANDLING_ISTATE_H

#include "eventHandling/IEvent.h"

namespace Sync {

// A state is an event class too, with its own listener registry. Only its class matters: two state
// objects of one class are the same state. Concrete states derive from State<Self>.
class IState : public IEvent {
  protected:
    IState() = default;
};

}  // namespace Sync

#endif
