#ifndef SYNC_E2E_LTTNGSESSION_H
#define SYNC_E2E_LTTNGSESSION_H

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "CapturedOutput.h"
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
//     ASSERT_TRUE(lttng.stop()) << lttng.error();
//     for (const TraceRecord& r : lttng.read()) { ... r.vpid() == daemon.pid() ... }
// Each event carries the vpid context, so a test can pick its own process's events even when
// other traced programs run meanwhile. Run as root, a session daemon keeps its sockets in the
// system-wide directory whatever LTTNG_HOME says, so only one can run at a time: when another is
// already running, ready() is false and no command is ever sent to it. Tests using this class
// share the ctest RESOURCE_LOCK "lttng".
class LttngSession {
  public:
    static constexpr const char* kProviderEvents = "com_zentrova_sync_lumov_control:*";

    explicit LttngSession(std::string name = "sync-e2e",
                          std::chrono::milliseconds startTimeout = std::chrono::seconds(60));
    ~LttngSession();
    LttngSession(const LttngSession&) = delete;
    LttngSession& operator=(const LttngSession&) = delete;

    // Whether the session daemon came up.
    bool ready() const { return sessiond_ != nullptr; }
    // Why the last step failed: the command, how it ended and what it printed.
    const std::string& error() const { return error_; }
    // What a traced child needs in its environment.
    Environment environment() const;
    // Where the session writes its trace.
    std::string outputDirectory() const { return home_.file("trace"); }

    // The steps, each one `lttng` command with a bounded wait.
    bool create();
    // Enables the events matching pattern (all of them at the default log level), in the session's
    // one channel, whose events carry the recording process's vpid.
    bool enableEvents(const std::string& pattern = kProviderEvents);
    bool start();
    // Stops recording and waits until every recorded event is written out.
    bool stop();
    bool destroy();
    // create(), enableEvents() of the daemon's provider, start().
    bool startRecording();

    // The recorded events in time order, read back with babeltrace2 (call after stop()). Empty when
    // nothing was recorded or babeltrace2 failed (then error() says why).
    std::vector<TraceRecord> read();

  private:
    bool startDaemon(std::chrono::milliseconds timeout);
    bool lttng(const std::vector<std::string>& args);

    std::string name_;
    TempDir home_;
    CapturedOutput sessiondOutput_;
    std::unique_ptr<ChildProcess> sessiond_;
    std::string error_;
    bool created_ = false;
    bool channel_ = false;
};

}  // namespace E2e

#endif
