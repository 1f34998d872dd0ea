#ifndef SYNC_EVENTHANDLING_POLYMORPHLISTENER_H
#define SYNC_EVENTHANDLING_POLYMORPHLISTENER_H

namespace Sync {

class PolymorphEvent;

// A listener whose event type is not known to its holder (an automaton keeps its state listeners so).
class PolymorphListener {
  public:
    virtual ~PolymorphListener();
    virtual void stopListening() = 0;
    virtual void startListening() = 0;
    // Ignores events of another type than the listener's.
    virtual void onEvent(PolymorphEvent& event) = 0;
};

}  // namespace Sync

#endif
