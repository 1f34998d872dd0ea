// The service programs as the service manager and an operator meet them: --version and --help answer
// without a bus; on a notification socket of the test's own a program says that it serves, how it
// is and that it goes, whether a signal stops it (status 0) or its bus goes away (status 1).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "NotifySocket.h"
#include "PrivateBus.h"
#include "TempDir.h"

namespace {

using namespace std::chrono_literals;
using E2e::ChildProcess;
using E2e::ExitStatus;

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

TEST(ServiceProgramTest, TellsTheServiceManagerItServesHowItIsAndThatItGoes) {
    E2e::TempDir dir("sync-notify");
    std::ofstream(dir.file("ports")) << "# no ports yet\n";
    const struct {
        std::vector<std::string> argv;
        std::string status;
        bool busGoes;  // otherwise SIGTERM
        ExitStatus end;
    } cases[] = {
        {{SYNC_ESMCD_PATH},
         "STATUS=0 outputs: 0 transmitting, 0 held, 0 link down, 0 refused; daemon not connected",
         false,
         ExitStatus::exitedWith(0)},
        {{SYNC_PORTD_PATH, "--ports", dir.file("ports")},
         "STATUS=0 ports, 0 up; 0 subscriptions",
         true,
         ExitStatus::exitedWith(1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argv[0]);
        PrivateBus bus;
        ASSERT_TRUE(bus.running());
        NotifySocket manager;
        ChildProcess program(c.argv);
        EXPECT_EQ(manager.next(), "READY=1") << program.output();
        EXPECT_EQ(manager.next(), c.status) << program.output();
        if (c.busGoes) {
            bus.stop();
            EXPECT_EQ(program.waitExit(10s), c.end) << program.output();
        } else {
            EXPECT_EQ(program.stop(), c.end) << program.output();
        }
        EXPECT_EQ(manager.next(), "STOPPING=1") << program.output();
    }
}

}  // namespace
