#ifndef SYNC_EVENTHANDLING_LISTENER_H
#define SYNC_EVENTHANDLING_LISTENER_H

#include "eventHandling/ListenerRegistry.h"

namespace Sync {

// Hears every raise of event type E while it listens, whoever raised it.
template <class E>
class Listener {
  public:
    Listener() = default;
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    virtual ~Listener() {
        if (registered || inCallback || ListenerRegistry<E>::instance().isDispatching()) {
            ListenerRegistry<E>::instance().forget(this);
        }
    }

    virtual void onEvent(E& event) = 0;

    // Takes effect at once, or when the running dispatch of E ends.
    void startListening() {
        if (registered) {
            return;
        }
        ListenerRegistry<E>::instance().add(this);
        registered = true;
    }

    void stopListening() {
        if (!registered) {
            return;
        }
        ListenerRegistry<E>::instance().remove(this);
        registered = false;
    }

    bool isListening() const { return registered; }
    bool isInCallback() const { return inCallback; }

  private:
    friend class ListenerRegistry<E>;
    bool registered = false;
    bool inCallback = false;
};

}  // namespace Sync

#endif
