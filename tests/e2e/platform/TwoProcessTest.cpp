// Mailboxes in two processes: the test and a peer host echoing every message, started as a child. (A monitor
// on a mailbox whose process is killed is shown by the peer restarts of the fronthaul tests.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PrivateBus.h"
#include "TestPeer.h"

namespace {

using E2e::TestPeer;

// Message i: its own number, a size from the table, and bytes that depend on i and their offset.
std::vector<uint8_t> numbered(uint32_t i) {
    static const std::size_t kSizes[] = {4, 5, 12, 255, 4096, 65539};
    const std::size_t size = kSizes[i % (sizeof kSizes / sizeof kSizes[0])];
    std::vector<uint8_t> payload(size - 4);
    for (std::size_t k = 0; k < payload.size(); ++k)
        payload[k] = static_cast<uint8_t>(i * 31 + k);
    return TestPeer::message(0x7000 + i, size, payload);
}

TEST(TwoProcessTest, MessagesGoAndComeBackWholeAndInOrder) {
    PrivateBus bus;
    ASSERT_TRUE(bus.running()) << "dbus-daemon did not start";
    TestPeer tester("e2e-tester");
    ASSERT_TRUE(tester.ok());
    E2e::ChildProcess echo({SYNC_PEER_HOST_PATH, "echo", "e2e-echo"});
    const auto echoId = tester.locate("e2e-echo");
    ASSERT_TRUE(echoId) << echo.output();
    constexpr uint32_t kCount = 300;
    for (uint32_t i = 0; i < kCount; ++i)
        tester.send(*echoId, numbered(i));
    for (uint32_t i = 0; i < kCount; ++i) {
        auto echoed = tester.receive();
        ASSERT_TRUE(echoed) << "message " << i << " did not come back\n" << echo.output();
        EXPECT_EQ(echoed->sender, *echoId);
        ASSERT_EQ(echoed->bytes, numbered(i)) << "message " << i;
    }
    EXPECT_TRUE(echo.running());
}

}  // namespace
