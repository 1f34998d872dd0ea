// The daemon binary under valgrind's memcheck for the whole road: discovery of the three peers,
// outputs for four fronthaul ports with transmit orders, a quality change, the REC's deletion (which
// removes the outputs), then SIGTERM, which nothing in the daemon catches. Memcheck ends the daemon at
// its first error with its own exit code, and reports leaks when the signal ends it: any error or
// definitely lost block fails the test.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <regex>
#include <string>

#include "Road.h"
#include "TempDir.h"

namespace {

using E2e::ExitStatus;

class WholeRoadUnderValgrindTest : public E2e::Road {};

TEST_F(WholeRoadUnderValgrindTest, FourPortRoadEndsWithoutMemoryErrorsOrDefiniteLeaks) {
    E2e::TempDir home("sync-valgrind");
    E2e::DaemonProcess::Options options;
    options.wrapper = {"valgrind",
                       "--tool=memcheck",
                       "--error-exitcode=97",
                       "--exit-on-first-error=yes",
                       "--leak-check=full",
                       "--show-leak-kinds=definite",
                       "--errors-for-leak-kinds=definite",
                       "--num-callers=30"};
    // The tracing library gives up on a session daemon at once instead of waiting for one.
    options.env = {{"LTTNG_HOME", home.path()}, {"LTTNG_UST_REGISTER_TIMEOUT", "0"}};
    // Memcheck runs the daemon some 20-50 times slower than natively.
    limit_ = std::chrono::seconds(90);
    bringUp(Peer::NONE, options);
    ASSERT_FALSE(HasFatalFailure()) << daemonOutput();
    EXPECT_EQ(planeHeard_.ordersOf(Order::OUTPUT_CREATE).size(), outputs_);

    // Quality PRTC: enhanced SSM 0x20 at every output.
    const size_t from = planeHeard_.orders().size();
    sync_->sendClockSettledQuality(18);
    ASSERT_TRUE(serveUntil([&] {
        const auto sent = planeHeard_.ordersOf(Order::TRANSMIT_SSM, from);
        return std::count_if(sent.begin(), sent.end(), [](const Order& o) {
                   return o.enhancedSsmCode == 0x20;
               }) >= static_cast<long>(outputs_);
    })) << daemonOutput();
    sync_->sendRecDelete();
    ASSERT_TRUE(serveUntil([&] { return planeHeard_.ordersOf(Order::OUTPUT_REMOVE).size() >= outputs_; }))
        << daemonOutput();

    ASSERT_TRUE(daemon_->running()) << daemonOutput();
    const ExitStatus status = daemon_->stop(std::chrono::seconds(60));
    const std::string report = daemonOutput();  // memcheck writes to the daemon's stderr
    EXPECT_EQ(status, ExitStatus::killedBy(SIGTERM)) << report;
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors"), std::string::npos) << report;
    EXPECT_FALSE(std::regex_search(report, std::regex("definitely lost: [1-9]"))) << report;
}

}  // namespace
