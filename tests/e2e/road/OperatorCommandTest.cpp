// The operator's `synclumovcontrol` run as a program against the daemon binary on a private bus,
// with the port-control and sync-control peers giving the daemon something to print; sync-sim
// without a daemon (the command's own failures: tests/e2e/operator/).
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "Road.h"
#include "TempDir.h"

namespace {

using E2e::ChildProcess;
using E2e::FronthaulScript;

constexpr int kPorts = 40;

std::string portName(int n) {
    return (n < 10 ? "TnPort-0" : "TnPort-") + std::to_string(n);
}

std::vector<FronthaulScript::Port> table() {
    std::vector<FronthaulScript::Port> ports;
    for (int n = 1; n <= kPorts; ++n) {
        ports.push_back(
            FronthaulScript::port(static_cast<size_t>(n), portName(n), "eth" + std::to_string(n), "ns"));
        // Every other port stays locked, so its output is not active.
        ports.back().adminState = n % 2 == 1 ? 1 : 0;
    }
    return ports;
}

class OperatorCommandTest : public E2e::Road {
  protected:
    OperatorCommandTest() : Road(table()) {}

    // The answer to `info what`, which must succeed.
    std::string answer(const std::string& what) {
        const ChildProcess::Result result = info(what);
        EXPECT_TRUE(result.succeeded()) << result.describe({"synclumovcontrol", "info", what});
        return result.output;
    }
};

TEST_F(OperatorCommandTest, WithoutADaemonSyncSimSaysSoAndWithItEveryWordIsAnsweredInFull) {
    // sync-sim while no daemon runs: it says what is wrong, if anything, and ends with its code. Its
    // data-plane client never connects then.
    E2e::TempDir dir("sync-sim");
    const std::string table = "port fronthaul 1 02:00:5e:10:00:01 TnPort-A eth-a locked disabled\n";
    const std::string scenarios[] = {
        table + "rec-create\nwait orders TRANSMITSSM 1 1s\n", table + "wait connected 300ms\nexit\n",
        table + "mac-forward 02:00:00:00:00:01\n", table + "rec-create   # nobody subscribed\nexit\n"};
    for (size_t i = 0; i < 4; ++i)
        std::ofstream(dir.file(std::to_string(i))) << scenarios[i];
    const struct {
        std::vector<std::string> argv;
        int code;
        std::string message;
    } cases[] = {
        {{SYNC_SIM_PATH, dir.file("0")}, 2, "line 3: order kind must be one of"},
        {{SYNC_SIM_PATH, dir.file("1")},
         1,
         "line 2 (wait connected 300ms): not reached within 300 ms: the data-plane client is waiting for the "
         "daemon"},
        {{SYNC_SIM_PATH, dir.file("2")},
         1,
         "line 2 (mac-forward 02:00:00:00:00:01): the data-plane client is not connected"},
        {{SYNC_SIM_PATH, dir.file("3")}, 0, "step 2: rec-create"},
    };
    for (const auto& [argv, code, message] : cases) {
        SCOPED_TRACE(message);
        const ChildProcess::Result result = ChildProcess::run(argv, std::chrono::seconds(30));
        EXPECT_EQ(result.status, E2e::ExitStatus::exitedWith(code)) << result.output;
        EXPECT_NE(result.output.find(message), std::string::npos) << result.output;
    }

    openPorts();
    openSync();
    daemon_ = std::make_unique<E2e::DaemonProcess>();
    ASSERT_TRUE(daemon_->waitUntilReady()) << daemon_->output();
    ASSERT_TRUE(serveUntil([&] {
        return ports_->subscriptions().size() == static_cast<size_t>(kPorts) &&
               sync_->subscriptions().size() >= 3;
    })) << daemon_->output();
    // These reach the daemon's mailbox before the command program even starts, so every command
    // below is answered after the daemon has handled them.
    sync_->sendRecCreate();
    ports_->sendAllPortStatus();

    // Every port in order, in an answer that spans several pieces and arrives whole.
    const std::string ethernet = answer("ethernet");
    EXPECT_GT(ethernet.size(), 4095u) << "the answer must span several pieces";
    EXPECT_NE(ethernet.find("****************** Subscribing EthernetPort MO ******************"),
              std::string::npos);
    EXPECT_NE(ethernet.find(" #Total subscribing EthernetPort MO: " + std::to_string(kPorts)),
              std::string::npos);
    size_t previous = 0;
    for (int n = 1; n <= kPorts; ++n) {
        const size_t at = ethernet.find(portName(n));
        ASSERT_NE(at, std::string::npos) << portName(n) << " missing";
        EXPECT_GT(at, previous) << portName(n) << " out of order";
        previous = at;
    }
    EXPECT_NE(ethernet.rfind("completed at "), std::string::npos);
    EXPECT_GT(ethernet.rfind("completed at "), previous);

    // Feature, active outputs, ports and completion, in that order.
    const std::string all = answer("all");
    size_t at = 0;
    for (const char* block :
         {"********************** Output Feature Info **********************",
          "************************* SyncEthOutput *************************",
          " #Displaying only active output(s): ",
          "****************** Subscribing EthernetPort MO ******************", "completed at "}) {
        const size_t found = all.find(block, at);
        ASSERT_NE(found, std::string::npos) << block << " missing or out of order\n" << all;
        at = found;
    }
    EXPECT_NE(all.find(" #Total SyncEthOutput: " + std::to_string(kPorts)), std::string::npos) << all;

    for (int call = 0; call < 10; ++call)
        EXPECT_NE(answer("feature").find("Output Feature Info"), std::string::npos) << "call " << call;
}

}  // namespace
