#include "common_fwk_classes/timer/Timer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Macros.h"
#include "common_fwk_classes/timer/TimerEvent.h"
#include "control/EpollProxy.h"

namespace Sync {
namespace Timer {

Timer::Timer(const TimerSpec& timerSpec) : fd(-1), spec{}, watched(false), keptExpiries(0) {
    TRACE_ENTER(
        "time.toFirstInterrupt.sec: %d, time.toFirstInterrupt.nsec: %d, time.betweenInterrupts.sec: %d, "
        "time.betweenInterrupts.nsec: %d",
        timerSpec.toFirstInterrupt.sec, timerSpec.toFirstInterrupt.nsec, timerSpec.betweenInterrupts.sec,
        timerSpec.betweenInterrupts.nsec);
    spec.it_interval.tv_sec = timerSpec.betweenInterrupts.sec;
    spec.it_interval.tv_nsec = timerSpec.betweenInterrupts.nsec;
    spec.it_value.tv_sec = timerSpec.toFirstInterrupt.sec;
    spec.it_value.tv_nsec = timerSpec.toFirstInterrupt.nsec;
    fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK);
    if (fd < 0) {
        TRACE_ERROR("Timer: %p timerfd_create() failed: %s", static_cast<void*>(this), std::strerror(errno));
        TRACE_RETURN("Timer %p failed to create FD", static_cast<void*>(this));
        fd = -1;
        return;
    }
    EpollProxy::instance().addFd(fd, static_cast<EventCallbackInterface*>(this));
    watched = true;
    TRACE_RETURN("Created timer: %p", static_cast<void*>(this));
}

Timer::~Timer() {
    TRACE_ENTER("%s", "");
    if (fd >= 0) {
        if (watched) {
            EpollProxy::instance().removeFd(fd);
            watched = false;
        }
        if (close(fd) != 0) {
            TRACE_WARNING("Failed to close fd: %d, errno: %s", fd, std::strerror(errno));
        }
        fd = -1;
    }
    TRACE_RETURN("%s", "");
}

bool Timer::arm(const itimerspec& value) {
    keptExpiries += readCounter();
    if (timerfd_settime(fd, 0, &value, nullptr) != 0) {
        TRACE_ERROR("Failed to timerfd_settime(): %s", std::strerror(errno));
        return false;
    }
    TRACE_DEBUG("timerfd_settime() with fd: %d", fd);
    return true;
}

void Timer::start() {
    TRACE_ENTER("Starting timer: %p", static_cast<void*>(this));
    if (fd < 0) {
        TRACE_WARNING("Timer %p failed to start, fd invalid: %d", static_cast<void*>(this), fd);
        return;
    }
    if (!arm(spec)) {
        TRACE_RETURN("Timer %p failed to start", static_cast<void*>(this));
        return;
    }
    TRACE_RETURN("Started timer: %p", static_cast<void*>(this));
}

void Timer::stop() {
    TRACE_ENTER("Stopping timer: %p", static_cast<void*>(this));
    if (fd < 0) {
        TRACE_DEBUG("Timer %p, fd invalid: %d", static_cast<void*>(this), fd);
        TRACE_RETURN("Stop timer %p skipped.", static_cast<void*>(this));
        return;
    }
    const itimerspec disarmed{};
    arm(disarmed);
    TRACE_RETURN("Stopped timer: %p", static_cast<void*>(this));
}

IEntity* Timer::getEventSource() {
    return this;
}

bool Timer::isStarted() {
    TRACE_ENTER("%s", "");
    if (fd < 0) {
        TRACE_RETURN("running: %s", "False");
        return false;
    }
    itimerspec current{};
    if (timerfd_gettime(fd, &current) != 0) {
        TRACE_ERROR("timerfd_gettime(fd = %d), errno: %s", fd, std::strerror(errno));
        TRACE_RETURN("running: %s", "False");
        return false;
    }
    const bool running = current.it_value.tv_sec != 0 || current.it_value.tv_nsec != 0;
    TRACE_RETURN("running: %s", running ? "True" : "False");
    return running;
}

uint64_t Timer::readTimeoutCounts() {
    const uint64_t count = keptExpiries + readCounter();
    keptExpiries = 0;
    return count;
}

uint64_t Timer::readCounter() {
    if (fd < 0) {
        return 0;
    }
    uint64_t count = 0;
    if (read(fd, &count, sizeof count) != static_cast<ssize_t>(sizeof count)) {
        if (errno != EAGAIN) {
            TRACE_ERROR("read(fd = %d), errno: %s", fd, std::strerror(errno));
        }
        return 0;
    }
    return count;
}

void Timer::onRead() {
    TRACE_ENTER("%s", "");
    const uint64_t count = readTimeoutCounts();
    IEntity* subject = getEventSource();
    for (uint64_t i = 0; i < count; ++i) {
        Control::TimerEvent::TIMEOUT_EVENT timeout(subject);
        sendEvent(timeout);
    }
    TRACE_RETURN("Timeout timer: %p", static_cast<void*>(this));
}

void Timer::onError() {
    TRACE_WARNING("%s error event on fd: %d", "onError", fd);
    if (fd < 0) {
        return;
    }
    stop();
    if (watched) {
        EpollProxy::instance().removeFd(fd);
        watched = false;
    }
}

}  // namespace Timer
}  // namespace Sync
