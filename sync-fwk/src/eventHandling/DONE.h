#ifndef SYNC_EVENTHANDLING_DONE_H
#define SYNC_EVENTHANDLING_DONE_H

#include "eventHandling/Event.h"

namespace Sync {

// A final state for automata whose entities are finished with.
struct DONE : State<DONE> {};

}  // namespace Sync

#endif
