// The service programs as an operator meets them: --version and --help answer without a bus. (How
// they serve under systemd is the system test's, tests/e2e/system/.)
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ChildProcess.h"

namespace {

using namespace std::chrono_literals;
using E2e::ChildProcess;

TEST(ServiceProgramTest, VersionAndHelpAnswerWithoutABus) {
    const E2e::Environment noBus = {{"TAVI_BUS_ADDRESS", "unix:path=/nonexistent/bus"}};
    for (const std::string program : {SYNC_ESMCD_PATH, SYNC_PORTD_PATH, SYNC_CLOCKD_PATH, SYNC_SIM_PATH}) {
        const std::string name = program.substr(program.rfind('/') + 1);
        SCOPED_TRACE(name);
        const ChildProcess::Result version = ChildProcess::run({program, "--version"}, 10s, noBus);
        EXPECT_TRUE(version.succeeded()) << version.output;
        EXPECT_EQ(version.output.rfind(name + " ", 0), 0u) << version.output;
        EXPECT_EQ(std::count(version.output.begin(), version.output.end(), '\n'), 1) << version.output;
        const ChildProcess::Result help = ChildProcess::run({program, "--help"}, 10s, noBus);
        EXPECT_TRUE(help.succeeded()) << help.output;
        EXPECT_NE(help.output.find("Exit status:\n  0  "), std::string::npos) << help.output;
    }
}

}  // namespace
