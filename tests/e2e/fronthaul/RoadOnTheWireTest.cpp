// The fronthaul road as the data plane sees it, byte for byte: four ports found, subscribed and up,
// REC and quality from sync control, and each output created, told its SSM and its ESMC state;
// then every change of the node's data fanned out to all four outputs, and a second data-plane
// client turned away.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

#include "FronthaulRoad.h"
#include "FronthaulScript.h"
#include "TestPeer.h"

namespace {

using E2e::FronthaulRoad;
using E2e::FronthaulScript;
using E2e::TestPeer;
using SyncTools::DataPlaneClient;
using SyncTools::WireBuffer;
using Order = DataPlaneClient::Order;

constexpr size_t kPorts = FronthaulScript::kPorts;

class RoadOnTheWireTest : public FronthaulRoad {
  protected:
    // Waits for the next four orders and checks that they are one of `kind` per output, each exactly
    // the bytes expected(id, port) gives.
    void expectFanOut(size_t from, Order::Kind kind,
                      const std::function<WireBuffer(uint32_t id, size_t port)>& expected) {
        const std::vector<Order> next = awaitOrders(from, kPorts);
        ASSERT_EQ(next.size(), kPorts) << describe(next);
        std::set<size_t> ports;
        for (const Order& order : next) {
            ASSERT_EQ(order.kind, kind) << describe(next);
            const size_t port = kind == Order::OUTPUT_CREATE ? portOf(order.interfaceName)
                                                             : portOfOutput(order.procedureReference);
            ASSERT_NE(port, 0u) << order.describe();
            ports.insert(port);
            EXPECT_TRUE(sameBytes(order, expected(order.procedureReference, port)));
        }
        EXPECT_EQ(ports.size(), kPorts) << describe(next);
    }

    // SECLI_OUTPUT_MAC_ADDRESS_FWD of the connected client, sent on its behalf from another mailbox
    // of this process that then asks the daemon for its id: the answer comes only after the daemon
    // has handled the forward, so the next indication finds the new master id in place.
    void forwardMacAndWait(const uint8_t (&mac)[6]) {
        WireBuffer forward(DataPlaneClient::OUTPUT_MAC_ADDRESS_FWD, 20);
        forward.putBe32(8, dataPlane_->serverConnectionReference());
        forward.putBytes(12, mac, sizeof mac);
        TestPeer peer("e2e-mac-forwarder");
        ASSERT_TRUE(peer.ok());
        peer.send(daemon_->mailboxId(), forward.bytes(), dataPlane_->id());
        ASSERT_EQ(peer.locate("sync-lumov-control"), daemon_->mailboxId());
    }
};

TEST_F(RoadOnTheWireTest, EveryOutputIsCreatedThenToldItsSsmThenItsEsmcStateExactlyOnce) {
    bringUp();
    ASSERT_FALSE(HasFatalFailure());
    const std::vector<Order>& orders = dataPlane_->orders();
    ASSERT_EQ(orders.size(), 3 * kPorts) << describe(orders);

    std::set<uint32_t> ids;
    for (size_t n = 1; n <= kPorts; ++n) {
        SCOPED_TRACE("port " + std::to_string(n));
        const uint32_t id = outputIds_[n];
        ASSERT_NE(id, 0u) << describe(orders);
        ids.insert(id);
        std::vector<size_t> at;
        for (size_t i = 0; i < orders.size(); ++i) {
            if (orders[i].procedureReference == id) {
                at.push_back(i);
            }
        }
        ASSERT_EQ(at.size(), 3u) << describe(orders);
        EXPECT_TRUE(sameBytes(orders[at[0]], createRequest(id, n)));
        EXPECT_TRUE(sameBytes(orders[at[1]], transmitSsm(id, 0x2, 0x21)));
        EXPECT_TRUE(sameBytes(orders[at[2]], esmcControl(id, 0)));
    }
    EXPECT_EQ(ids.size(), kPorts);

    // Selection process mode QL_ENABLED switches ESMC on at every output, and changes nothing else.
    const size_t from = orders.size();
    ASSERT_EQ(sync_->sendSelectionProcessMode(1), 1u);
    expectFanOut(from, Order::ESMC_CONTROL, [](uint32_t id, size_t) { return esmcControl(id, 1); });
    EXPECT_TRUE(daemon_->running()) << daemonOutput();
}

TEST_F(RoadOnTheWireTest, ChangesOfTheNodesDataReachEveryOutput) {
    bringUp();
    ASSERT_FALSE(HasFatalFailure());
    const uint8_t mac[6] = {0x02, 0x00, 0x5e, 0x10, 0x00, 0x01};
    // Its modified EUI-64: FF FE in the middle, the universal/local bit inverted.
    const uint64_t masterId = 0x00005EFFFE100001;

    struct Step {
        const char* what;
        std::function<void()> send;
        Order::Kind kind;
        std::function<WireBuffer(uint32_t id, size_t port)> expected;
    };
    const std::vector<Step> steps = {
        {"option II: ePRTC is SSM 0x1", [&] { sync_->sendTelecomStandard(2); }, Order::TRANSMIT_SSM,
         [](uint32_t id, size_t) { return transmitSsm(id, 0x1, 0x21); }},
        {"quality eEEC under option II", [&] { sync_->sendClockSettledQuality(21); }, Order::TRANSMIT_SSM,
         [](uint32_t id, size_t) { return transmitSsm(id, 0xA, 0x22); }},
        // An unknown quality is dropped: the next four orders are the mode's, none a transmit order.
        {"quality unknown, then mode QL_ENABLED",
         [&] {
             sync_->sendClockSettledQuality(15);
             sync_->sendSelectionProcessMode(1);
         },
         Order::ESMC_CONTROL, [](uint32_t id, size_t) { return esmcControl(id, 1); }},
        {"MAC forwarded, then quality ePRC",
         [&] {
             forwardMacAndWait(mac);
             sync_->sendClockSettledQuality(22);
         },
         Order::TRANSMIT_SSM, [&](uint32_t id, size_t) { return transmitSsm(id, 0x1, 0x23, masterId); }},
        {"REC deleted", [&] { sync_->sendRecDelete(); }, Order::OUTPUT_REMOVE,
         [](uint32_t id, size_t) { return removeRequest(id); }},
        // Nothing came after the removals, and a new REC brings new outputs for the same ports.
        {"REC created again", [&] { sync_->sendRecCreate(); }, Order::OUTPUT_CREATE,
         [](uint32_t id, size_t port) { return createRequest(id, port); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const size_t from = dataPlane_->orders().size();
        step.send();
        ASSERT_FALSE(HasFatalFailure());
        expectFanOut(from, step.kind, step.expected);
        ASSERT_FALSE(HasFatalFailure());
    }
    EXPECT_TRUE(daemon_->running()) << daemonOutput();
}

TEST_F(RoadOnTheWireTest, SecondDataPlaneClientIsRefusedWhileTheFirstKeepsWorking) {
    bringUp();
    ASSERT_FALSE(HasFatalFailure());
    DataPlaneClient second("sync-dataplane-client-2");
    ASSERT_TRUE(second.open()) << second.lastError();
    ASSERT_TRUE(serveUntil([&] {
        second.processOnce(10);
        return second.state() == DataPlaneClient::State::REJECTED;
    })) << daemonOutput();
    EXPECT_EQ(second.connectionErrorCode(), 1u) << "1: the server accepts no more clients";

    const size_t from = dataPlane_->orders().size();
    sync_->sendClockSettledQuality(21);
    expectFanOut(from, Order::TRANSMIT_SSM, [](uint32_t id, size_t) { return transmitSsm(id, 0xB, 0x22); });
    // Orders meant for the refused client too would have left in the same turn as those above; it
    // drops them with a warning, as it is not connected.
    second.processPending(0);
    EXPECT_TRUE(second.warnings().empty()) << second.warnings().front();
    EXPECT_EQ(dataPlane_->state(), DataPlaneClient::State::CONNECTED);
}

}  // namespace
