#ifndef SYNC_E2E_LTTNGSESSION_H
#define SYNC_E2E_LTTNGSESSION_H

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TempDir.h"
#include "TraceRecord.h"

namespace E2e {

// An LTTng recording session of the test's own. The constructor starts a session daemon
// (`lttng-sessiond --no-kernel`, LTTNG_HOME in a fresh temporary directory) and waits, bounded,
// until it reports itself ready; the destructor destroys the session and stops that daemon by its
// pid. Typical use:
//     LttngSession lttng;
//     ASSERT_TRUE(lttng.startRecording()) << lttng.error();
//     DaemonProcess daemon({"", lttng.environment()});   // registers before its first event
//     ...
//     for (const TraceRecord& r : lttng.read()) { ... r.vpid() == daemon.pid() ... }
// Each event carries the vpid context, so a test can pick its own process's events even when
// other traced programs run meanwhile. Run as root, a session daemon keeps its sockets in the
// system-wide directory whatever LTTNG_HOME says, so only one can run at a time: when another is
// already running, ready() is false and no command is ever sent to it. Tests using this class
// share the ctest RESOURCE_LOCK "lttng".
class LttngSession {
  public:
    static constexpr const char* kProviderEvents = "com_zentrova_sync_lumov_control:*";

    LttngSession();
    ~LttngSession();
    LttngSession(const LttngSession&) = delete;
    LttngSession& operator=(const LttngSession&) = delete;

    // Whether the session daemon came up.
    bool ready() const { return sessiond_ != nullptr; }
    // Why the last step failed: the command, how it ended and what it printed.
    const std::string& error() const { return error_; }
    // What a traced child needs in its environment.
    Environment environment() const { return {{"LTTNG_HOME", home_.path()}}; }

    // Creates the session and records the events matching each pattern (at the default log level),
    // in one channel whose events carry the recording process's vpid.
    bool startRecording(const std::vector<std::string>& patterns = {kProviderEvents});
    // Stops recording, waits until every recorded event is written out, and reads them back with
    // babeltrace2, in time order; empty when that failed (then error() says why).
    std::vector<TraceRecord> read();

  private:
    bool lttng(const std::vector<std::string>& args);

    TempDir home_;
    std::unique_ptr<ChildProcess> sessiond_;
    std::string error_;
    bool created_ = false;
};

}  // namespace E2e

#endif
