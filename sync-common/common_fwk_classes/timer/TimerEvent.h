#ifndef SYNC_COMMON_TIMEREVENT_H
#define SYNC_COMMON_TIMEREVENT_H

#include "eventHandling/Event.h"

namespace Sync {

class IEntity;

namespace Control {

class TimerEvent {
  public:
    // One expiry of a timer. The timer is the source; subject is the entity the timer reports as
    // the timeout's subject (the timer itself unless a subclass says otherwise).
    struct TIMEOUT_EVENT : Event<TIMEOUT_EVENT> {
        explicit TIMEOUT_EVENT(IEntity* subject = nullptr) : subject(subject) {}
        IEntity* subject;
    };
};

}  // namespace Control
}  // namespace Sync

#endif
