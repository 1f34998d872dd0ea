#ifndef SYNC_EVENTHANDLING_POLYMORPHACTION_H
#define SYNC_EVENTHANDLING_POLYMORPHACTION_H

namespace Sync {

class PolymorphEvent;

// A transition's action or guard. As a guard, false refuses the transition; as an action the result
// is ignored.
class PolymorphAction {
  public:
    virtual ~PolymorphAction();
    virtual bool execute(PolymorphEvent& event) = 0;
};

}  // namespace Sync

#endif
