#ifndef SYNC_E2E_DAEMONPROCESS_H
#define SYNC_E2E_DAEMONPROCESS_H

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "BusClient.h"
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
        Options(std::string argv0 = {}, Environment env = {});
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
    static std::string defaultBinary();

    explicit DaemonProcess(Options options = {});

    // Waits until this very process owns the published service name and its mailbox answers Id(),
    // which it does once start-up is over and its loop runs. False when the daemon ended first or
    // timeout passed. The bounds here are generous: a sanitized daemon on a loaded machine is slow.
    bool waitUntilReady(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // The mailbox id learnt by waitUntilReady(); TAVI_NO_ID before.
    uint32_t mailboxId() const { return mailboxId_; }
    // What the daemon answers to Id() now; nothing when it does not answer within timeout.
    std::optional<uint32_t> askId(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // A view of the daemon's bus from outside (names, owners, pids).
    BusClient& bus() { return bus_; }

  private:
    BusClient bus_;
    uint32_t mailboxId_;
};

}  // namespace E2e

#endif
