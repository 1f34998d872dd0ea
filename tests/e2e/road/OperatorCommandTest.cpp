// The operator's `synclumovcontrol` run as a program against the daemon binary on a private bus,
// with the port-control and sync-control peers giving the daemon something to print.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "Command.h"
#include "DaemonProcess.h"
#include "PortControlServer.h"
#include "PrivateBus.h"
#include "SyncControlServer.h"

namespace {

using E2e::Command;
using E2e::DaemonProcess;
using SyncTools::PortControlServer;
using SyncTools::SyncControlServer;

constexpr int kPorts = 40;

std::string portName(int n) {
    char name[16];
    std::snprintf(name, sizeof name, "TnPort-%02d", n);
    return name;
}

class OperatorCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus_.running());
        std::vector<PortControlServer::Port> table;
        for (int n = 1; n <= kPorts; ++n) {
            PortControlServer::Port port;
            port.rhaiId = static_cast<uint32_t>(n);
            port.macAddress = {0x02, 0, 0, 0, 0, static_cast<uint8_t>(n)};
            port.portName = portName(n);
            port.interfaceName = "eth" + std::to_string(n);
            port.networkNamespace = "ns";
            // Every other port stays locked, so its output is not active.
            port.adminState = n % 2 == 1 ? 1 : 0;
            table.push_back(port);
        }
        ports_.setPorts(table);
        ASSERT_TRUE(ports_.open()) << ports_.lastError();
        ASSERT_TRUE(sync_.open()) << sync_.lastError();
        ASSERT_TRUE(daemon_.waitUntilReady()) << daemon_.output();
        ASSERT_TRUE(serveUntil([&] {
            return ports_.subscriptions().size() == static_cast<size_t>(kPorts) &&
                   sync_.subscriptions().size() >= 3;
        })) << daemon_.output();
        sync_.sendRecCreate();
        ports_.sendAllPortStatus();
        // These reach the daemon's mailbox before the command program even starts, so every command
        // below is answered after the daemon has handled them.
    }

    bool serveUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            ports_.processOnce(10);
            sync_.processOnce(10);
        }
        return true;
    }

    static Command::Result info(const std::string& what) {
        return Command::run({SYNC_COMMAND_PATH, "info", what}, std::chrono::seconds(30));
    }

    PrivateBus bus_;
    PortControlServer ports_;
    SyncControlServer sync_;
    DaemonProcess daemon_;
};

TEST_F(OperatorCommandTest, EthernetListsEveryPortInOrderAndALongAnswerArrivesWhole) {
    const Command::Result result = info("ethernet");
    ASSERT_TRUE(result.succeeded()) << result.describe({"synclumovcontrol", "info", "ethernet"});
    const std::string& out = result.output;
    EXPECT_GT(out.size(), 4095u) << "the answer must span several pieces";
    EXPECT_NE(out.find("****************** Subscribing EthernetPort MO ******************"),
              std::string::npos);
    EXPECT_NE(out.find(" #Total subscribing EthernetPort MO: " + std::to_string(kPorts)), std::string::npos);
    size_t previous = 0;
    for (int n = 1; n <= kPorts; ++n) {
        const size_t at = out.find(portName(n));
        ASSERT_NE(at, std::string::npos) << portName(n) << " missing";
        EXPECT_GT(at, previous) << portName(n) << " out of order";
        previous = at;
    }
    EXPECT_NE(out.rfind("completed at "), std::string::npos);
    EXPECT_GT(out.rfind("completed at "), previous);
}

TEST_F(OperatorCommandTest, AllShowsFeatureActiveOutputsPortsAndCompletion) {
    const Command::Result result = info("all");
    ASSERT_TRUE(result.succeeded()) << result.describe({"synclumovcontrol", "info", "all"});
    const std::string& out = result.output;
    const size_t feature = out.find("********************** Output Feature Info **********************");
    const size_t outputs = out.find("************************* SyncEthOutput *************************");
    const size_t active = out.find(" #Displaying only active output(s): ");
    const size_t portsBlock = out.find("****************** Subscribing EthernetPort MO ******************");
    const size_t completed = out.find("completed at ");
    ASSERT_NE(feature, std::string::npos) << out;
    ASSERT_NE(outputs, std::string::npos) << out;
    ASSERT_NE(active, std::string::npos) << out;
    ASSERT_NE(portsBlock, std::string::npos) << out;
    ASSERT_NE(completed, std::string::npos) << out;
    EXPECT_LT(feature, outputs);
    EXPECT_LT(outputs, active);
    EXPECT_LT(active, portsBlock);
    EXPECT_LT(portsBlock, completed);
    EXPECT_NE(out.find(" #Total SyncEthOutput: " + std::to_string(kPorts)), std::string::npos) << out;
}

TEST_F(OperatorCommandTest, TenCallsInARowAllAnswer) {
    for (int call = 0; call < 10; ++call) {
        const Command::Result result = info("feature");
        ASSERT_TRUE(result.succeeded())
            << "call " << call << ": " << result.describe({"synclumovcontrol", "info", "feature"});
        EXPECT_NE(result.output.find("Output Feature Info"), std::string::npos) << result.output;
    }
}

TEST_F(OperatorCommandTest, AWrongWordGetsTheUsageAnswer) {
    const Command::Result result = info("everything");
    ASSERT_TRUE(result.succeeded()) << result.describe({"synclumovcontrol", "info", "everything"});
    EXPECT_NE(result.output.find("Incorrect arg: everything \n\nusage:\n\n synclumovcontrol info [ feature | "
                                 "output | ethernet | all ]"),
              std::string::npos)
        << result.output;
}

}  // namespace

namespace {

TEST(OperatorCommandWithoutDaemon, SaysSoAndFailsWhenNoDaemonRegisters) {
    PrivateBus bus;
    ASSERT_TRUE(bus.running());
    const auto started = std::chrono::steady_clock::now();
    const Command::Result result = Command::run({SYNC_COMMAND_PATH, "info", "all"}, std::chrono::seconds(30));
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(result.status.has_value()) << "still running after 30 s";
    EXPECT_TRUE(result.status->exited());
    EXPECT_FALSE(result.succeeded()) << result.output;
    EXPECT_NE(result.output.find("no daemon"), std::string::npos) << result.output;
    EXPECT_GE(took, std::chrono::seconds(3)) << "gave up before the 3 s it promises";
}

TEST(OperatorCommandWithoutDaemon, HelpExplainsTheCommand) {
    const Command::Result result = Command::run({SYNC_COMMAND_PATH, "--help"}, std::chrono::seconds(10));
    ASSERT_TRUE(result.succeeded()) << result.output;
    EXPECT_NE(result.output.find("info [ feature | output | ethernet | all ]"), std::string::npos)
        << result.output;
}

}  // namespace
