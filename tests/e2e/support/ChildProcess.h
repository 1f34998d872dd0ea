#ifndef SYNC_E2E_CHILDPROCESS_H
#define SYNC_E2E_CHILDPROCESS_H

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ExitStatus.h"

namespace E2e {

// Variables set for a child on top of the test's own environment.
using Environment = std::map<std::string, std::string>;

// A program a test starts; it is stopped by its own pid (SIGTERM, then SIGKILL) at the latest when
// this object goes, so an assertion that fails half-way leaves nothing running. The child gets a
// clean signal state and no core dumps. Every wait is bounded by the caller's timeout.
class ChildProcess {
  public:
    struct Options {
        std::string file;               // run as posix_spawnp does: a path, or a name looked up in PATH
        std::vector<std::string> argv;  // argv[0] first; empty: just `file`
        Environment env;
        int outputFd = -1;  // receives stdout and stderr; -1: /dev/null
        int inputFd = -1;   // becomes stdin; -1: /dev/null
    };
    // Called while waiting, each time the watched descriptor is readable; true ends the wait.
    using OnReadable = std::function<bool()>;

    explicit ChildProcess(Options options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // False once the child has ended (it is reaped then).
    bool running();
    // Sends sig to the child, if it still runs.
    bool signal(int sig);

    // Waits up to timeout for the child to end and returns how it ended; nothing when the time ran
    // out or onReadable ended the wait. watchFd (with onReadable) is polled alongside the child, so
    // a test can serve a bus connection while a command it started talks to it.
    std::optional<ExitStatus> waitExit(std::chrono::milliseconds timeout, int watchFd = -1,
                                       const OnReadable& onReadable = {});
    // SIGTERM, up to grace for the end, then SIGKILL; how it ended (also when it had already ended).
    ExitStatus stop(std::chrono::milliseconds grace = std::chrono::seconds(3));

  private:
    bool reap(bool block);

    pid_t pid_ = -1;
    int pidfd_ = -1;
    std::optional<ExitStatus> status_;
};

}  // namespace E2e

#endif
