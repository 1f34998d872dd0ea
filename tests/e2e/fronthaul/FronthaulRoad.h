#ifndef SYNC_E2E_FRONTHAULROAD_H
#define SYNC_E2E_FRONTHAULROAD_H

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CapturedOutput.h"
#include "ChildProcess.h"
#include "Command.h"
#include "DaemonProcess.h"
#include "DataPlaneClient.h"
#include "PortControlServer.h"
#include "PrivateBus.h"
#include "SyncControlServer.h"
#include "WireBuffer.h"

namespace E2e {

// The daemon binary on a private bus with the four fronthaul ports of FronthaulScript, driven to the
// fully configured state: every port subscribed, REC created, quality ePRTC under option I, the
// data-plane client connected and told to create four outputs, each transmitting SSM 0x2 with
// enhanced code 0x21 and ESMC off (selection process mode still QL_DISABLED).
//
// Every peer runs in this process, except one a test names to bringUp(), which runs in a PeerHost
// process so that it can be killed with SIGKILL; its pointer here stays null until the test opens a
// replacement. Every wait serves the peers of this process until its condition holds or its
// deadline passes.
class FronthaulRoad : public ::testing::Test {
  public:
    enum class Peer { NONE, PORTS, SYNC, DATA_PLANE, COMMANDS };
    using Order = SyncTools::DataPlaneClient::Order;

    // The references the data-plane client connects with; every request of the daemon carries the
    // connection reference back.
    static constexpr uint32_t kClientProcedureReference = 0x7;
    static constexpr uint32_t kClientConnectionReference = 0x5EC11E01;

  protected:
    // The daemon must have run to the end of the test without a crash or a sanitizer report.
    void TearDown() override;

    // Starts the daemon (with env on top of the test's environment) and the peers and drives the
    // road to the configured state; a failure is fatal to the test (check HasFatalFailure()).
    void bringUp(Peer hosted = Peer::NONE, const Environment& env = {});

    // Serves the peers of this process until done() holds; false when limit passes first.
    bool serveUntil(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(30));
    // Serves until count orders arrived after the first `from`; those orders.
    std::vector<Order> awaitOrders(size_t from, size_t count);
    // The orders of one kind among those from index `from` on.
    std::vector<Order> ordersOf(Order::Kind kind, size_t from = 0) const;

    // Kills the hosted peer with SIGKILL, reaps it and waits until its mailbox has left the bus, so
    // that a replacement can take the name.
    void killHost();
    // How many lines the hosted peer has printed that start with prefix.
    size_t hostLines(const std::string& prefix) const;
    std::string hostOutput() const { return hostOutput_.text(); }

    // `synclumovcontrol info what`, run as the operator runs it.
    static Command::Result info(const std::string& what);

    // What the daemon sends the data plane, byte for byte, for output `id` on port n (1..4).
    static SyncTools::WireBuffer createRequest(uint32_t id, size_t n);
    // A change request has the layout of a creation request.
    static SyncTools::WireBuffer changeRequest(uint32_t id, size_t n);
    static SyncTools::WireBuffer transmitSsm(uint32_t id, uint32_t ssm, uint32_t enhanced,
                                             uint64_t masterId = 0);
    static SyncTools::WireBuffer esmcControl(uint32_t id, uint32_t output);
    static SyncTools::WireBuffer removeRequest(uint32_t id);
    // Port number 1..4 of an interface name "fhN"; 0 for another text.
    static size_t portOf(const std::string& interfaceName);
    // Port number 1..4 whose output has id `id`; 0 for none.
    size_t portOfOutput(uint32_t id) const;
    // Success when the order arrived as exactly these bytes; otherwise where they first differ.
    static ::testing::AssertionResult sameBytes(const Order& order, const SyncTools::WireBuffer& expected);
    // One line per order, for failure messages.
    static std::string describe(const std::vector<Order>& orders);

    std::string daemonOutput() const { return daemon_ ? daemon_->output() : std::string(); }

    PrivateBus bus_;
    std::unique_ptr<SyncTools::PortControlServer> ports_;
    std::unique_ptr<SyncTools::SyncControlServer> sync_;
    std::unique_ptr<SyncTools::DataPlaneClient> dataPlane_;
    std::unique_ptr<DaemonProcess> daemon_;
    // Output id of each port, 1..4 (index 0 unused), from the creation requests.
    uint32_t outputIds_[5] = {};

    // Open a peer of this process: at the start, or as the replacement of a killed one.
    void openSync();
    void openDataPlane();
    void openPorts();

  private:
    void startHost(const char* role);

    Peer hosted_ = Peer::NONE;
    CapturedOutput hostOutput_;
    std::unique_ptr<ChildProcess> host_;
};

}  // namespace E2e

#endif
