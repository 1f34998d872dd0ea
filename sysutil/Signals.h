#ifndef SYNC_SYS_SIGNALS_H
#define SYNC_SYS_SIGNALS_H

namespace SyncSys {

// SIGTERM, SIGINT and SIGUSR1 (and SIGHUP for a program that reloads) as readings of a descriptor, so
// that a program's poll loop handles them between its other work (the programs that take a peer's
// place: stop, log the status, reload).
class Signals {
  public:
    // Blocks them and returns a non-blocking signalfd for them; -1 when none could be made.
    static int descriptor(bool hangUp = false);
    // The next pending signal's number, 0 when none is pending.
    static int next(int descriptor);
};

}  // namespace SyncSys

#endif
