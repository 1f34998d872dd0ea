// Each peer of the daemon dies with SIGKILL, in a process of its own, and a new one takes its place:
// the daemon finds it, connects again exactly once and returns to the same four outputs with the
// same transmitted values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "FronthaulRoad.h"

namespace {

using E2e::FronthaulRoad;
using E2e::FronthaulScript;
using SyncTools::DataPlaneClient;
using SyncTools::PortControlServer;
using SyncTools::SyncControlServer;
using Order = DataPlaneClient::Order;

constexpr size_t kPorts = FronthaulScript::kPorts;

size_t occurrences(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) {
        ++count;
    }
    return count;
}

std::string printoutLine(const char* label, unsigned value) {
    char line[64];
    std::snprintf(line, sizeof line, "  %-20s : 0x%02x\n", label, value);
    return line;
}

// The operator sees four active outputs, each transmitting ePRTC under option I.
void expectConfiguredOutputs(const E2e::ChildProcess::Result& result) {
    ASSERT_TRUE(result.succeeded()) << result.describe({"synclumovcontrol", "info", "all"});
    const std::string& out = result.output;
    EXPECT_NE(out.find(" #Total SyncEthOutput: 4\n"), std::string::npos) << out;
    EXPECT_EQ(occurrences(out, " #SyncEthOutput, id: "), kPorts) << out;
    EXPECT_EQ(occurrences(out, printoutLine("ssm", 0x2)), kPorts) << out;
    EXPECT_EQ(occurrences(out, printoutLine("enhancedSsmCode", 0x21)), kPorts) << out;
}

// The lines the hosted data-plane client printed for orders of one kind ("TRANSMIT_SSM ...").
std::multiset<std::string> linesStartingWith(const std::string& text, const std::string& prefix) {
    std::multiset<std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) == 0) {
            found.insert(line);
        }
    }
    return found;
}

class PeerRestartTest : public FronthaulRoad {};

TEST_F(PeerRestartTest, PortControlServerBackGetsOneSubscriptionPerPortAndTheOutputsStay) {
    bringUp(Peer::PORTS);
    ASSERT_FALSE(HasFatalFailure());
    killHost();
    ASSERT_FALSE(HasFatalFailure());
    const size_t from = dataPlane_->orders().size();

    openPorts();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(serveUntil([&] { return ports_->subscriptions().size() == kPorts; })) << daemonOutput();
    ports_->sendAllPortStatus();
    // Each port, up again, is reconfigured and told the same values as before.
    ASSERT_TRUE(serveUntil([&] { return ordersOf(Order::ESMC_CONTROL, from).size() == kPorts; }))
        << describe(dataPlane_->orders()) << daemonOutput();
    ports_->processPending(0);

    EXPECT_EQ(ports_->receivedWith(PortControlServer::IEPCSI_INIT_SERVICE_REQ).size(), 1u);
    std::multiset<std::string> subscribed;
    for (const auto& request :
         ports_->receivedWith(PortControlServer::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ)) {
        subscribed.insert(request.portName);
    }
    EXPECT_EQ(subscribed, (std::multiset<std::string>{"TnPort-1", "TnPort-2", "TnPort-3", "TnPort-4"}));

    const std::vector<Order> after(dataPlane_->orders().begin() + static_cast<long>(from),
                                   dataPlane_->orders().end());
    ASSERT_EQ(after.size(), 3 * kPorts) << describe(after);
    const std::vector<Order> changes = ordersOf(Order::OUTPUT_CHANGE, from);
    ASSERT_EQ(changes.size(), kPorts) << describe(after);
    for (const Order& order : changes) {
        EXPECT_TRUE(sameBytes(
            order, changeRequest(order.procedureReference, portOfOutput(order.procedureReference))));
    }
    for (const Order& order : ordersOf(Order::TRANSMIT_SSM, from)) {
        EXPECT_TRUE(sameBytes(order, transmitSsm(order.procedureReference, 0x2, 0x21)));
        EXPECT_NE(portOfOutput(order.procedureReference), 0u) << order.describe();
    }
    for (const Order& order : ordersOf(Order::ESMC_CONTROL, from)) {
        EXPECT_TRUE(sameBytes(order, esmcControl(order.procedureReference, 0)));
    }
    expectConfiguredOutputs(info("all"));
}

TEST_F(PeerRestartTest, SyncControlServerBackGetsTheThreeSubscriptionsOnceAndTheDataStays) {
    bringUp(Peer::SYNC);
    ASSERT_FALSE(HasFatalFailure());
    killHost();
    ASSERT_FALSE(HasFatalFailure());
    const size_t from = dataPlane_->orders().size();

    openSync();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(serveUntil([&] { return sync_->subscriptions().size() >= 3; })) << daemonOutput();
    // The new server's first indication goes to every output, with the quality the daemon kept.
    sync_->sendTelecomStandard(2);
    const std::vector<Order> next = awaitOrders(from, kPorts);
    for (const Order& order : next) {
        EXPECT_TRUE(sameBytes(order, transmitSsm(order.procedureReference, 0x1, 0x21)));
        EXPECT_NE(portOfOutput(order.procedureReference), 0u) << order.describe();
    }
    sync_->processPending(0);

    EXPECT_EQ(sync_->receivedWith(SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_REQ).size(), 1u);
    std::multiset<std::string> kinds;
    for (const auto& subscription : sync_->subscriptions()) {
        kinds.insert(subscription.kind);
    }
    EXPECT_EQ(kinds,
              (std::multiset<std::string>{SyncControlServer::REC_DATA, SyncControlServer::SELECTED_REFERENCE,
                                          SyncControlServer::TELECOM_STANDARD}));
    E2e::ChildProcess::Result result = info("all");
    EXPECT_NE(result.output.find(printoutLine("ssm", 0x1)), std::string::npos) << result.output;
    EXPECT_EQ(occurrences(result.output, " #SyncEthOutput, id: "), kPorts) << result.output;
}

TEST_F(PeerRestartTest, DataPlaneClientBackIsToldEveryConfiguredOutputWithTheSameValues) {
    bringUp(Peer::DATA_PLANE);
    ASSERT_FALSE(HasFatalFailure());
    const std::multiset<std::string> transmitted = linesStartingWith(hostOutput(), "TRANSMIT_SSM ");
    const std::multiset<std::string> esmc = linesStartingWith(hostOutput(), "ESMC_CONTROL ");
    ASSERT_EQ(transmitted.size(), kPorts) << hostOutput();
    killHost();
    ASSERT_FALSE(HasFatalFailure());

    openDataPlane();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(serveUntil([&] { return ordersOf(Order::ESMC_CONTROL).size() == kPorts; })) << daemonOutput();
    const std::vector<Order>& orders = dataPlane_->orders();
    ASSERT_EQ(orders.size(), 3 * kPorts) << describe(orders);

    std::multiset<std::string> retransmitted;
    std::multiset<std::string> reenabled;
    std::set<size_t> ports;
    for (const Order& create : ordersOf(Order::OUTPUT_CREATE)) {
        const size_t port = portOf(create.interfaceName);
        ports.insert(port);
        EXPECT_TRUE(sameBytes(create, createRequest(create.procedureReference, port)));
        // Its transmit order follows its creation, and its ESMC state follows that.
        const auto creation = std::find_if(orders.begin(), orders.end(), [&](const Order& o) {
            return o.procedureReference == create.procedureReference;
        });
        const auto transmit = std::find_if(creation, orders.end(), [&](const Order& o) {
            return o.procedureReference == create.procedureReference && o.kind == Order::TRANSMIT_SSM;
        });
        const auto state = std::find_if(transmit, orders.end(), [&](const Order& o) {
            return o.procedureReference == create.procedureReference && o.kind == Order::ESMC_CONTROL;
        });
        ASSERT_NE(state, orders.end()) << describe(orders);
        EXPECT_TRUE(sameBytes(*transmit, transmitSsm(create.procedureReference, 0x2, 0x21)));
        EXPECT_TRUE(sameBytes(*state, esmcControl(create.procedureReference, 0)));
        retransmitted.insert(transmit->describe());
        reenabled.insert(state->describe());
    }
    EXPECT_EQ(ports.size(), kPorts) << describe(orders);
    // The same outputs (ids) and the same values as the killed client was told.
    EXPECT_EQ(retransmitted, transmitted);
    EXPECT_EQ(reenabled, esmc);
}

TEST_F(PeerRestartTest, CommandServerBackGetsTheCommandRegisteredAgain) {
    bringUp(Peer::COMMANDS);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(hostLines("registered "), 1u) << hostOutput();
    killHost();
    ASSERT_FALSE(HasFatalFailure());
    // synclumovcontrol is the new command server: the daemon must find it and register within 3 s.
    expectConfiguredOutputs(info("all"));
}

}  // namespace
