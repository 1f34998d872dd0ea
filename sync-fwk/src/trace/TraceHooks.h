// Replaceable parts of the trace facility. Production code installs none of them; unit tests use them
// to see the text handed to the tracepoint sink, to freeze the file sink's clock and to record syslog.
#ifndef SYNC_TRACE_TRACEHOOKS_H
#define SYNC_TRACE_TRACEHOOKS_H

#include <cstdint>
#include <ctime>

namespace Sync {

// Receives every text that would be handed to the tracepoint sink, whether or not its event is
// enabled: the level (INFO for "Wrong trace"), the caller's function, the file name (after its last
// '/'), the line and the final text (prefixed where the level prefixes it).
using TraceCaptureHook = void (*)(uint32_t level, const char* function, const char* file, int line,
                                  const char* text);

struct TraceTime {
    time_t seconds;
    long microseconds;
};
using TraceClock = TraceTime (*)();
using TraceSyslog = void (*)(int priority, const char* format, ...);

// Each setter returns the previous hook; null restores the default (no capture, the wall clock,
// syslog(3)).
TraceCaptureHook setTraceCaptureHook(TraceCaptureHook hook);
TraceClock setTraceClock(TraceClock clock);
TraceSyslog setTraceSyslog(TraceSyslog sink);

namespace TraceHookSlots {
// The installed capture hook; read on every trace call site, so it is read in place.
extern TraceCaptureHook captureHook;
}  // namespace TraceHookSlots

inline TraceCaptureHook traceCaptureHook() {
    return TraceHookSlots::captureHook;
}
TraceTime traceNow();
TraceSyslog traceSyslog();

}  // namespace Sync

#endif
