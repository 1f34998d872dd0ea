#ifndef SYNC_EVENTHANDLING_POLYMORPHEVENT_H
#define SYNC_EVENTHANDLING_POLYMORPHEVENT_H

#include "eventHandling/TypeId.h"

namespace Sync {

class IEntity;

// Root of every event and state. An event is built by whoever raises it (on the stack or in the
// heap); raising it does not take ownership.
class PolymorphEvent {
  public:
    // Tells every listener of this event's type, in registration order.
    virtual void fire() = 0;
    virtual ~PolymorphEvent();
    virtual void stampTypeId() = 0;
    // The event's unqualified class name, for traces and printouts.
    virtual const char* getName() const = 0;

    IEntity* getSource() const { return source; }
    void setSource(IEntity* entity) { source = entity; }
    TypeId getTypeId() const { return typeId; }

  protected:
    PolymorphEvent() = default;
    PolymorphEvent(const PolymorphEvent&) = default;
    PolymorphEvent& operator=(const PolymorphEvent&) = default;

    IEntity* source = nullptr;
    TypeId typeId = nullptr;
};

}  // namespace Sync

#endif
