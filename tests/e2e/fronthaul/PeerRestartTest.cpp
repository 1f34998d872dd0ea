// Each peer of the daemon dies with SIGKILL, in a process of its own, and a new one takes its place:
// the daemon finds it, connects again exactly once and returns to the same four outputs with the
// same transmitted values.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "FronthaulRoad.h"

namespace {

using SyncTools::PortControlServer;
using SyncTools::SyncControlServer;

constexpr size_t kPorts = E2e::FronthaulScript::kPorts;

size_t occurrences(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

std::string printoutLine(const char* label, unsigned value) {
    char line[64];
    std::snprintf(line, sizeof line, "  %-20s : 0x%02x\n", label, value);
    return line;
}

// The operator sees four active outputs, each transmitting `ssm` (ePRTC: enhanced 0x21).
void expectConfiguredOutputs(const E2e::ChildProcess::Result& result, unsigned ssm = 0x2) {
    ASSERT_TRUE(result.succeeded()) << result.describe({"synclumovcontrol", "info", "all"});
    const std::string& out = result.output;
    EXPECT_NE(out.find(" #Total SyncEthOutput: 4\n"), std::string::npos) << out;
    EXPECT_EQ(occurrences(out, " #SyncEthOutput, id: "), kPorts) << out;
    EXPECT_EQ(occurrences(out, printoutLine("ssm", ssm)), kPorts) << out;
    EXPECT_EQ(occurrences(out, printoutLine("enhancedSsmCode", 0x21)), kPorts) << out;
}

class PeerRestartTest : public E2e::FronthaulRoad {
  protected:
    // The road with `peer` in a process of its own, which is then killed.
    void bringUpAndKill(Peer peer) {
        bringUp(peer);
        ASSERT_FALSE(HasFatalFailure());
        killHost();
    }
};

TEST_F(PeerRestartTest, PortControlServerBackGetsOneSubscriptionPerPortAndTheOutputsStay) {
    bringUpAndKill(Peer::PORTS);
    ASSERT_FALSE(HasFatalFailure());
    const size_t from = dataPlane_->orders().size();
    openPorts();
    ASSERT_TRUE(serveUntil([&] { return ports_->subscriptions().size() == kPorts; })) << daemonOutput();
    ports_->sendAllPortStatus();
    // Each port, up again, is reconfigured and told the same values as before.
    expectEachPortTold(from, {changeRequest, transmitsEprtc, esmcOff});
    ports_->processPending(0);
    EXPECT_EQ(ports_->receivedWith(PortControlServer::IEPCSI_INIT_SERVICE_REQ).size(), 1u);
    std::multiset<std::string> subscribed;
    for (const auto& request : ports_->receivedWith(PortControlServer::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ))
        subscribed.insert(request.portName);
    EXPECT_EQ(subscribed, (std::multiset<std::string>{"TnPort-1", "TnPort-2", "TnPort-3", "TnPort-4"}));
    expectConfiguredOutputs(info("all"));
}

TEST_F(PeerRestartTest, SyncControlServerBackGetsTheThreeSubscriptionsOnceAndTheDataStays) {
    bringUpAndKill(Peer::SYNC);
    ASSERT_FALSE(HasFatalFailure());
    const size_t from = dataPlane_->orders().size();
    openSync();
    ASSERT_TRUE(serveUntil([&] { return sync_->subscriptions().size() >= 3; })) << daemonOutput();
    // The new server's first indication goes to every output, with the quality the daemon kept.
    sync_->sendTelecomStandard(2);
    expectEachPortTold(from, {[](uint32_t id, size_t) { return transmitSsm(id, 0x1, 0x21); }});
    sync_->processPending(0);
    EXPECT_EQ(sync_->receivedWith(SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_REQ).size(), 1u);
    std::multiset<std::string> kinds;
    for (const auto& subscription : sync_->subscriptions())
        kinds.insert(subscription.kind);
    EXPECT_EQ(kinds,
              (std::multiset<std::string>{SyncControlServer::REC_DATA, SyncControlServer::SELECTED_REFERENCE,
                                          SyncControlServer::TELECOM_STANDARD}));
    expectConfiguredOutputs(info("all"), 0x1);
}

TEST_F(PeerRestartTest, DataPlaneClientBackIsToldEveryConfiguredOutputWithTheSameValues) {
    bringUp(Peer::DATA_PLANE);
    ASSERT_FALSE(HasFatalFailure());
    // What the killed client was told, as it printed it.
    std::multiset<std::string> before;
    std::istringstream lines(hostOutput());
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("TRANSMIT_SSM ", 0) == 0 || line.rfind("ESMC_CONTROL ", 0) == 0)
            before.insert(line);
    ASSERT_EQ(before.size(), 2 * kPorts) << hostOutput();
    killHost();
    ASSERT_FALSE(HasFatalFailure());

    openDataPlane();
    expectEachPortTold(0, {createRequest, transmitsEprtc, esmcOff});
    // The same outputs (ids) and the same values as the killed client was told.
    std::multiset<std::string> after;
    for (const Order& order : dataPlane_->orders())
        if (order.kind != Order::OUTPUT_CREATE)
            after.insert(order.describe());
    EXPECT_EQ(after, before);
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
