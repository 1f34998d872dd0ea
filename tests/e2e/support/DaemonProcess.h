#ifndef SYNC_E2E_DAEMONPROCESS_H
#define SYNC_E2E_DAEMONPROCESS_H

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"

namespace E2e {

// The daemon binary run as a child of the test, on the bus of TAVI_BUS_ADDRESS (the test's own
// environment, or Options::env). Typical use:
//     DaemonProcess daemon({"/any/dir/sync-lumov-control", lttng.environment()});
//     ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();
//     ... deliver to daemon.mailboxId(), watch the bus or the trace ...
class DaemonProcess : public ChildProcess {
  public:
    // The name the daemon publishes last while it starts.
    static constexpr const char* kServiceBusName = "org.tavi.Service.sync.SyncLumovControl";

    struct Options {
        Options(std::string argv0 = {}, Environment env = {})
            : argv0(std::move(argv0)), env(std::move(env)), binary(defaultBinary()) {}
        std::string argv0;   // empty: the binary's own path
        Environment env;     // e.g. LTTNG_HOME of an LttngSession
        std::string binary;  // the daemon built with these tests unless changed
        // A program the daemon runs under, with its arguments (valgrind and its options, say): the
        // wrapper is started with the daemon's path appended and must run it in the same process,
        // as valgrind does, since readiness is the published name owned by this very pid. Empty:
        // the daemon runs on its own. argv0 does not apply under a wrapper.
        std::vector<std::string> wrapper;
    };
    // The daemon built with these tests.
    static std::string defaultBinary() { return SYNC_DAEMON_PATH; }

    explicit DaemonProcess(Options options = {});

    // Waits until its mailbox answers Id(), which it does once start-up is over and its loop runs,
    // and this very process owns the published service name. False when the daemon ended first or
    // timeout passed. The bounds here are generous: a sanitized daemon on a loaded machine is slow.
    bool waitUntilReady(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // The mailbox id learnt by waitUntilReady(); TAVI_NO_ID before.
    uint32_t mailboxId() const { return mailboxId_; }

    // The daemon's bus from outside, as busctl sees it: the unique name (":1.7") owning busName, empty
    // when none; the pid of the process owning busName, -1 when none; the daemon's answer to Id() now.
    std::string ownerOf(const std::string& busName) const;
    pid_t processOf(const std::string& busName) const;
    std::optional<uint32_t> askId() const;

  private:
    // What `busctl call` with these arguments printed after the type letter; empty when it failed.
    std::string call(const std::vector<std::string>& args) const;

    std::string address_;
    std::string mailboxName_;
    uint32_t mailboxId_;
};

}  // namespace E2e

#endif
