#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Mailbox.h"
#include "PeersTestSupport.h"
#include "PortControlServer.h"
#include "ServerRecorder.h"

namespace SyncPeers {
namespace {

using Sync::Platform::Mailbox;
using Server = PortControlServer;

constexpr int WAIT_MS = 3000;

class PortControlServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(BusEnvironment::bus->running());
        server.setListener(&heard);
        ASSERT_TRUE(server.open()) << server.lastError();
        client = Mailbox::create("port-control-test-client");
        ASSERT_NE(nullptr, client);
        Server::Port a;
        a.role = 0x4;
        a.rhaiId = 0x01020304;
        a.macAddress = {0x02, 0x1A, 0xFF, 0x00, 0x0B, 0x7C};
        a.portName = "TN_A";
        a.interfaceName = "eth0";
        a.networkNamespace = "ns-a";
        Server::Port b;
        b.role = 0xD;
        b.rhaiId = 9;
        b.portName = "ABCDEFGHIJKLMNOP";  // fills its field
        b.interfaceName = "fronthaul-if-00001";
        b.adminState = 0;
        b.operState = 2;
        server.setPorts({a, b});
    }

    // Sends bytes from the client and lets the server handle them.
    void request(const WireBuffer& bytes) {
        client->send(bytes.bytes().data(), static_cast<uint32_t>(bytes.size()), server.id());
        ASSERT_TRUE(server.processOnce(WAIT_MS));
    }

    // The next message the client receives (empty when none comes in time).
    WireBuffer answer(int timeoutMs = WAIT_MS) {
        void* msg = client->receive(timeoutMs);
        if (msg == nullptr)
            return WireBuffer();
        return take(msg);
    }

    // Connects with references (1, 1); the server's connection reference.
    uint32_t connect() {
        request(message(Server::IEPCSI_INIT_SERVICE_REQ, 24, {{4, 1}, {8, 1}, {12, 1}, {16, 1}, {20, 1}}));
        const WireBuffer confirm = answer();
        EXPECT_EQ(Server::IEPCSI_INIT_CFM, confirm.msgno());
        return confirm.be32(8);
    }

    uint32_t subscribe(uint32_t connection, uint32_t entityId, const std::string& name) {
        request(message(Server::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ, 32,
                        {{4, entityId}, {8, connection}, {12, 4}}, {{16, name.substr(0, 15)}}));
        const WireBuffer confirm = answer();
        EXPECT_EQ(Server::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM, confirm.msgno());
        return confirm.be32(12);
    }

    PortControlServer server;
    SyncSim::PortControlRecorder heard;
    std::unique_ptr<Mailbox> client;
};

TEST_F(PortControlServerTest, RejectsOnRequest) {
    server.setInitRejectReason(-2);
    request(message(Server::IEPCSI_INIT_SERVICE_REQ, 24, {{4, 1}, {8, 1}}));
    const WireBuffer initReject = answer();
    EXPECT_EQ(Server::IEPCSI_INIT_REJ, initReject.msgno());
    EXPECT_EQ(0xFFFFFFFEu, initReject.be32(12));
    EXPECT_TRUE(server.clients().empty());

    server.setPortSupportRejectReason(5);
    request(message(Server::IEPCSI_GET_ETH_PORT_SUPPORT_REQ, 12, {{4, 1}, {8, 0x1E01}}));
    const WireBuffer supportReject = answer();
    EXPECT_EQ(Server::IEPCSI_GET_ETH_PORT_SUPPORT_REJ, supportReject.msgno());
    EXPECT_EQ(16u, supportReject.size());
    EXPECT_EQ(0x1E01u, supportReject.be32(8));
    EXPECT_EQ(5u, supportReject.be32(12));
}

TEST_F(PortControlServerTest, PortSupportListsTheTableAtTheRecordOffsets) {
    const uint32_t connection = connect();
    request(message(Server::IEPCSI_GET_ETH_PORT_SUPPORT_REQ, 12, {{4, 1}, {8, connection}}));
    const WireBuffer cfm = answer();
    ASSERT_EQ(Server::IEPCSI_GET_ETH_PORT_SUPPORT_CFM, cfm.msgno());
    ASSERT_EQ(16u + 2 * 48u, cfm.size());
    EXPECT_EQ(1u, cfm.be32(4));
    EXPECT_EQ(connection, cfm.be32(8));
    EXPECT_EQ(2u, cfm.be32(12));
    const std::vector<uint8_t>& b = cfm.bytes();
    // Record 0 at 16 reaches the daemon and is pinned there; record 1 at 64: both names fill their
    // fields.
    EXPECT_EQ(0xDu, cfm.be32(64));
    EXPECT_EQ(9u, cfm.be32(68));
    EXPECT_EQ("ABCDEFGHIJKLMNOP", std::string(reinterpret_cast<const char*>(&b[78]), 16));
    EXPECT_EQ("fronthaul-if-00001", std::string(reinterpret_cast<const char*>(&b[94]), 18));
}

TEST_F(PortControlServerTest, SubscriptionIsConfirmedAndStatusGoesToItsSubscriber) {
    const uint32_t connection = connect();
    const uint32_t reference = subscribe(connection, 7, "TN_A");
    ASSERT_EQ(1u, server.subscriptions().size());
    const Server::Subscription& s = server.subscriptions().begin()->second;
    EXPECT_EQ(7u, s.portEntityId);
    EXPECT_EQ(reference, s.subscriptionReference);
    EXPECT_EQ("TN_A", s.portName);
    EXPECT_EQ(4u, s.portRole);

    ASSERT_TRUE(server.setPortState("TN_A", 1, 0));
    ASSERT_EQ(1u, server.sendPortStatus("TN_A"));
    const WireBuffer ind = answer();
    ASSERT_EQ(Server::IEPCSI_ETH_PORT_STATUS_IND, ind.msgno());
    EXPECT_EQ(36u + Server::NAMESPACE_WIDTH, ind.size());
    EXPECT_EQ(7u, ind.be32(4)) << "the subscriber's entity id";
    EXPECT_EQ(connection, ind.be32(8));
    EXPECT_EQ(1u, ind.be32(12));
    EXPECT_EQ(0u, ind.be32(16));
    EXPECT_EQ("TN_A", ind.text(20, 16));
    EXPECT_EQ("ns-a", ind.text(36, Server::NAMESPACE_WIDTH));
    EXPECT_EQ(0u, server.sendPortStatus("ABCDEFGHIJKLMNOP")) << "nobody subscribed to it";
}

TEST_F(PortControlServerTest, CutPortNameFindsItsPortUnknownNameIsRejectedAndAllGetTheirStatus) {
    const uint32_t connection = connect();
    subscribe(connection, 8, "ABCDEFGHIJKLMNOP");  // arrives as its first 15 characters
    ASSERT_EQ(1u, server.subscriptions().size());
    EXPECT_EQ("ABCDEFGHIJKLMNOP", server.subscriptions().begin()->second.portName);

    request(message(Server::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ, 32, {{4, 9}, {8, connection}, {12, 4}},
                    {{16, "TN_NONE"}}));
    const WireBuffer reject = answer();
    EXPECT_EQ(Server::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REJ, reject.msgno());
    EXPECT_EQ(9u, reject.be32(4));
    EXPECT_EQ(Server::REASON_UNKNOWN_PORT, reject.be32(12));

    subscribe(connection, 7, "TN_A");
    ASSERT_EQ(2u, server.sendAllPortStatus());
    const WireBuffer first = answer();
    const WireBuffer second = answer();
    EXPECT_EQ(8u, first.be32(4));
    EXPECT_EQ(0u, first.be32(12)) << "locked";
    EXPECT_EQ(2u, first.be32(16));
    EXPECT_EQ("ABCDEFGHIJKLMNOP", first.text(20, 16));
    EXPECT_EQ(7u, second.be32(4));
}

// The server finds ports through indexes: a cut name that two ports share is the earlier port, and
// an entity that subscribes again moves its one subscription.
TEST_F(PortControlServerTest, SharedCutNameFindsTheEarlierPortAndSubscribingAgainReplaces) {
    Server::Port twin;
    twin.portName = "ABCDEFGHIJKLMNOQ";
    server.addPort(twin);
    const uint32_t connection = connect();
    subscribe(connection, 8, twin.portName);
    ASSERT_EQ(1u, server.subscriptions().size());
    EXPECT_EQ("ABCDEFGHIJKLMNOP", server.subscriptions().begin()->second.portName);

    const uint32_t reference = subscribe(connection, 8, "TN_A");
    ASSERT_EQ(1u, server.subscriptions().size());
    EXPECT_EQ(reference, server.subscriptions().begin()->first);
    EXPECT_EQ(0u, server.sendPortStatus("ABCDEFGHIJKLMNOP"));
    EXPECT_EQ(1u, server.sendPortStatus("TN_A"));
}

TEST_F(PortControlServerTest, UnsubscribeEndsTheSubscription) {
    const uint32_t connection = connect();
    const uint32_t reference = subscribe(connection, 7, "TN_A");
    request(message(Server::IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ, 16,
                    {{4, 7}, {8, connection}, {12, reference}}));
    const WireBuffer confirm = answer();
    EXPECT_EQ(Server::IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM, confirm.msgno());
    EXPECT_EQ(12u, confirm.size());
    EXPECT_EQ(7u, confirm.be32(4));
    EXPECT_TRUE(server.subscriptions().empty());
    EXPECT_EQ(0u, server.sendPortStatus("TN_A"));
}

TEST_F(PortControlServerTest, ShortAndUnknownMessagesReachTheListenerAndAreDroppedUnanswered) {
    connect();
    request(message(Server::IEPCSI_INIT_SERVICE_REQ, 23, {{4, 1}}));
    request(message(0x1B10AA, 12, {}));
    EXPECT_EQ(0u, answer(200).size());
    EXPECT_EQ(3u, heard.received().size());
    EXPECT_EQ(2u, heard.warnings().size());
}

TEST_F(PortControlServerTest, SubscriptionsLapseWhenTheClientGoes) {
    const uint32_t connection = connect();
    subscribe(connection, 7, "TN_A");
    client.reset();
    EXPECT_TRUE(server.waitFor([this] { return server.subscriptions().empty(); }, WAIT_MS));
    ASSERT_EQ(1u, server.clients().size());
    EXPECT_FALSE(server.clients()[0].alive);
}

}  // namespace
}  // namespace SyncPeers
