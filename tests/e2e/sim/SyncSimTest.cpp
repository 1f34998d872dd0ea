// sync-sim as a program: the demo scenario played against the daemon binary on a private bus, and
// how sync-sim ends when a scenario is bad or a wait runs out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "DaemonProcess.h"
#include "PrivateBus.h"
#include "TempDir.h"

namespace {

using E2e::ChildProcess;
using E2e::DaemonProcess;
using E2e::ExitStatus;
using E2e::TempDir;

struct OutputOrders {
    std::map<std::string, std::string> interfaceOf;   // output id -> interface of its OUTPUT_CREATE
    std::map<std::string, std::string> lastTransmit;  // output id -> codes of its last TRANSMIT_SSM
    std::map<std::string, std::string> lastEsmc;      // output id -> its last ESMC_CONTROL output
};

// The order lines sync-sim printed, by output id.
OutputOrders ordersIn(const std::string& text) {
    static const std::regex create("^order: OUTPUT_CREATE id=(\\d+) interfaceName=(\\S+) .*$");
    static const std::regex transmit(
        "^order: TRANSMIT_SSM id=(\\d+) (ssmCode=\\S+ enhancedSsmCode=\\S+) .*$");
    static const std::regex esmc("^order: ESMC_CONTROL id=(\\d+) output=(\\d+).*$");
    OutputOrders orders;
    std::istringstream lines(text);
    std::smatch m;
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_match(line, m, create))
            orders.interfaceOf[m[1]] = m[2];
        else if (std::regex_match(line, m, transmit))
            orders.lastTransmit[m[1]] = m[2];
        else if (std::regex_match(line, m, esmc))
            orders.lastEsmc[m[1]] = m[2];
    }
    return orders;
}

TEST(SyncSimTest, DemoScenarioDrivesTheDaemonToFourTransmittingOutputs) {
    PrivateBus bus;
    ASSERT_TRUE(bus.running());
    int pipeFds[2];
    ASSERT_EQ(pipe2(pipeFds, O_CLOEXEC), 0);
    ChildProcess sim({{SYNC_SIM_PATH, SYNC_DEMO_SCENARIO}, {}, pipeFds[1]});
    close(pipeFds[1]);
    ASSERT_TRUE(sim.started());
    DaemonProcess daemon;
    ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();

    // sync-sim says when its scenario, whose last wait is for the four ESMC orders, is done; then it
    // serves on until it is stopped.
    std::string output;
    auto readUntilDone = [&] {
        char chunk[4096];
        const ssize_t got = read(pipeFds[0], chunk, sizeof chunk);
        if (got > 0)
            output.append(chunk, static_cast<size_t>(got));
        return got <= 0 || output.find("scenario done") != std::string::npos;
    };
    const auto endedEarly = sim.waitExit(std::chrono::seconds(90), pipeFds[0], readUntilDone);
    EXPECT_FALSE(endedEarly.has_value()) << endedEarly->describe();
    EXPECT_TRUE(daemon.running()) << daemon.output();
    EXPECT_EQ(sim.stop(), ExitStatus::exitedWith(0));
    EXPECT_EQ(daemon.stop(), ExitStatus::killedBy(SIGTERM)) << daemon.output();
    // sync-sim has ended, so the pipe ends after what it still wrote.
    char chunk[4096];
    for (ssize_t got; (got = read(pipeFds[0], chunk, sizeof chunk)) > 0;)
        output.append(chunk, static_cast<size_t>(got));
    close(pipeFds[0]);
    ASSERT_NE(output.find("scenario done; serving until SIGTERM or SIGINT"), std::string::npos) << output;

    const OutputOrders orders = ordersIn(output);
    std::vector<std::string> interfaces;
    for (const auto& created : orders.interfaceOf) {
        interfaces.push_back(created.second);
        const std::string& id = created.first;
        EXPECT_EQ(orders.lastTransmit.count(id) ? orders.lastTransmit.at(id) : "none",
                  "ssmCode=0x02 enhancedSsmCode=0x21")
            << "output " << id << "\n"
            << output;
        EXPECT_EQ(orders.lastEsmc.count(id) ? orders.lastEsmc.at(id) : "none", "1") << "output " << id << "\n"
                                                                                    << output;
    }
    std::sort(interfaces.begin(), interfaces.end());
    EXPECT_EQ(interfaces, (std::vector<std::string>{"eth-fh-a", "eth-fh-b", "eth-fh-c", "eth-fh-d"}))
        << output;
}

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
