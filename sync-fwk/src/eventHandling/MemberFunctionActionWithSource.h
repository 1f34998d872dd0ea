#ifndef SYNC_EVENTHANDLING_MEMBERFUNCTIONACTIONWITHSOURCE_H
#define SYNC_EVENTHANDLING_MEMBERFUNCTIONACTIONWITHSOURCE_H

#include "eventHandling/IEntity.h"
#include "eventHandling/PolymorphAction.h"
#include "eventHandling/PolymorphEvent.h"

namespace Sync {

// Calls owner->function(source): the event's source as a Source, or null when the source is of
// another type.
template <class Owner, class Source>
class MemberFunctionActionWithSource : public PolymorphAction {
  public:
    using Function = bool (Owner::*)(Source*);

    MemberFunctionActionWithSource(Owner* owner, Function function) : owner(owner), function(function) {}

    bool execute(PolymorphEvent& event) override {
        return (owner->*function)(dynamic_cast<Source*>(event.getSource()));
    }

  private:
    Owner* owner;
    Function function;
};

}  // namespace Sync

#endif
