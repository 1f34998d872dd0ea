// sync-sim as a program: how it ends when a scenario is bad or a wait runs out. (The demo scenario
// against the daemon is played by the installation test, sync-sim serving the wire tests.)
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PrivateBus.h"
#include "TempDir.h"

namespace {

using E2e::ChildProcess;
using E2e::ExitStatus;
using E2e::TempDir;

TEST(SyncSimTest, BadScenariosAndUnmetWaitsEndSyncSimWithAClearMessage) {
    PrivateBus bus;
    ASSERT_TRUE(bus.running());
    TempDir dir("sync-sim");
    ASSERT_FALSE(dir.path().empty());
    const std::string table = "port fronthaul 1 02:00:5e:10:00:01 TnPort-A eth-a locked disabled\n";
    struct Case {
        std::string scenario;
        int code;
        std::string message;
    };
    // No daemon runs on this bus, so the data-plane client never connects.
    const std::vector<Case> cases = {
        {table + "rec-create\nwait orders TRANSMITSSM 1 1s\n", 2, "line 3: order kind must be one of"},
        {table + "wait connected 300ms\nexit\n", 1,
         "line 2 (wait connected 300ms): not reached within 300 ms: the data-plane client is waiting for "
         "the daemon"},
        {table + "mac-forward 02:00:00:00:00:01\n", 1,
         "line 2 (mac-forward 02:00:00:00:00:01): the data-plane "
         "client is not connected"},
        {table + "rec-create   # nobody subscribed\nexit\n", 0, "step 2: rec-create"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].scenario);
        const std::string path = dir.file("case" + std::to_string(i) + ".scn");
        std::ofstream(path) << cases[i].scenario;
        const ChildProcess::Result result =
            ChildProcess::run({SYNC_SIM_PATH, path}, std::chrono::seconds(30));
        ASSERT_TRUE(result.status.has_value()) << result.output;
        EXPECT_EQ(*result.status, ExitStatus::exitedWith(cases[i].code)) << result.output;
        EXPECT_NE(result.output.find(cases[i].message), std::string::npos) << result.output;
    }
}

}  // namespace
