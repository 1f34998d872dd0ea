#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DataPlaneClient.h"
#include "DataPlaneRecorder.h"
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
        client.setListener(&heard);
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
    SyncSim::DataPlaneRecorder heard;
    std::vector<WireBuffer> received;
};

// Every field of every order where the daemon writes it, each with a value of its own, so that a
// field read from another's place shows; requests are answered with their own confirmation, or on
// request their own rejection (removals have none), indications not at all.
TEST_F(DataPlaneClientTest, DecodesEveryFieldOfEveryOrderAndAnswersEachRequestWithItsOwnNumbers) {
    connect();
    const WireBuffer transmit = message(
        Client::OUTPUT_TRANSMIT_SSM_IND, 48,
        {{4, 7}, {12, 0x2}, {16, 0x21}, {24, 0x00112233}, {28, 0x44556677}, {32, 0x8}, {36, 1}, {40, 3}});
    const struct {
        WireBuffer order;  // the output (or input) id is the case's number, from 1
        std::string decoded;
        uint32_t confirm;
        uint32_t reject;
    } cases[] = {
        {message(Client::OUTPUT_CONFIG_CREATE_RREQ, 544, {{4, 1}, {8, 42}},
                 {{12, "fh1"}, {268, "m1"}, {288, "n1"}}),
         "OUTPUT_CREATE id=1 interfaceName=fh1 macAddress=m1 networkNameSpace=n1",
         Client::OUTPUT_CONFIG_CREATE_RCFM, Client::OUTPUT_CONFIG_CREATE_RREJ},
        {message(Client::OUTPUT_CONFIG_CHANGE_RREQ, 544, {{4, 2}}, {{12, "fh2"}, {268, "m2"}, {288, "n2"}}),
         "OUTPUT_CHANGE id=2 interfaceName=fh2 macAddress=m2 networkNameSpace=n2",
         Client::OUTPUT_CONFIG_CHANGE_RCFM, Client::OUTPUT_CONFIG_CHANGE_RREJ},
        {message(Client::INPUT_CONFIG_CREATE_RREQ, 804, {{4, 3}, {12, 33}},
                 {{16, "l3"}, {272, "fh3"}, {528, "m3"}, {548, "n3"}}),
         "INPUT_CREATE id=3 rhaiPortId=33 ldn=l3 interfaceName=fh3 macAddress=m3 networkNameSpace=n3",
         Client::INPUT_CONFIG_CREATE_RCFM, Client::INPUT_CONFIG_CREATE_RREJ},
        {message(Client::INPUT_CONFIG_CHANGE_RREQ, 804, {{4, 4}, {12, 44}},
                 {{16, "l4"}, {272, "fh4"}, {528, "m4"}, {548, "n4"}}),
         "INPUT_CHANGE id=4 rhaiPortId=44 ldn=l4 interfaceName=fh4 macAddress=m4 networkNameSpace=n4",
         Client::INPUT_CONFIG_CHANGE_RCFM, Client::INPUT_CONFIG_CHANGE_RREJ},
        {message(Client::OUTPUT_CONFIG_REMOVE_RREQ, 12, {{4, 5}}), "OUTPUT_REMOVE id=5",
         Client::OUTPUT_CONFIG_REMOVE_RCFM, 0},
        {message(Client::INPUT_CONFIG_REMOVE_RREQ, 12, {{4, 6}}), "INPUT_REMOVE id=6",
         Client::INPUT_CONFIG_REMOVE_RCFM, 0},
        {transmit,
         "TRANSMIT_SSM id=7 ssmCode=0x02 enhancedSsmCode=0x21 syncEMasterId=0x0011223344556677 flag=0x08 "
         "numberCascadedEnhancedEec=1 numberCascadedEec=3",
         0, 0},
        {message(Client::OUTPUT_ESMC_CONTROL_IND, 16, {{4, 8}, {12, 1}}),
         "ESMC_CONTROL id=8 output=1 (transmit)", 0, 0},
    };
    for (const uint32_t errorCode : {0u, 5u}) {
        heard.rejectConfigRequests(errorCode);
        const size_t from = heard.orders().size();
        received.clear();
        for (const auto& c : cases)
            toClient(c.order);
        ASSERT_TRUE(until([&] { return heard.orders().size() == from + 8 && received.size() == 6; }));
        for (uint32_t id = 1, answered = 0; id <= std::size(cases); ++id) {
            const auto& c = cases[id - 1];
            EXPECT_EQ(c.decoded, heard.orders()[from + id - 1].describe());
            if (c.confirm == 0)
                continue;
            const WireBuffer expected =
                errorCode != 0 && c.reject != 0
                    ? message(c.reject, 16, {{4, id}, {8, SERVER_REFERENCE}, {12, errorCode}})
                    : message(c.confirm, 12, {{4, id}, {8, SERVER_REFERENCE}});
            EXPECT_EQ(expected.bytes(), received[answered++].bytes()) << c.decoded;
        }
    }
    EXPECT_EQ(42u, heard.orders()[0].connectionReference);
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
    ASSERT_TRUE(until([&] { return heard.warnings().size() == 4; }));
    EXPECT_TRUE(heard.orders().empty());
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
