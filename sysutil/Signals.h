#ifndef SYNC_SYS_SIGNALS_H
#define SYNC_SYS_SIGNALS_H

namespace SyncSys {

// SIGTERM, SIGINT and SIGUSR1 (and SIGHUP for a program that reloads) as readings of a descriptor,
// so that a program's loop handles them between its other work. They stay blocked for good: one that
// arrives while the program shuts down must not kill it on the way out.
class Signals {
  public:
    Signals();
    ~Signals();
    Signals(const Signals&) = delete;
    Signals& operator=(const Signals&) = delete;

    // Takes SIGHUP as well; without it SIGHUP keeps its default action.
    void catchHangUp();
    // A non-blocking signal descriptor; -1 when none could be made (errno says why).
    int fd() const { return fd_; }
    // The next pending signal's number, 0 when none is pending.
    int next();

  private:
    void watch(bool hangUp);

    int fd_ = -1;
};

}  // namespace SyncSys

#endif
