#ifndef SYNC_EVENTHANDLING_IDLE_H
#define SYNC_EVENTHANDLING_IDLE_H

#include "eventHandling/Event.h"

namespace Sync {

// Every entity is in IDLE in every automaton until a transition sets another state.
struct IDLE : State<IDLE> {
    // The one instance an entity's state map points at before any transition.
    static IDLE& instance();
};

}  // namespace Sync

#endif
