// The daemon under a service manager of the test's own, served by the process's epoll loop: what the
// manager hears, in order, and that SIGTERM still ends the daemon; without a manager none of it.
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

TEST(SupervisionTest, ReadyStatusKeepAlivesFromTheLoopThenStoppingBeforeSigtermEndsIt) {
    {
        Supervision alone([] { return std::string("never asked"); });
        alone.start();
        EXPECT_FALSE(terminateBlocked()) << "without NOTIFY_SOCKET SIGTERM keeps its way";
    }
    NotifySocket manager;
    EXPECT_EXIT(
        {
            setenv("WATCHDOG_USEC", "20000", 1);
            setenv("WATCHDOG_PID", std::to_string(getpid()).c_str(), 1);
            Supervision supervision([] { return std::string("2 outputs (2 enabled)"); });
            supervision.start();
            EpollProxy::instance().waitAndDispatchEvents();  // the keep-alive's timer
            raise(SIGTERM);
            EpollProxy::instance().waitAndDispatchEvents();
            std::_Exit(0);
        },
        testing::KilledBySignal(SIGTERM), "");
    EXPECT_EQ(manager.messages(), (std::vector<std::string>{"READY=1", "STATUS=2 outputs (2 enabled)",
                                                            "WATCHDOG=1", "WATCHDOG=1", "STOPPING=1"}));
}

}  // namespace
