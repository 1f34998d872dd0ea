#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DataPlaneClient.h"
#include "Mailbox.h"
#include "PeersTestSupport.h"

namespace SyncPeers {
namespace {

using Sync::Platform::Mailbox;
using Client = DataPlaneClient;
using State = DataPlaneClient::State;
using Order = DataPlaneClient::Order;

constexpr int WAIT_MS = 3000;
constexpr uint32_t SERVER_REFERENCE = 0x77;

class DataPlaneClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(BusEnvironment::bus->running());
        startDaemon();
    }

    void startDaemon() {
        daemon = Mailbox::create("sync-lumov-control");
        ASSERT_NE(nullptr, daemon);
        ASSERT_EQ(0, daemon->publish(Client::SERVICE, Client::DOMAIN));
    }

    // Runs both sides until done() holds, at most WAIT_MS; the daemon keeps what it receives.
    bool until(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            client.processOnce(5);
            if (daemon) {
                while (void* msg = daemon->receive(5))
                    received.push_back(take(msg));
            }
        }
        return done();
    }

    // Opens the client and takes it through the handshake.
    void connect() {
        EXPECT_TRUE(client.open()) << client.lastError();
        EXPECT_TRUE(until([&] { return !received.empty(); }));
        received.clear();
        toClient(message(Client::CONNECTION_ESTABLISHMENT_CFM, 16, {{4, 1}, {8, SERVER_REFERENCE}, {12, 1}}));
        EXPECT_TRUE(until([&] { return client.state() == State::CONNECTED; }));
    }

    void toClient(const WireBuffer& bytes) {
        daemon->send(bytes.bytes().data(), static_cast<uint32_t>(bytes.size()), client.id());
    }

    std::unique_ptr<Mailbox> daemon;
    Client client{"dataplane-client-test"};
    std::vector<WireBuffer> received;
};

TEST_F(DataPlaneClientTest, RecordsEveryOrderDecodedAndConfirmsRequests) {
    connect();
    // The create order's texts and the transmit order's codes are pinned where the daemon sends them.
    toClient(message(Client::OUTPUT_CONFIG_CREATE_RREQ, 544, {{4, 7}, {8, 42}}));
    WireBuffer transmit = message(
        Client::OUTPUT_TRANSMIT_SSM_IND, 48,
        {{4, 7}, {12, 0x2}, {16, 0x21}, {24, 0x00112233}, {28, 0x44556677}, {32, 2}, {36, 1}, {40, 3}});
    toClient(transmit);
    toClient(message(Client::OUTPUT_ESMC_CONTROL_IND, 16, {{4, 7}, {12, 1}}));
    toClient(message(Client::OUTPUT_CONFIG_REMOVE_RREQ, 12, {{4, 7}}));
    ASSERT_TRUE(until([&] { return client.orders().size() == 4 && received.size() == 2; }));

    const std::vector<Order>& orders = client.orders();
    EXPECT_EQ(Order::OUTPUT_CREATE, orders[0].kind);
    EXPECT_EQ(7u, orders[0].procedureReference);
    EXPECT_EQ(42u, orders[0].connectionReference);
    EXPECT_EQ(Order::TRANSMIT_SSM, orders[1].kind);
    EXPECT_EQ(0x0011223344556677ull, orders[1].syncEMasterId);
    EXPECT_EQ(2u, orders[1].flag);
    EXPECT_EQ(1u, orders[1].numberCascadedEnhancedEec);
    EXPECT_EQ(3u, orders[1].numberCascadedEec);
    EXPECT_EQ(Order::ESMC_CONTROL, orders[2].kind);
    EXPECT_EQ(1u, orders[2].output);
    EXPECT_EQ(Order::OUTPUT_REMOVE, orders[3].kind);

    // Requests are confirmed with their procedureReference and the reference of the confirmation;
    // indications are not answered.
    const std::vector<uint8_t> createConfirm =
        message(Client::OUTPUT_CONFIG_CREATE_RCFM, 12, {{4, 7}, {8, SERVER_REFERENCE}}).bytes();
    const std::vector<uint8_t> removeConfirm =
        message(Client::OUTPUT_CONFIG_REMOVE_RCFM, 12, {{4, 7}, {8, SERVER_REFERENCE}}).bytes();
    EXPECT_EQ(createConfirm, received[0].bytes());
    EXPECT_EQ(removeConfirm, received[1].bytes());
}

TEST_F(DataPlaneClientTest, RejectsCreateAndChangeOnRequestButConfirmsRemoval) {
    connect();
    client.rejectConfigRequests(5);
    toClient(message(Client::OUTPUT_CONFIG_CHANGE_RREQ, 544, {{4, 9}}));
    toClient(message(Client::OUTPUT_CONFIG_REMOVE_RREQ, 12, {{4, 9}}));
    ASSERT_TRUE(until([&] { return received.size() == 2; }));
    EXPECT_EQ(
        message(Client::OUTPUT_CONFIG_CHANGE_RREJ, 16, {{4, 9}, {8, SERVER_REFERENCE}, {12, 5}}).bytes(),
        received[0].bytes());
    EXPECT_EQ(Client::OUTPUT_CONFIG_REMOVE_RCFM, received[1].msgno());
    EXPECT_TRUE(client.orders()[0].rejected);
}

TEST_F(DataPlaneClientTest, ForwardsAMacAddressAsSixRawBytes) {
    EXPECT_FALSE(client.forwardMacAddress("02:1a:ff:00:0b:7c"));  // not connected yet
    connect();
    EXPECT_FALSE(client.forwardMacAddress("02:1a:ff:00:0b"));
    ASSERT_TRUE(client.forwardMacAddress("02:1a:ff:00:0b:7c", 3));
    ASSERT_TRUE(until([&] { return !received.empty(); }));
    WireBuffer expected = message(Client::OUTPUT_MAC_ADDRESS_FWD, 20, {{4, 3}, {8, SERVER_REFERENCE}});
    const uint8_t mac[6] = {0x02, 0x1A, 0xFF, 0x00, 0x0B, 0x7C};
    expected.putBytes(12, mac, 6);
    EXPECT_EQ(expected.bytes(), received[0].bytes());
}

TEST_F(DataPlaneClientTest, DropsMalformedAndUnexpectedMessagesWithAWarning) {
    connect();
    const WireBuffer bad[] = {
        message(Client::OUTPUT_CONFIG_CREATE_RREQ, 543, {{4, 1}}),  // one byte short
        message(Client::OUTPUT_TRANSMIT_SSM_IND, 47, {{4, 1}}),
        message(Client::OUTPUT_CONFIG_CREATE_RCFM, 12, {{4, 1}}),     // only clients send it
        message(Client::CONNECTION_ESTABLISHMENT_CFM, 16, {{4, 1}}),  // no request is waiting
    };
    for (const WireBuffer& bytes : bad)
        toClient(bytes);
    ASSERT_TRUE(until([&] { return client.warnings().size() == 4; }));
    EXPECT_TRUE(client.orders().empty());
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(State::CONNECTED, client.state());
}

TEST_F(DataPlaneClientTest, ConnectsAgainWhenTheDaemonComesBack) {
    connect();
    const uint32_t first = daemon->id();
    daemon.reset();
    ASSERT_TRUE(until([&] { return client.state() == State::WAIT_FOR_SERVER; }));
    startDaemon();
    ASSERT_TRUE(until([&] { return !received.empty(); }));
    EXPECT_EQ(Client::CONNECTION_ESTABLISHMENT_REQ, received[0].msgno());
    EXPECT_NE(first, client.serverPid());
    EXPECT_EQ(daemon->id(), client.serverPid());
}

}  // namespace
}  // namespace SyncPeers
