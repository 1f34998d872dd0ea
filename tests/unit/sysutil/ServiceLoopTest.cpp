// The service loop on a bus of the test's own (a socket pair) and a notification socket of the test's
// own: what ends it and with which status, what wakes it, and what the service manager hears.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "NotifySocket.h"
#include "ServiceExit.h"
#include "ServiceLoop.h"
#include "Supervisor.h"

namespace {

using SyncSys::ServiceExit;
using SyncSys::ServiceLoop;

// The mailbox as the loop sees it: one end of a socket pair; the test holds the other.
struct FakeBus {
    FakeBus() { socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends); }
    ~FakeBus() {
        close(ends[0]);
        close(ends[1]);
    }
    ServiceLoop::Bus bus() {
        return {[this] { return open ? ends[0] : -1; }, [this] { return timeoutMs; },
                [this] {
                    char drained[64];
                    while (read(ends[0], drained, sizeof drained) > 0)
                        ;
                    timeoutMs = -1;
                    ++processed;
                }};
    }
    int ends[2] = {-1, -1};
    bool open = true;
    int timeoutMs = -1;
    int processed = 0;
};

TEST(ServiceLoopTest, ASignalStopsItCleanlyAndLosingTheBusIsAFailureBothSaidToTheServiceManager) {
    const struct {
        const char* what;
        std::function<void(FakeBus&)> happen;
        int status;
    } cases[] = {
        {"SIGTERM", [](FakeBus&) { raise(SIGTERM); }, ServiceExit::STOPPED},
        {"SIGINT", [](FakeBus&) { raise(SIGINT); }, ServiceExit::STOPPED},
        {"the bus connection broke", [](FakeBus& bus) { close(bus.ends[1]); }, ServiceExit::FAILED},
        {"the mailbox closed and did not open again", [](FakeBus& bus) { bus.open = false; },
         ServiceExit::FAILED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NotifySocket manager;
        FakeBus bus;
        ServiceLoop loop;
        // The first work asks to run again at once; the second brings the ending.
        int works = 0;
        loop.onWork([&] {
            if (++works == 2)
                c.happen(bus);
            return works == 1 ? ServiceLoop::Clock::now() : ServiceLoop::TimePoint::max();
        });
        loop.onSummary([] { return "2 ports, 1 up"; });
        EXPECT_EQ(loop.run(bus.bus()), c.status);
        EXPECT_EQ(works, 2);
        // The status line is asked after every wake-up but said once, as it did not change.
        EXPECT_EQ(manager.messages(),
                  (std::vector<std::string>{"READY=1", "STATUS=2 ports, 1 up", "STOPPING=1"}));
    }
}

TEST(ServiceLoopTest, WakesOnceForEachThingThatTurnsReadableOrFallsDueAndForNothingElse) {
    FakeBus bus;
    ServiceLoop loop;
    int pipe[2];
    ASSERT_EQ(pipe2(pipe, O_CLOEXEC | O_NONBLOCK), 0);
    int readable = 0, reloads = 0, printouts = 0, works = 0;
    loop.watch([&] { return std::vector<int>{pipe[0]}; },
               [&] {
                   char byte;
                   while (read(pipe[0], &byte, 1) == 1)
                       ++readable;
               });
    loop.onReload([&] {
        ++reloads;
        return std::vector<std::string>{};
    });
    loop.onStatus([&] {
        ++printouts;
        return std::vector<std::string>{"status: fine"};
    });
    const std::function<void()> script[] = {
        [&] { ASSERT_EQ(write(pipe[1], "x", 1), 1); },
        [&] { bus.timeoutMs = 0; },  // the bus library has a timeout due: processed though not readable
        [&] { ASSERT_EQ(write(bus.ends[1], "m", 1), 1); },
        [&] { raise(SIGHUP); },
        [&] { raise(SIGUSR1); },
        [] {},  // the due time returned below
        [&] { raise(SIGTERM); },
    };
    constexpr int STEPS = sizeof script / sizeof script[0];
    loop.onWork([&] {
        if (works < STEPS)
            script[works]();
        ++works;
        return works == STEPS - 1 ? ServiceLoop::Clock::now() + std::chrono::milliseconds(5)
                                  : ServiceLoop::TimePoint::max();
    });
    EXPECT_EQ(loop.run(bus.bus()), ServiceExit::STOPPED);
    EXPECT_EQ(works, STEPS);
    EXPECT_EQ(readable, 1);
    EXPECT_EQ(bus.processed, 2);
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(printouts, 1);
    close(pipe[0]);
    close(pipe[1]);
}

TEST(ServiceLoopTest, KeepsTheWatchdogFedAtHalfItsIntervalWhenNothingElseHappens) {
    NotifySocket manager;
    setenv("WATCHDOG_USEC", "20000", 1);
    setenv("WATCHDOG_PID", std::to_string(getpid()).c_str(), 1);
    SyncSys::Supervisor supervisor;
    FakeBus bus;
    ServiceLoop loop;
    unsetenv("WATCHDOG_USEC");
    unsetenv("WATCHDOG_PID");

    const ServiceLoop::TimePoint start{};
    const std::chrono::milliseconds half(10);
    EXPECT_EQ(supervisor.keepAlive(start), start + half);
    EXPECT_EQ(supervisor.keepAlive(start + half - std::chrono::microseconds(1)), start + half);
    EXPECT_EQ(supervisor.keepAlive(start + half), start + 2 * half);
    EXPECT_EQ(manager.messages(), (std::vector<std::string>{"WATCHDOG=1", "WATCHDOG=1"}));

    int works = 0;
    loop.onWork([&] {
        if (++works == 4)
            raise(SIGTERM);
        return ServiceLoop::TimePoint::max();
    });
    EXPECT_EQ(loop.run(bus.bus()), ServiceExit::STOPPED);
    const std::vector<std::string> told = manager.messages();
    EXPECT_EQ(std::count(told.begin(), told.end(), "WATCHDOG=1"), works) << "each wake-up was the watchdog's";
    EXPECT_EQ(told.front(), "READY=1");
    EXPECT_EQ(told.back(), "STOPPING=1");
}

}  // namespace
