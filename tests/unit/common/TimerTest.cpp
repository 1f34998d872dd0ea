#include "common_fwk_classes/timer/Timer.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "Macros.h"
#include "TraceCapture.h"
#include "common_fwk_classes/timer/TimerEvent.h"
#include "control/EpollProxy.h"
#include "eventHandling/Listener.h"

namespace {

using Sync::Control::TimerEvent;
using Sync::Test::TraceCapture;
using Sync::Timer::Timer;
using Sync::Timer::TimerSpec;

constexpr int32_t kMs = 1000000;

// Records every timeout it hears.
class TimeoutLog : public Sync::Listener<TimerEvent::TIMEOUT_EVENT> {
  public:
    TimeoutLog() { startListening(); }
    void onEvent(TimerEvent::TIMEOUT_EVENT& event) override {
        subjects.push_back(event.subject);
        sources.push_back(event.getSource());
    }
    std::vector<Sync::IEntity*> subjects;
    std::vector<Sync::IEntity*> sources;
};

bool readable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1;
}

// Serves the epoll set once, after making sure the wait returns at once.
bool serveOnce() {
    if (!readable(Sync::EpollProxy::instance().getEpollFd(), 5000)) {
        return false;
    }
    return Sync::EpollProxy::instance().waitAndDispatchEvents();
}

bool watchedByEpoll(int fd) {
    epoll_event probe{};
    probe.events = EPOLLIN;
    return epoll_ctl(Sync::EpollProxy::instance().getEpollFd(), EPOLL_CTL_MOD, fd, &probe) == 0;
}

void quietSyslog(int, const char*, ...) {}

class TimerTest : public ::testing::Test {
  protected:
    void SetUp() override { previousSyslog = Sync::setTraceSyslog(&quietSyslog); }
    void TearDown() override { Sync::setTraceSyslog(previousSyslog); }

    TimeoutLog timeouts;
    Sync::TraceSyslog previousSyslog = nullptr;
};

TEST_F(TimerTest, AOneShotTimerRaisesOneTimeoutThroughTheLoopAndStops) {
    Timer timer(TimerSpec{{0, 1 * kMs}, {0, 0}});
    timer.start();
    ASSERT_TRUE(readable(timer.getFd(), 5000));
    ASSERT_TRUE(serveOnce());
    ASSERT_EQ(timeouts.subjects.size(), 1u);
    EXPECT_EQ(timeouts.subjects[0], &timer);
    EXPECT_EQ(timeouts.sources[0], &timer);
    EXPECT_FALSE(timer.isStarted());
    EXPECT_FALSE(readable(timer.getFd(), 20));
}

TEST_F(TimerTest, ExpiriesThatPiledUpArriveTogetherInOneRead) {
    Timer timer(TimerSpec{{0, 10 * kMs}, {0, 10 * kMs}});
    timer.start();
    usleep(60 * 1000);
    ASSERT_TRUE(serveOnce());
    timer.stop();
    EXPECT_GE(timeouts.subjects.size(), 3u);
    for (Sync::IEntity* source : timeouts.sources) {
        EXPECT_EQ(source, &timer);
    }
    // Nothing is left once the counter is read.
    EXPECT_EQ(timer.readTimeoutCounts(), 0u);
}

TEST_F(TimerTest, StopAndRestartKeepExpiriesThatWereCountedButNotRead) {
    Timer timer(TimerSpec{{0, 1 * kMs}, {0, 0}});
    timer.start();
    ASSERT_TRUE(readable(timer.getFd(), 5000));
    timer.stop();
    EXPECT_FALSE(timer.isStarted());
    timer.onRead();
    EXPECT_EQ(timeouts.subjects.size(), 1u);

    timer.start();
    ASSERT_TRUE(readable(timer.getFd(), 5000));
    timer.start();
    ASSERT_TRUE(readable(timer.getFd(), 5000));
    ASSERT_TRUE(serveOnce());
    EXPECT_EQ(timeouts.subjects.size(), 3u);
}

TEST_F(TimerTest, AnAllZeroSpecNeverArmsASubSecondOneDoes) {
    Timer timer(TimerSpec{{0, 0}, {0, 0}});
    TraceCapture capture;
    timer.start();
    EXPECT_FALSE(timer.isStarted());
    EXPECT_FALSE(readable(timer.getFd(), 30));
    timer.onRead();
    EXPECT_TRUE(timeouts.subjects.empty());
    // Nothing to read is not an error.
    EXPECT_EQ(capture.count(Sync::TL_ERROR, ""), 0u) << capture.dump();
    // Less than a second is not zero.
    Timer subSecond(TimerSpec{{0, 900 * kMs}, {0, 0}});
    subSecond.start();
    EXPECT_TRUE(subSecond.isStarted());
}

TEST_F(TimerTest, AnErrorOnTheDescriptorStopsTheTimerAndUnwatchesIt) {
    int fd = -1;
    {
        Timer timer(TimerSpec{{10, 0}, {0, 0}});
        fd = timer.getFd();
        EXPECT_FALSE(timer.isStarted());
        timer.start();
        EXPECT_TRUE(timer.isStarted());
        EXPECT_TRUE(watchedByEpoll(fd));
        TraceCapture capture;
        timer.onError();
        EXPECT_TRUE(capture.contains(Sync::TL_WARNING, "onError error event on fd: " + std::to_string(fd)))
            << capture.dump();
        EXPECT_FALSE(timer.isStarted());
        EXPECT_FALSE(watchedByEpoll(fd));
        // The descriptor stays open until the timer goes.
        EXPECT_EQ(timer.getFd(), fd);
    }
    EXPECT_FALSE(watchedByEpoll(fd));
}

TEST_F(TimerTest, WithoutADescriptorEveryOperationIsSkipped) {
#ifdef SYNC_SANITIZED
    // The sanitizers' own checks need descriptors (a pipe to probe memory); with none left they
    // report false errors, so this case runs in the plain build only.
    GTEST_SKIP() << "needs a process without sanitizer runtime";
#endif
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int lowestFree = dup(0);
    ASSERT_GE(lowestFree, 0);
    close(lowestFree);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    TraceCapture capture;
    Timer timer(TimerSpec{{0, 1 * kMs}, {0, 0}});
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);

    EXPECT_EQ(timer.getFd(), -1);
    EXPECT_TRUE(capture.contains(Sync::TL_ERROR, "timerfd_create() failed")) << capture.dump();
    EXPECT_TRUE(capture.contains(Sync::TL_RETURN, "failed to create FD")) << capture.dump();
    timer.start();
    timer.stop();
    timer.onError();
    EXPECT_TRUE(capture.contains(Sync::TL_WARNING, "failed to start, fd invalid: -1")) << capture.dump();
    EXPECT_TRUE(capture.contains(Sync::TL_DEBUG, "fd invalid: -1")) << capture.dump();
    EXPECT_TRUE(capture.contains(Sync::TL_RETURN, "skipped.")) << capture.dump();
    EXPECT_FALSE(timer.isStarted());
    EXPECT_EQ(timer.readTimeoutCounts(), 0u);
    timer.onRead();
    EXPECT_TRUE(timeouts.subjects.empty());
}

}  // namespace
