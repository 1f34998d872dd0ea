// The daemon on a private bus while every peer comes and goes, each in a process of its own: the port
// control, the sync control, the data plane and the command server, then the operator's command. Its
// loop is woken only for messages: the bus traffic of peers joining and leaving (name owner changes,
// Id() questions and answers) never makes it find nothing, which it would trace as a warning.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "DaemonProcess.h"
#include "FronthaulScript.h"
#include "LttngSession.h"
#include "PrivateBus.h"

namespace {

using E2e::ChildProcess;
using E2e::ExitStatus;

constexpr auto kLimit = std::chrono::seconds(30);
constexpr int kRounds = 3;

size_t linesStartingWith(const std::string& text, const std::string& prefix) {
    std::istringstream lines(text);
    size_t count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

// Waits, bounded, until the peer host has printed `count` lines starting with prefix; false when it
// ended or the time ran out first.
bool printed(ChildProcess& host, const std::string& prefix, size_t count = 1) {
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    while (linesStartingWith(host.output(), prefix) < count) {
        if (host.waitExit(std::chrono::milliseconds(20)) || std::chrono::steady_clock::now() > deadline)
            return false;
    }
    return true;
}

TEST(PeersComeAndGoTest, TheDaemonIsWokenOnlyForMessages) {
    PrivateBus bus;
    ASSERT_TRUE(bus.running()) << "dbus-daemon did not start";
    E2e::LttngSession lttng;
    ASSERT_TRUE(lttng.startRecording()) << lttng.error();
    E2e::DaemonProcess daemon({"", lttng.environment()});
    ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();

    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        // The order of Road::bringUp: the REC and quality are known when the ports come up.
        auto host = [](const char* role) {
            return std::make_unique<ChildProcess>(std::vector<std::string>{SYNC_PEER_HOST_PATH, role});
        };
        auto sync = host("sync");
        auto dataPlane = host("dataplane");
        auto commandServer = host("command");
        ASSERT_TRUE(printed(*sync, "rec created")) << sync->output() << daemon.output();
        ASSERT_TRUE(printed(*dataPlane, "connected")) << dataPlane->output() << daemon.output();
        ASSERT_TRUE(printed(*commandServer, "registered synclumovcontrol")) << commandServer->output();
        auto ports = host("port");
        ASSERT_TRUE(printed(*ports, "status sent")) << ports->output() << daemon.output();
        ASSERT_TRUE(printed(*dataPlane, "ESMC_CONTROL", E2e::FronthaulScript::kPorts)) << dataPlane->output();
        for (auto* peer : {&ports, &sync, &dataPlane, &commandServer})
            EXPECT_EQ((*peer)->stop(), ExitStatus::killedBy(SIGTERM)) << (*peer)->output();
        // The operator's command takes the command server's name for as long as it runs.
        const auto info = ChildProcess::run({SYNC_COMMAND_PATH, "info", "all"}, kLimit);
        EXPECT_TRUE(info.succeeded()) << info.describe({"synclumovcontrol", "info", "all"});
        ASSERT_TRUE(daemon.running()) << daemon.output();
    }
    EXPECT_EQ(daemon.stop(), ExitStatus::killedBy(SIGTERM)) << daemon.output();

    size_t traced = 0;
    size_t empty = 0;
    for (const E2e::TraceRecord& record : lttng.read()) {
        if (record.vpid() != daemon.pid())
            continue;
        ++traced;
        if (record.event() == "WARNING" && record.field("warn_msg") == "TAVI msg received as nullptr")
            ++empty;
    }
    EXPECT_GT(traced, 0u) << lttng.error();
    EXPECT_EQ(empty, 0u) << "times woken for nothing";
}

}  // namespace
