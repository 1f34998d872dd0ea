// Mailboxes in two processes: the test and an echo peer started as a child.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PrivateBus.h"
#include "TestPeer.h"

namespace {

using E2e::ChildProcess;
using E2e::ExitStatus;
using E2e::TestPeer;

const char* const kEchoName = "e2e-echo";
constexpr uint32_t kPing = 0x7000;
constexpr uint32_t kPeerDown = 0x7DEAD;

class TwoProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus_.running()) << "dbus-daemon did not start";
        ASSERT_TRUE(tester_.ok());
        ASSERT_TRUE(echo_.started());
        auto id = tester_.locate(kEchoName);
        ASSERT_TRUE(id) << echo_.output();
        echoId_ = *id;
    }

    PrivateBus bus_;
    TestPeer tester_{"e2e-tester"};
    ChildProcess echo_{{SYNC_ECHO_PEER_PATH, kEchoName}};
    uint32_t echoId_ = 0;
};

// Message i: its own number, a size from the table, and bytes that depend on i and their offset.
std::vector<uint8_t> numbered(uint32_t i) {
    static const std::size_t kSizes[] = {4, 5, 12, 255, 4096, 65539};
    const std::size_t size = kSizes[i % (sizeof kSizes / sizeof kSizes[0])];
    std::vector<uint8_t> payload(size - 4);
    for (std::size_t k = 0; k < payload.size(); ++k) {
        payload[k] = static_cast<uint8_t>(i * 31 + k);
    }
    return TestPeer::message(kPing + i, size, payload);
}

TEST_F(TwoProcessTest, MessagesGoAndComeBackWholeAndInOrder) {
    constexpr uint32_t kCount = 300;
    for (uint32_t i = 0; i < kCount; ++i) {
        tester_.send(echoId_, numbered(i));
    }
    for (uint32_t i = 0; i < kCount; ++i) {
        auto echoed = tester_.receive();
        ASSERT_TRUE(echoed) << "message " << i << " did not come back\n" << echo_.output();
        EXPECT_EQ(echoed->sender, echoId_);
        ASSERT_EQ(echoed->bytes, numbered(i)) << "message " << i;
    }
    EXPECT_TRUE(echo_.running());
}

TEST_F(TwoProcessTest, MonitorFiresWhenThePeerProcessIsKilled) {
    ASSERT_NE(tester_.monitor(echoId_, kPeerDown), 0u);
    // An echo that comes back first shows the monitor found the peer alive.
    tester_.send(echoId_, TestPeer::message(kPing, 4));
    auto echoed = tester_.receive();
    ASSERT_TRUE(echoed);
    EXPECT_EQ(echoed->msgno(), kPing);

    ASSERT_TRUE(echo_.signal(SIGKILL));
    EXPECT_EQ(echo_.waitExit(std::chrono::seconds(5)), ExitStatus::killedBy(SIGKILL));

    auto down = tester_.receive();
    ASSERT_TRUE(down);
    EXPECT_EQ(down->msgno(), kPeerDown);
    EXPECT_EQ(down->sender, echoId_);
    EXPECT_FALSE(tester_.receive(std::chrono::milliseconds(0)));
}

}  // namespace
