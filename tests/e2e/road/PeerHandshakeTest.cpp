// The daemon binary against the simulated peers on a private bus: it finds the port-control server,
// the sync-control server and the data-plane client, completes each handshake, asks for the port
// support and subscribes, and the whole road ends in transmit orders. A real LTTng session records
// the skip line of a port that is not fronthaul.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "DaemonProcess.h"
#include "DataPlaneClient.h"
#include "LttngSession.h"
#include "PortControlServer.h"
#include "PrivateBus.h"
#include "SyncControlServer.h"
#include "TraceRecord.h"

namespace {

using E2e::DaemonProcess;
using E2e::LttngSession;
using E2e::TraceRecord;
using SyncTools::DataPlaneClient;
using SyncTools::PortControlServer;
using SyncTools::SyncControlServer;

class PeerHandshakeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus_.running());
        ASSERT_TRUE(lttng_.ready()) << lttng_.error();
        ASSERT_TRUE(lttng_.startRecording()) << lttng_.error();

        PortControlServer::Port fronthaul;
        fronthaul.role = PortControlServer::ROLE_C2;
        fronthaul.rhaiId = 7;
        fronthaul.macAddress = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
        fronthaul.portName = "TnPort-A";
        fronthaul.interfaceName = "eth-a";
        fronthaul.networkNamespace = "ns-a";
        PortControlServer::Port other = fronthaul;
        other.role = 0x2;
        other.rhaiId = 8;
        other.portName = "TnPort-B";
        other.interfaceName = "eth-b";
        ports_.setPorts({fronthaul, other});
        ASSERT_TRUE(ports_.open()) << ports_.lastError();
        ASSERT_TRUE(sync_.open()) << sync_.lastError();
        ASSERT_TRUE(dataPlane_.open()) << dataPlane_.lastError();
    }

    // Serves all three peers until done() holds; false when the deadline passes first.
    bool serveUntil(const std::function<bool()>& done,
                    std::chrono::seconds limit = std::chrono::seconds(30)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            ports_.processOnce(10);
            sync_.processOnce(10);
            dataPlane_.processOnce(10);
        }
        return true;
    }

    size_t ordersOf(DataPlaneClient::Order::Kind kind) const {
        const auto& orders = dataPlane_.orders();
        return static_cast<size_t>(
            std::count_if(orders.begin(), orders.end(),
                          [kind](const DataPlaneClient::Order& o) { return o.kind == kind; }));
    }

    PrivateBus bus_;
    LttngSession lttng_;
    PortControlServer ports_;
    SyncControlServer sync_;
    DataPlaneClient dataPlane_;
};

TEST_F(PeerHandshakeTest, DaemonConnectsToEveryPeerAndDrivesTheRoadToTransmitOrders) {
    DaemonProcess daemon({"", lttng_.environment()});
    ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();

    // Port control: handshake, port support, one subscription for the one fronthaul port.
    ASSERT_TRUE(serveUntil([&] {
        return !ports_.receivedWith(PortControlServer::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ).empty();
    })) << daemon.output();
    EXPECT_EQ(ports_.receivedWith(PortControlServer::IEPCSI_INIT_SERVICE_REQ).size(), 1u);
    EXPECT_EQ(ports_.receivedWith(PortControlServer::IEPCSI_GET_ETH_PORT_SUPPORT_REQ).size(), 1u);

    // Sync control: connection and the three subscriptions; data plane: connected.
    ASSERT_TRUE(serveUntil([&] {
        return sync_.subscriptions().size() >= 3 && dataPlane_.state() == DataPlaneClient::State::CONNECTED;
    })) << daemon.output();
    EXPECT_EQ(dataPlane_.selectedRevision(), 1u);

    // REC, quality ePRTC under option I, then the port comes up: the data plane is told to create
    // the output and, after its confirmation, what to transmit.
    sync_.sendRecCreate();
    sync_.sendClockSettledQuality(20);
    ports_.processPending(50);
    ports_.sendAllPortStatus();
    ASSERT_TRUE(serveUntil([&] {
        return ordersOf(DataPlaneClient::Order::TRANSMIT_SSM) > 0 &&
               ordersOf(DataPlaneClient::Order::ESMC_CONTROL) > 0;
    })) << daemon.output();
    const auto& orders = dataPlane_.orders();
    ASSERT_FALSE(orders.empty());
    EXPECT_EQ(orders.front().kind, DataPlaneClient::Order::OUTPUT_CREATE) << orders.front().describe();
    EXPECT_EQ(orders.front().interfaceName, "eth-a");
    EXPECT_EQ(orders.front().macAddress, "00:11:22:33:44:55");
    EXPECT_EQ(orders.front().networkNameSpace, "ns-a");
    auto transmit = std::find_if(orders.begin(), orders.end(), [](const DataPlaneClient::Order& o) {
        return o.kind == DataPlaneClient::Order::TRANSMIT_SSM;
    });
    EXPECT_EQ(transmit->ssmCode, 0x2u) << transmit->describe();
    EXPECT_EQ(transmit->enhancedSsmCode, 0x21u) << transmit->describe();
    EXPECT_TRUE(daemon.running());

    // The port of role 0x2 is only traced as skipped.
    ASSERT_TRUE(lttng_.stop()) << lttng_.error();
    std::vector<TraceRecord> events = lttng_.read();
    const auto skipped = std::count_if(events.begin(), events.end(), [&](const TraceRecord& r) {
        return r.vpid() == daemon.pid() && r.event() == "INFO" &&
               r.field("info_msg") == "Skip portName TnPort-B, C2 false IDL false RDI false";
    });
    EXPECT_EQ(skipped, 1);
}

}  // namespace
