#ifndef SYNC_E2E_HOSTILEROAD_H
#define SYNC_E2E_HOSTILEROAD_H

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "CommandServer.h"
#include "HostileCase.h"
#include "LttngSession.h"
#include "Road.h"

namespace E2e {

// The road with two fronthaul ports and all four peers in this process, the command server included,
// the daemon's WARNING and ERROR events recorded by an LTTng session. A test then lets one peer send
// hostile bytes and checks, case by case, that nothing changed: the daemon is alive, the data plane
// got no order and the operator's `info all` reads as before.
//
// The port table holds one port whose name and interface name fill their fields without a NUL, so
// that every answer built from them shows whether the daemon read past a field.
class HostileRoad : public Road {
  public:
    static constexpr const char* kPortA = "TnPort-A";
    static constexpr const char* kFullPortName = "TnPort-FullField";         // 16 characters
    static constexpr const char* kFullInterfaceName = "eth-full-field-18c";  // 18 characters

  protected:
    HostileRoad();
    // Starts recording, the peers and the daemon, and drives the road until both outputs transmit
    // and the daemon has registered its command.
    void SetUp() override;

    uint32_t daemonId() const { return daemon_->mailboxId(); }
    // `synclumovcontrol info all` as the operator sees it, without its time stamp; empty when the
    // daemon did not answer. Messages sent to the daemon before it are handled before it.
    std::string info(std::chrono::milliseconds timeout = std::chrono::seconds(60));

    // Sends one case with send(bytes), then checks that the daemon lives, gave no order and answers
    // `info all` as before; remembers the trace the case expects.
    void run(const HostileCase& hostile, const std::function<void(const SyncTools::WireBuffer&)>& send);
    // Runs every case of a table the same way; cases shorter than a message number, which no mailbox
    // sends, go straight on the bus as sent by mailbox `from`, made by busctl.
    void runTable(const std::vector<HostileCase>& table, uint32_t from,
                  const std::function<void(const SyncTools::WireBuffer&)>& send);
    // Expects text once more among the daemon's WARNING and ERROR events (for a case run by hand).
    void expectTrace(const std::string& text) { ++expected_[text]; }

    // Takes the operator's `info all` as it reads now as the text every later case must leave alone
    // (after a test changed the road on purpose).
    void rebase();
    // Shows that the daemon still serves every peer: a port locked and unlocked again leaves and
    // re-enters the operator's printout and makes the data plane hear of it, and the quality-level
    // mode of the sync-control side reaches the data plane.
    void checkStillServes();
    // Checks that the daemon's WARNING and ERROR events are exactly those the cases expect, each as
    // many times as expected.
    void checkTraces();

    LttngSession lttng_;
    SyncTools::CommandServer command_;

  private:
    uint32_t commandPid_ = 0;
    std::string baseline_;
    std::map<std::string, int> expected_;
};

}  // namespace E2e

#endif
