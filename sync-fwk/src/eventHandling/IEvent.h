#ifndef SYNC_EVENTHANDLING_IEVENT_H
#define SYNC_EVENTHANDLING_IEVENT_H

#include "eventHandling/PolymorphEvent.h"

namespace Sync {

// Base of all concrete events. Concrete events derive from Event<Self> (eventHandling/Event.h).
class IEvent : public PolymorphEvent {
  protected:
    IEvent() = default;
};

}  // namespace Sync

#endif
