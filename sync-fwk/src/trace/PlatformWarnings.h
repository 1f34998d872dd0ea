// The mailbox library reports its own problems through a callback; the daemon sends them to its
// WARNING trace so that they land next to its own diagnostics (and in syslog).
#ifndef SYNC_TRACE_PLATFORMWARNINGS_H
#define SYNC_TRACE_PLATFORMWARNINGS_H

namespace Sync {

void routePlatformWarnings();

}  // namespace Sync

#endif
