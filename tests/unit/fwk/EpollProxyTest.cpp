#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Macros.h"
#include "TraceCapture.h"
#include "control/EpollProxy.h"
#include "control/EventCallbackInterface.h"

using Sync::EpollProxy;
using Sync::Test::TraceCapture;

namespace {

// A watched descriptor's owner that counts its callbacks and, on read, drains its eventfd.
class Watcher : public Sync::EventCallbackInterface {
  public:
    explicit Watcher(int fd = -1) : fd(fd) {}
    void onRead() override {
        ++reads;
        uint64_t value = 0;
        (void)!read(fd, &value, sizeof value);
    }
    void onError() override { ++errors; }

    int fd;
    int reads = 0;
    int errors = 0;
};

int readyEventFd() {
    const int fd = eventfd(1, EFD_NONBLOCK);
    EXPECT_GE(fd, 0);
    return fd;
}

// Whether a wait would return at once; keeps every wait in these tests bounded.
bool somethingReady(int timeoutMs = 1000) {
    pollfd p{EpollProxy::instance().getEpollFd(), POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1;
}

TEST(EpollProxy, ServesAtMostNineDescriptorsPerWait) {
    EpollProxy& proxy = EpollProxy::instance();
    std::vector<Watcher> watchers;
    watchers.reserve(10);
    for (int i = 0; i < 10; ++i) {
        watchers.emplace_back(readyEventFd());
    }
    for (Watcher& w : watchers) {
        proxy.addFd(w.fd, &w);
    }
    auto totalReads = [&] {
        int total = 0;
        for (const Watcher& w : watchers) {
            total += w.reads;
        }
        return total;
    };
    ASSERT_TRUE(somethingReady());
    EXPECT_TRUE(proxy.waitAndDispatchEvents());
    EXPECT_EQ(totalReads(), 9);
    ASSERT_TRUE(somethingReady());
    EXPECT_TRUE(proxy.waitAndDispatchEvents());
    EXPECT_EQ(totalReads(), 10);
    for (const Watcher& w : watchers) {
        EXPECT_EQ(w.reads, 1);
        EXPECT_EQ(w.errors, 0);
    }
    EXPECT_FALSE(somethingReady(0));
    for (Watcher& w : watchers) {
        proxy.removeFd(w.fd);
        close(w.fd);
    }
}

TEST(EpollProxy, HangUpTakesPrecedenceOverReadability) {
    EpollProxy& proxy = EpollProxy::instance();
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], "x", 1), 1);
    close(ends[1]);
    Watcher watcher;
    proxy.addFd(ends[0], &watcher);
    TraceCapture capture;
    ASSERT_TRUE(somethingReady());
    EXPECT_TRUE(proxy.waitAndDispatchEvents());
    EXPECT_EQ(watcher.errors, 1);
    EXPECT_EQ(watcher.reads, 0);
    EXPECT_TRUE(capture.contains(Sync::TL_WARNING, "onEvent error [epoll.events = 0x00000011, cb = "))
        << capture.dump();
    proxy.removeFd(ends[0]);
    close(ends[0]);
}

TEST(EpollProxy, ARecordWithoutCallbackObjectIsSkipped) {
    EpollProxy& proxy = EpollProxy::instance();
    const int fd = readyEventFd();
    proxy.addFd(fd, nullptr);
    TraceCapture capture;
    ASSERT_TRUE(somethingReady());
    EXPECT_TRUE(proxy.waitAndDispatchEvents());
    EXPECT_EQ(capture.count(Sync::TL_WARNING, "onEvent cb lost [epoll.events = 0x00000001]"), 1u)
        << capture.dump();
    proxy.removeFd(fd);
    close(fd);
}

TEST(EpollProxy, NegativeDescriptorsAreRefusedWithAWarning) {
    EpollProxy& proxy = EpollProxy::instance();
    Watcher watcher;
    TraceCapture capture;
    proxy.addFd(-1, &watcher);
    proxy.removeFd(-3);
    EXPECT_TRUE(capture.contains(Sync::TL_WARNING, "addFd invalid [fd = -1]")) << capture.dump();
    EXPECT_TRUE(capture.contains(Sync::TL_WARNING, "removeFd invalid [fd = -3]")) << capture.dump();
    EXPECT_FALSE(capture.contains(Sync::TL_RETURN, "epoll added"));
    EXPECT_FALSE(somethingReady(0));
}

void ignoreSignal(int) {}

TEST(EpollProxy, ASignalDuringTheWaitDoesNotEndTheLoop) {
    EpollProxy& proxy = EpollProxy::instance();
    ASSERT_FALSE(somethingReady(0));
    struct sigaction action {};
    action.sa_handler = &ignoreSignal;
    sigemptyset(&action.sa_mask);
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
    // Repeats, so a signal that lands before the wait starts is followed by one that interrupts it.
    itimerval every20ms{{0, 20000}, {0, 20000}};
    ASSERT_EQ(setitimer(ITIMER_REAL, &every20ms, nullptr), 0);
    TraceCapture capture;
    const bool goOn = proxy.waitAndDispatchEvents();
    itimerval off{};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_TRUE(goOn);
    EXPECT_TRUE(capture.contains(Sync::TL_INFO,
                                 "epoll_wait() failed, return ok, [errorno = Interrupted system call]"))
        << capture.dump();
}

TEST(EpollProxy, AFailedWaitEndsTheLoop) {
    EpollProxy& proxy = EpollProxy::instance();
    TraceCapture capture;
    proxy.closeFd();
    EXPECT_EQ(proxy.getEpollFd(), -1);
    EXPECT_FALSE(proxy.waitAndDispatchEvents());
    EXPECT_TRUE(capture.contains(Sync::TL_ERROR, "epoll_wait() failed, [errorno = Bad file descriptor]"))
        << capture.dump();
    proxy.createFd();
    EXPECT_GE(proxy.getEpollFd(), 0);
    EXPECT_TRUE(
        capture.contains(Sync::TL_DEBUG, "Created [epollFd = " + std::to_string(proxy.getEpollFd()) + "]"));
}

TEST(EpollProxyDeathTest, AddingADescriptorTwiceAborts) {
    // The tracing library runs threads of its own.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EpollProxy& proxy = EpollProxy::instance();
    const int fd = readyEventFd();
    Watcher watcher(fd);
    proxy.addFd(fd, &watcher);
    EXPECT_DEATH(proxy.addFd(fd, &watcher), "");
    proxy.removeFd(fd);
    close(fd);
}

}  // namespace
