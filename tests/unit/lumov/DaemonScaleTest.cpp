// The port factory's bound reached through the port-control server: the refused port is skipped and
// the daemon runs on.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "DaemonHarness.h"

namespace Sync {
namespace Test {
namespace {

class DaemonScaleTest : public DaemonTest {};

std::string portName(uint32_t n) {
    char name[16];
    std::snprintf(name, sizeof name, "P%05u", n);
    return name;
}

TEST_F(DaemonScaleTest, The65536thPortIsRefusedAndCaughtAndTheRestGoesOn) {
    constexpr uint32_t MAX_PORTS = 65535;
    iepcsiUp();
    takeSentTo(IEPCSI);
    // Formatting every trace of 65535 ports would only slow the test down.
    capture.reset();
    std::vector<PortRecord> records;
    for (uint32_t n = 1; n <= MAX_PORTS; ++n) {
        records.push_back({0x4, n, {2, 0, 0, 0, uint8_t(n >> 8), uint8_t(n)}, portName(n), "eth"});
    }
    deliver(IEPCSI, portSupport(records));
    const auto subscriptions = takeSentTo(IEPCSI);
    ASSERT_EQ(MAX_PORTS, subscriptions.size());

    // One port too many, then a known port with a new interface name: the first is refused, the second
    // still handled.
    capture = std::make_unique<TraceCapture>();
    deliver(IEPCSI, portSupport({{0x4, 70000, {2, 0, 0, 0, 0, 1}, "P65536", "ethX"},
                                 {0x4, 1, {2, 0, 0, 0, 0, 1}, portName(1), "ethY"}}));
    EXPECT_EQ(1u, traces().count(TL_ERROR,
                                 "Caught exception: Maximum number of entities already created. max: 65535"))
        << traces().dump();
    EXPECT_TRUE(takeSentTo(IEPCSI).empty()) << "neither port subscribes";
    EXPECT_TRUE(traces().contains(TL_ENTER, "interfaceName: ethY"));

    // The ports found by their id are the ones created: the last one answers its status.
    const uint32_t lastPort = be32At(subscriptions.back(), 4);
    traces().clear();
    portStatus(lastPort, true, true, portName(MAX_PORTS), "ns1");
    EXPECT_FALSE(traces().contains(TL_RETURN, "Port not found"));
    EXPECT_TRUE(traces().contains(TL_ENTER, "networkNamespace: ns1"));
}

}  // namespace
}  // namespace Test
}  // namespace Sync
