#ifndef SYNC_E2E_HOSTILEROAD_H
#define SYNC_E2E_HOSTILEROAD_H

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CommandServer.h"
#include "DaemonProcess.h"
#include "DataPlaneClient.h"
#include "HostileCase.h"
#include "LttngSession.h"
#include "PortControlServer.h"
#include "PrivateBus.h"
#include "SyncControlServer.h"
#include "TraceRecord.h"

namespace E2e {

// The daemon binary on a private bus with all four of its peers in this process, brought to a steady
// road (two fronthaul outputs transmitting), its WARNING and ERROR events recorded by an LTTng session.
// A test then lets one peer send hostile bytes and checks, case by case, that nothing changed: the
// daemon is alive, the data plane got no order and the operator's `info all` reads as before.
//
// The port table holds one port whose name and interface name fill their fields without a NUL, so
// that every answer built from them shows whether the daemon read past a field.
class HostileRoad {
  public:
    static constexpr const char* kPortA = "TnPort-A";
    static constexpr const char* kFullPortName = "TnPort-FullField";         // 16 characters
    static constexpr const char* kFullInterfaceName = "eth-full-field-18c";  // 18 characters

    HostileRoad();
    ~HostileRoad();

    // Starts recording, the peers and the daemon, and drives the road until both outputs transmit
    // and the daemon has registered its command. False with why() when a step failed.
    bool start();
    const std::string& why() const { return why_; }

    DaemonProcess& daemon() { return *daemon_; }
    uint32_t daemonId() const { return daemon_->mailboxId(); }
    SyncTools::PortControlServer& ports() { return ports_; }
    SyncTools::SyncControlServer& sync() { return sync_; }
    SyncTools::DataPlaneClient& dataPlane() { return dataPlane_; }
    SyncTools::CommandServer& command() { return command_; }

    // `synclumovcontrol info all` as the operator sees it, without its time stamp; empty when the
    // daemon did not answer. Messages sent to the daemon before it are handled before it.
    std::string info(std::chrono::milliseconds timeout = std::chrono::seconds(60));
    // Serves the three road peers until done() holds; false when the bound passes first.
    bool serveUntil(const std::function<bool()>& done,
                    std::chrono::milliseconds limit = std::chrono::seconds(60));
    // Serves the road peers until none of them receives anything for quietMs.
    void settle(int quietMs = 100);

    // Sends one case with send(bytes), then checks that the daemon lives, gave no order and answers
    // `info all` as before; remembers the trace the case expects.
    void run(const HostileCase& hostile, const std::function<void(const SyncTools::WireBuffer&)>& send);
    // Runs every case of a table the same way; cases shorter than a message number, which no mailbox
    // sends, go straight on the bus as sent by mailbox `from`.
    void runTable(const std::vector<HostileCase>& table, uint32_t from,
                  const std::function<void(const SyncTools::WireBuffer&)>& send);
    // Deliver(from, bytes) to the daemon, made by busctl on the private bus.
    void deliverRaw(uint32_t from, const std::vector<uint8_t>& bytes);
    // Expects text once more among the daemon's WARNING and ERROR events (for a case run by hand).
    void expectTrace(const std::string& text) { ++expected_[text]; }

    // Takes the operator's `info all` as it reads now as the text every later case must leave alone
    // (after a test changed the road on purpose).
    void rebase();
    // Shows that the daemon still serves every peer: a port locked and unlocked again leaves and
    // re-enters the operator's printout and makes the data plane hear of it, and the quality-level
    // mode of the sync-control side reaches the data plane.
    void checkStillServes();
    // Stops recording and checks that the daemon's WARNING and ERROR events are exactly those the
    // cases expect, each as many times as expected.
    void checkTraces();

  private:
    bool fail(const std::string& why);
    size_t ordersOf(SyncTools::DataPlaneClient::Order::Kind kind) const;

    PrivateBus bus_;
    LttngSession lttng_;
    SyncTools::PortControlServer ports_;
    SyncTools::SyncControlServer sync_;
    SyncTools::DataPlaneClient dataPlane_;
    SyncTools::CommandServer command_;
    std::unique_ptr<DaemonProcess> daemon_;
    uint32_t commandPid_ = 0;
    std::string baseline_;
    std::map<std::string, int> expected_;
    std::string why_;
};

}  // namespace E2e

#endif
