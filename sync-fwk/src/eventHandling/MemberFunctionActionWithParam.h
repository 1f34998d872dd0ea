#ifndef SYNC_EVENTHANDLING_MEMBERFUNCTIONACTIONWITHPARAM_H
#define SYNC_EVENTHANDLING_MEMBERFUNCTIONACTIONWITHPARAM_H

#include "eventHandling/PolymorphAction.h"
#include "eventHandling/PolymorphEvent.h"

namespace Sync {

// Calls owner->function(event) with the event as an E, so the function can read the event's data.
template <class Owner, class E>
class MemberFunctionActionWithParam : public PolymorphAction {
  public:
    using Function = bool (Owner::*)(E*);

    MemberFunctionActionWithParam(Owner* owner, Function function) : owner(owner), function(function) {}

    bool execute(PolymorphEvent& event) override { return (owner->*function)(dynamic_cast<E*>(&event)); }

  private:
    Owner* owner;
    Function function;
};

}  // namespace Sync

#endif
