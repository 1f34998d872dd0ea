#ifndef SYNC_E2E_COMMAND_H
#define SYNC_E2E_COMMAND_H

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "ExitStatus.h"

namespace E2e {

// A command-line tool (busctl, lttng, babeltrace2) run to completion with a bounded wait; a command
// that overruns is stopped by its pid.
class Command {
  public:
    struct Result {
        std::optional<ExitStatus> status;  // nothing: it did not end in time
        std::string output;                // stdout and stderr as written
        bool succeeded() const { return status && *status == ExitStatus::exitedWith(0); }
        // The command line, how it ended and what it wrote, for assertion messages.
        std::string describe(const std::vector<std::string>& argv) const;
    };

    // Runs argv (argv[0] looked up in PATH). While it runs, onReadable is called whenever watchFd
    // is readable (its result is ignored), so the test can answer calls the command makes.
    static Result run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                      const Environment& env = {}, int watchFd = -1,
                      const ChildProcess::OnReadable& onReadable = {});
};

}  // namespace E2e

#endif
