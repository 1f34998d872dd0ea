// The daemon under a service manager of the test's own, served by the process's epoll loop: what
// the manager hears and when, and that SIGTERM still ends the daemon, after STOPPING=1. Without a
// manager nothing of it exists.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "NotifySocket.h"
#include "control/EpollProxy.h"
#include "control/Supervision.h"

namespace {

using Sync::EpollProxy;
using Sync::LumovControl::Supervision;

bool terminateBlocked() {
    sigset_t mask;
    sigprocmask(SIG_BLOCK, nullptr, &mask);
    return sigismember(&mask, SIGTERM) == 1;
}

TEST(SupervisionTest, ReadyThenTheStatusWhenItChangesAndAKeepAliveAtHalfTheWatchdogInterval) {
    NotifySocket manager;
    setenv("WATCHDOG_USEC", "20000", 1);
    setenv("WATCHDOG_PID", std::to_string(getpid()).c_str(), 1);
    std::string line = "0 outputs";
    {
        Supervision supervision([&line] { return line; });
        unsetenv("WATCHDOG_USEC");
        unsetenv("WATCHDOG_PID");
        supervision.start();
        EXPECT_EQ(manager.messages(),
                  (std::vector<std::string>{"READY=1", "STATUS=0 outputs", "WATCHDOG=1"}));
        EXPECT_TRUE(terminateBlocked());

        line = "2 outputs, 2 enabled";
        for (int wait = 0; wait < 3; ++wait)
            ASSERT_TRUE(EpollProxy::instance().waitAndDispatchEvents());
        EXPECT_EQ(manager.messages(), (std::vector<std::string>{"STATUS=2 outputs, 2 enabled", "WATCHDOG=1",
                                                                "WATCHDOG=1", "WATCHDOG=1"}))
            << "each wait ended by the timer, due for a keep-alive before the status";
    }
    EXPECT_FALSE(terminateBlocked());
}

TEST(SupervisionTest, SigtermEndsTheDaemonAsEverButTheManagerHearsStoppingFirst) {
    {
        Supervision alone([] { return std::string("never asked"); });
        alone.start();
        EXPECT_FALSE(terminateBlocked()) << "without NOTIFY_SOCKET SIGTERM keeps its way";
    }
    NotifySocket manager;
    EXPECT_EXIT(
        {
            Supervision supervision(nullptr);
            supervision.start();
            raise(SIGTERM);
            EpollProxy::instance().waitAndDispatchEvents();
            std::_Exit(0);
        },
        testing::KilledBySignal(SIGTERM), "");
    EXPECT_EQ(manager.messages(), (std::vector<std::string>{"READY=1", "STOPPING=1"}));
}

}  // namespace
