#ifndef SYNC_SYS_SUPERVISOR_H
#define SYNC_SYS_SUPERVISOR_H

#include <chrono>
#include <string>

namespace SyncSys {

// What the service manager learns of a program through its notification socket: that the program
// serves, one line of how it is, that it is alive, that it is going. Without NOTIFY_SOCKET (tests,
// the demo, a shell) every call does nothing.
class Supervisor {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;

    // Reads whether the manager wants keep-alives and how often.
    Supervisor();

    void ready();
    // The status line; sent only when it differs from the last one sent.
    void status(const std::string& line);
    void stopping();
    // Sends a keep-alive when one is due at `now`; when the next one is due (TimePoint::max() when
    // the manager watches nothing). Keep-alives go at half the manager's watchdog interval.
    TimePoint keepAlive(TimePoint now);

  private:
    static void notify(const std::string& state);

    std::chrono::microseconds interval_{0};
    TimePoint nextKeepAlive_ = TimePoint::min();
    std::string status_;
};

}  // namespace SyncSys

#endif
