#ifndef SYNC_SYS_SERVICELOOP_H
#define SYNC_SYS_SERVICELOOP_H

#include <poll.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "Options.h"
#include "Signals.h"
#include "Supervisor.h"

namespace SyncSys {

// The main loop of the node's service programs: one wait on the program's bus connection, its
// signals and whatever descriptors it registers, until one of them turns readable or something is
// due (the program's next timer, the bus library's own next timeout, the watchdog's keep-alive).
// Nothing else wakes it: idle, a program sleeps.
//
// SIGTERM and SIGINT end it with EXIT_STOPPED, SIGUSR1 logs the program's status, SIGHUP reloads (for
// a program that can). A broken bus connection, or a bus connection the program closed and could
// not open again, ends it with EXIT_FAILED: off the bus a service serves nobody, and its supervisor
// should know. The service manager hears READY=1 when the loop starts, the program's status line
// whenever it changes (with a refused reload's reason while it stands), keep-alives while the
// watchdog is on and STOPPING=1 on the way out.
class ServiceLoop {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;

    // The program's mailbox as the loop sees it.
    struct Bus {
        std::function<int()> fd;         // -1 while closed
        std::function<int()> timeoutMs;  // until the bus library's next own timeout; -1 for none
        std::function<void()> process;   // handles whatever the mailbox holds
    };
    // Any mailbox peer of the node's programs.
    template <typename Peer>
    static Bus busOf(Peer& peer) {
        return Bus{[&peer] { return peer.fd(); }, [&peer] { return peer.timeoutMs(); },
                   [&peer] { peer.processPending(0); }};
    }

    // Adds to a service program's --help what every one shares: its bus, its exit statuses.
    static void describe(Options& options);

    // Blocks the signals at once, so that none kills the program while it starts.
    ServiceLoop();

    // What the program does after every wake-up; when it wants to run again (TimePoint::max(): only
    // when something arrives). Asked once before the first wait.
    void onWork(std::function<TimePoint()> work) { work_ = std::move(work); }
    // The status printout of SIGUSR1, one log line each.
    void onStatus(std::function<std::vector<std::string>()> status) { status_ = std::move(status); }
    // The service manager's one-line status, asked after every wake-up.
    void onSummary(std::function<std::string()> summary) { summary_ = std::move(summary); }
    // SIGHUP: read the configuration again; the errors that kept it from being taken (none when it
    // was). Refused, the configuration in use stays: each error is logged, and the first stays in the
    // status line until a reload is taken. Without it SIGHUP keeps its default action.
    void onReload(std::function<std::vector<std::string>()> reload);
    // Descriptors beside the bus, asked for before every wait (a program's set may change); when
    // any of them turns ready for `events` (readable by default; hang-up and errors always count),
    // onReady runs.
    void watch(std::function<std::vector<int>()> descriptors, std::function<void()> onReady,
               short events = POLLIN);

    // Serves until a stop signal or the loss of the bus; the exit status.
    int run(const Bus& bus);
    // The same for a program that holds no mailbox of its own for long (its bus connections, while
    // it has them, are among the watched descriptors): it serves until a stop signal.
    int run();

  private:
    struct Watch {
        std::function<std::vector<int>()> descriptors;
        std::function<void()> onReady;
        short events;
    };

    // run() with the bus, or without one (null).
    int serve(const Bus* bus);

    // The program's work, the status line and the keep-alive; when the loop is due next.
    TimePoint work();
    // The descriptors of the next wait: signals, bus (unless -1), then the watched ones.
    void gather(int busFd);
    // Runs the watches whose descriptors turned ready, each once.
    void dispatchWatches();
    // Handles pending signals; whether one asked to stop.
    bool handleSignals();
    int finish(int status);

    Signals signals_;
    Supervisor supervisor_;
    std::function<TimePoint()> work_;
    std::function<std::vector<std::string>()> status_;
    std::function<std::string()> summary_;
    std::function<std::vector<std::string>()> reload_;
    std::string refused_;  // why the last reload was refused; empty once one was taken
    std::vector<Watch> watches_;
    std::vector<pollfd> fds_;
    size_t firstWatched_ = 0;      // where the watched descriptors start in fds_
    std::vector<size_t> watchOf_;  // for each watched descriptor, its watch
};

}  // namespace SyncSys

#endif
