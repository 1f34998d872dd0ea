#include "control/Supervision.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Macros.h"
#include "control/EpollProxy.h"

namespace Sync {
namespace LumovControl {

namespace {

// How stale the status line may get. Computing it walks the model, so it is not done per message.
constexpr std::chrono::seconds STATUS_PERIOD(1);

}  // namespace

Supervision::Supervision(Summary summary)
    : summary_(std::move(summary)), stop_([this] { supervisor_.stopping(); }) {}

Supervision::~Supervision() {
    closeTimer();
}

void Supervision::start() {
    if (std::getenv("NOTIFY_SOCKET") == nullptr)
        return;
    stop_.watch();
    // steady_clock is CLOCK_MONOTONIC, so its time points arm the timer as they are.
    timer_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (timer_ < 0)
        TRACE_ERROR("timerfd_create() for the service manager failed: %s", std::strerror(errno));
    else
        EpollProxy::instance().addFd(timer_, this);
    supervisor_.ready();
    tell();
}

void Supervision::onRead() {
    uint64_t expiries = 0;
    if (read(timer_, &expiries, sizeof expiries) < 0 && errno == EAGAIN)
        return;
    tell();
}

void Supervision::onError() {
    TRACE_ERROR("service manager timer broke: no more status or keep-alives");
    closeTimer();
}

void Supervision::tell() {
    if (summary_)
        supervisor_.status(summary_());
    if (timer_ < 0)
        return;
    using TimePoint = SyncSys::Supervisor::TimePoint;
    const TimePoint now = SyncSys::Supervisor::Clock::now();
    TimePoint next = supervisor_.keepAlive(now);
    if (summary_)
        next = std::min(next, now + STATUS_PERIOD);
    if (next == TimePoint::max())
        return;  // neither a status nor a watchdog to serve
    const auto due = next.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(due);
    itimerspec value{};
    value.it_value.tv_sec = seconds.count();
    value.it_value.tv_nsec = std::chrono::duration_cast<std::chrono::nanoseconds>(due - seconds).count();
    if (timerfd_settime(timer_, TFD_TIMER_ABSTIME, &value, nullptr) != 0)
        TRACE_ERROR("timerfd_settime() for the service manager failed: %s", std::strerror(errno));
}

void Supervision::closeTimer() {
    if (timer_ < 0)
        return;
    EpollProxy::instance().removeFd(timer_);
    close(timer_);
    timer_ = -1;
}

}  // namespace LumovControl
}  // namespace Sync
