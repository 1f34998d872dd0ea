// The daemon binary under valgrind's memcheck for the whole road: discovery of the three peers,
// outputs for four fronthaul ports with transmit orders, a quality change, the REC's deletion (which
// removes the outputs), then SIGTERM, which nothing in the daemon catches. Memcheck ends the daemon at
// its first error with its own exit code, and reports leaks when the signal ends it: any error or
// definitely lost block fails the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "DaemonProcess.h"
#include "DataPlaneClient.h"
#include "PortControlServer.h"
#include "PrivateBus.h"
#include "SyncControlServer.h"
#include "TempDir.h"

namespace {

using E2e::DaemonProcess;
using E2e::ExitStatus;
using E2e::TempDir;
using SyncTools::DataPlaneClient;
using SyncTools::PortControlServer;
using SyncTools::SyncControlServer;

constexpr int kValgrindErrorExit = 97;
constexpr size_t kPorts = 4;
constexpr uint32_t kQualityEprtc = 20;
constexpr uint32_t kQualityPrtc = 18;
constexpr uint32_t kEnhancedSsmPrtc = 0x20;
// Memcheck runs the daemon some 20-50 times slower than natively.
constexpr std::chrono::seconds kStepLimit(60);

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class WholeRoadUnderValgrindTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus_.running());
        std::vector<PortControlServer::Port> ports;
        for (size_t i = 0; i < kPorts; ++i) {
            PortControlServer::Port port;
            port.role = PortControlServer::ROLE_C2;
            port.rhaiId = static_cast<uint32_t>(10 + i);
            port.macAddress = {0x02, 0x00, 0x00, 0x00, 0x00, static_cast<uint8_t>(i)};
            port.portName = "TnPort-" + std::string(1, static_cast<char>('A' + i));
            port.interfaceName = "eth-" + std::string(1, static_cast<char>('a' + i));
            port.networkNamespace = "ns-fh";
            ports.push_back(port);
        }
        ports_.setPorts(ports);
        ASSERT_TRUE(ports_.open()) << ports_.lastError();
        ASSERT_TRUE(sync_.open()) << sync_.lastError();
        ASSERT_TRUE(dataPlane_.open()) << dataPlane_.lastError();
    }

    DaemonProcess::Options underValgrind() const {
        DaemonProcess::Options options;
        options.wrapper = {"valgrind",
                           "--tool=memcheck",
                           "--error-exitcode=" + std::to_string(kValgrindErrorExit),
                           "--exit-on-first-error=yes",
                           "--leak-check=full",
                           "--show-leak-kinds=definite",
                           "--errors-for-leak-kinds=definite",
                           "--num-callers=30",
                           "--log-file=" + log_};
        // The tracing library gives up on a session daemon at once instead of waiting for one.
        options.env = {{"LTTNG_HOME", home_.path()}, {"LTTNG_UST_REGISTER_TIMEOUT", "0"}};
        return options;
    }

    // Serves the three peers until done() holds; false when the step's limit passes first or the
    // daemon ended (memcheck ends it at its first error).
    bool serveUntil(DaemonProcess& daemon, const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + kStepLimit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline || !daemon.running()) {
                return false;
            }
            ports_.processOnce(10);
            sync_.processOnce(10);
            dataPlane_.processOnce(10);
        }
        return true;
    }

    size_t ordersOf(DataPlaneClient::Order::Kind kind, uint32_t enhancedSsmCode = 0) const {
        const auto& orders = dataPlane_.orders();
        return static_cast<size_t>(
            std::count_if(orders.begin(), orders.end(), [&](const DataPlaneClient::Order& o) {
                return o.kind == kind && (enhancedSsmCode == 0 || o.enhancedSsmCode == enhancedSsmCode);
            }));
    }

    PrivateBus bus_;
    TempDir home_{"sync-valgrind"};
    std::string log_ = home_.file("memcheck.log");
    PortControlServer ports_;
    SyncControlServer sync_;
    DataPlaneClient dataPlane_;
};

TEST_F(WholeRoadUnderValgrindTest, FourPortRoadEndsWithoutMemoryErrorsOrDefiniteLeaks) {
    DaemonProcess daemon(underValgrind());
    ASSERT_TRUE(daemon.waitUntilReady(std::chrono::seconds(90))) << daemon.output() << readFile(log_);

    ASSERT_TRUE(serveUntil(daemon, [&] {
        return ports_.receivedWith(PortControlServer::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ).size() >=
                   kPorts &&
               sync_.subscriptions().size() >= 3 && dataPlane_.state() == DataPlaneClient::State::CONNECTED;
    })) << readFile(log_);

    sync_.sendRecCreate();
    sync_.sendClockSettledQuality(kQualityEprtc);
    ports_.processPending(50);
    ports_.sendAllPortStatus();
    ASSERT_TRUE(serveUntil(daemon, [&] {
        return ordersOf(DataPlaneClient::Order::TRANSMIT_SSM) >= kPorts &&
               ordersOf(DataPlaneClient::Order::ESMC_CONTROL) >= kPorts;
    })) << readFile(log_);
    EXPECT_EQ(ordersOf(DataPlaneClient::Order::OUTPUT_CREATE), kPorts);

    sync_.sendClockSettledQuality(kQualityPrtc);
    ASSERT_TRUE(serveUntil(daemon, [&] {
        return ordersOf(DataPlaneClient::Order::TRANSMIT_SSM, kEnhancedSsmPrtc) >= kPorts;
    })) << readFile(log_);

    sync_.sendRecDelete();
    ASSERT_TRUE(serveUntil(daemon, [&] { return ordersOf(DataPlaneClient::Order::OUTPUT_REMOVE) >= kPorts; }))
        << readFile(log_);

    ASSERT_TRUE(daemon.running()) << readFile(log_);
    const ExitStatus status = daemon.stop(std::chrono::seconds(60));
    const std::string report = readFile(log_);
    EXPECT_EQ(status, ExitStatus::killedBy(SIGTERM)) << report;
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors"), std::string::npos) << report;
    EXPECT_FALSE(std::regex_search(report, std::regex("definitely lost: [1-9]"))) << report;
}

}  // namespace
