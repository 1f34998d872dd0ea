// A port-control server that floods the daemon with 100000 status indications in one go, all saying
// what the daemon already knows of a locked port (an unlocked one would have each indication repeat
// the output's configuration to the data plane). It reads them all without a warning, gives the data
// plane no order, and answers the operator and the other peers afterwards as before.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "HostileRoad.h"

namespace {

using E2e::HostileRoad;
using SyncTools::PortControlServer;

constexpr size_t kBurst = 100000;

TEST(PortStatusBurstTest, HundredThousandIndicationsChangeNothing) {
    HostileRoad road;
    ASSERT_TRUE(road.start()) << road.why();
    PortControlServer& ports = road.ports();
    ASSERT_TRUE(ports.setPortState(HostileRoad::kPortA, 2, 1));
    ports.sendPortStatus(HostileRoad::kPortA);
    road.rebase();
    const size_t orders = road.dataPlane().orders().size();
    const std::string before = road.info();

    const auto started = std::chrono::steady_clock::now();
    size_t sent = 0;
    while (sent < kBurst)
        sent += ports.sendPortStatus(HostileRoad::kPortA);
    // The command is answered only after every indication before it was handled.
    // A sanitized daemon on a loaded machine takes its time: the bound is generous.
    const std::string after = road.info(std::chrono::minutes(4));
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    RecordProperty("burst_ms", static_cast<int>(took.count()));
    std::printf("%zu status indications sent and handled in %lld ms\n", sent,
                static_cast<long long>(took.count()));

    EXPECT_EQ(after, before);
    road.settle(50);
    EXPECT_EQ(road.dataPlane().orders().size(), orders);
    EXPECT_TRUE(road.daemon().running()) << road.daemon().output();
    // Unlocked again, the port is where the other tests start from.
    ASSERT_TRUE(ports.setPortState(HostileRoad::kPortA, 1, 1));
    ports.sendPortStatus(HostileRoad::kPortA);
    ASSERT_TRUE(road.serveUntil([&] { return road.dataPlane().orders().size() > orders; }));
    road.rebase();
    road.checkStillServes();
    road.checkTraces();
}

}  // namespace
