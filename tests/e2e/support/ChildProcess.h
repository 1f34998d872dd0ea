#ifndef SYNC_E2E_CHILDPROCESS_H
#define SYNC_E2E_CHILDPROCESS_H

#include <sys/types.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ExitStatus.h"

namespace E2e {

// Variables set for a child on top of the test's own environment.
using Environment = std::map<std::string, std::string>;

// A program a test starts; it is stopped by its own pid (SIGTERM, then SIGKILL) at the latest when
// this object goes, so an assertion that fails half-way leaves nothing running. The child gets a
// clean signal state and no core dumps; what it writes is kept for output(). Every wait is bounded
// by the caller's timeout.
class ChildProcess {
  public:
    struct Options {
        Options(std::vector<std::string> argv = {}, Environment env = {}, int outputFd = -1, int inputFd = -1,
                std::string file = {})
            : argv(std::move(argv)),
              env(std::move(env)),
              outputFd(outputFd),
              inputFd(inputFd),
              file(std::move(file)) {}
        std::vector<std::string> argv;  // argv[0] is run as posix_spawnp does: a path or a name in PATH
        Environment env;
        int outputFd;      // receives stdout and stderr; -1: output()
        int inputFd;       // becomes stdin; -1: /dev/null
        std::string file;  // run instead of argv[0], which the child then only sees
    };
    // Called while waiting, each time the watched descriptor is readable; true ends the wait.
    using OnReadable = std::function<bool()>;
    // How a command run to completion ended.
    struct Result {
        std::optional<ExitStatus> status;  // nothing: it did not end in time
        std::string output;                // stdout and stderr as written
        bool succeeded() const { return status && *status == ExitStatus::exitedWith(0); }
        // The command line, how it ended and what it wrote, for assertion messages.
        std::string describe(const std::vector<std::string>& argv) const;
    };

    explicit ChildProcess(Options options);
    ChildProcess(std::vector<std::string> argv, Environment env = {})
        : ChildProcess(Options{std::move(argv), std::move(env)}) {}
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // A tool (busctl, ip, tshark) run to completion, stopped by its pid when it overruns. While it
    // runs, onReadable is called whenever watchFd is readable (its result is ignored), so the test
    // can answer calls the command makes.
    static Result run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                      const Environment& env = {}, int watchFd = -1, const OnReadable& onReadable = {});

    // What is left of the time until deadline, in whole milliseconds (0 once it passed), for poll().
    static int millisecondsLeft(std::chrono::steady_clock::time_point deadline);

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // False once the child has ended (it is reaped then).
    bool running();
    // Sends sig to the child, if it still runs.
    bool signal(int sig);
    // What the child wrote to stdout and stderr so far (sanitizer reports end up here).
    std::string output() const;
    // The user and system CPU seconds the child has used so far (0 once it was reaped).
    double cpuSeconds() const;

    // Waits up to timeout for the child to end and returns how it ended; nothing when the time ran
    // out or onReadable ended the wait. watchFd (with onReadable) is polled alongside the child, so
    // a test can serve a bus connection while a command it started talks to it.
    std::optional<ExitStatus> waitExit(std::chrono::milliseconds timeout, int watchFd = -1,
                                       const OnReadable& onReadable = {});
    // SIGTERM, up to grace for the end, then SIGKILL; how it ended (also when it had already ended).
    ExitStatus stop(std::chrono::milliseconds grace = std::chrono::seconds(3));
    // SIGKILL, and the end reaped: how it ended.
    ExitStatus kill() { return stop(std::chrono::milliseconds(0)); }

  private:
    bool reap(bool block);

    std::FILE* output_ = std::tmpfile();  // anonymous: the system removes it once closed
    pid_t pid_ = -1;
    int pidfd_ = -1;
    std::optional<ExitStatus> status_;
};

}  // namespace E2e

#endif
