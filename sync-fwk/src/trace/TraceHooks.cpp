#include "trace/TraceHooks.h"

#include <sys/time.h>
#include <syslog.h>

namespace Sync {

namespace TraceHookSlots {
TraceCaptureHook captureHook = nullptr;
}  // namespace TraceHookSlots

namespace {

using TraceHookSlots::captureHook;
TraceClock clockOverride = nullptr;
TraceSyslog syslogOverride = nullptr;

}  // namespace

TraceCaptureHook setTraceCaptureHook(TraceCaptureHook hook) {
    TraceCaptureHook previous = captureHook;
    captureHook = hook;
    return previous;
}

TraceClock setTraceClock(TraceClock clock) {
    TraceClock previous = clockOverride;
    clockOverride = clock;
    return previous;
}

TraceSyslog setTraceSyslog(TraceSyslog sink) {
    TraceSyslog previous = syslogOverride;
    syslogOverride = sink;
    return previous;
}

TraceTime traceNow() {
    if (clockOverride != nullptr) {
        return clockOverride();
    }
    // One reading for both parts, so the milliseconds always belong to the printed second.
    timeval now{};
    gettimeofday(&now, nullptr);
    return TraceTime{now.tv_sec, static_cast<long>(now.tv_usec)};
}

TraceSyslog traceSyslog() {
    return syslogOverride != nullptr ? syslogOverride : &::syslog;
}

}  // namespace Sync
