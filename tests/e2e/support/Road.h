#ifndef SYNC_E2E_ROAD_H
#define SYNC_E2E_ROAD_H

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "DaemonProcess.h"
#include "DataPlaneRecorder.h"
#include "FronthaulScript.h"
#include "PrivateBus.h"
#include "ServerRecorder.h"

namespace E2e {

// The daemon binary on a private bus with its simulated peers, driven by bringUp() to the configured
// state: every fronthaul port of the table subscribed, REC created, quality ePRTC under option I, the
// data-plane client connected and told to create one output per fronthaul port, each transmitting
// SSM 0x2 with enhanced code 0x21 and ESMC off (selection process mode still QL_DISABLED).
//
// Every peer runs in this process, except one a test names to bringUp(), which runs in a PeerHost
// process so that it can be killed with SIGKILL; its pointer here stays null until the test opens a
// replacement. Every wait serves the peers of this process until its condition holds or its bound
// passes. At the end the daemon must have run without a crash or a sanitizer report.
class Road : public ::testing::Test {
  public:
    enum class Peer { NONE, PORTS, SYNC, DATA_PLANE, COMMANDS };
    using Order = SyncPeers::DataPlaneClient::Order;

    // The references the data-plane client connects with; every request of the daemon carries the
    // connection reference back.
    static constexpr uint32_t kClientProcedureReference = 0x7;
    static constexpr uint32_t kClientConnectionReference = 0x5EC11E01;

  protected:
    explicit Road(std::vector<FronthaulScript::Port> table = FronthaulScript::ports());
    void TearDown() override;

    // Starts the daemon and the peers and drives the road to the configured state; a failure is
    // fatal to the test (check HasFatalFailure()).
    void bringUp(Peer hosted = Peer::NONE, const DaemonProcess::Options& options = {});
    // Open a peer of this process: at the start, or as the replacement of a killed one.
    void openSync();
    void openDataPlane();
    void openPorts();

    // Serves the peers of this process until done() holds; false when limit_ passes or the daemon
    // ends first.
    bool serveUntil(const std::function<bool()>& done);
    // Serves the peers until none of them receives anything for quietMs; a test failure when they
    // still receive after limit_.
    void settle(int quietMs = 100);
    // Serves until count orders arrived after the first `from`; those orders.
    std::vector<Order> awaitOrders(size_t from, size_t count);
    // One line per order, for failure messages.
    static std::string describe(const std::vector<Order>& orders);
    // `synclumovcontrol info what`, run as the operator runs it.
    static ChildProcess::Result info(const std::string& what);

    // Kills the hosted peer with SIGKILL, reaps it and waits until its mailbox has left the bus, so
    // that a replacement can take the name.
    void killHost();
    // How many lines the hosted peer has printed that start with prefix.
    size_t hostLines(const std::string& prefix) const;
    std::string hostOutput() const { return host_ ? host_->output() : std::string(); }
    std::string daemonOutput() const { return daemon_ ? daemon_->output() : std::string(); }

    PrivateBus bus_;
    const std::vector<FronthaulScript::Port> table_;
    const size_t outputs_;  // fronthaul ports of the table
    std::chrono::seconds limit_{30};
    std::unique_ptr<SyncPeers::PortControlServer> ports_;
    std::unique_ptr<SyncPeers::SyncControlServer> sync_;
    std::unique_ptr<SyncPeers::DataPlaneClient> dataPlane_;
    // What the peers of this process received.
    SyncSim::PortControlRecorder portsHeard_;
    SyncSim::SyncControlRecorder syncHeard_;
    SyncSim::DataPlaneRecorder planeHeard_;
    std::unique_ptr<DaemonProcess> daemon_;

  private:
    Peer hosted_ = Peer::NONE;
    std::unique_ptr<ChildProcess> host_;
};

}  // namespace E2e

#endif
