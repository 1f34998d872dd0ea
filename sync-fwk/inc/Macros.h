// Trace call sites: one macro per level. Each fills output, trace number and stack with 0 and the
// function, file and line from the call site. A level whose tracepoint is disabled (and that no
// capture hook listens to) is skipped before any formatting; ERROR and WARNING always go to syslog.
#ifndef SYNC_MACROS_H
#define SYNC_MACROS_H

#include <cstdint>

namespace Sync {

enum TraceLevel : uint32_t {
    TL_ERROR = 1,
    TL_WARNING = 2,
    TL_INFO = 3,
    TL_REC_MSG = 5,
    TL_SEND_MSG = 6,
    TL_STATE = 7,
    TL_DEBUG = 8,
    TL_ENTER = 9,
    TL_RETURN = 10,
    TL_REC_MSG_FREQ = 11,
    TL_SEND_MSG_FREQ = 12,
    TL_DEBUG_FREQ = 13,
    TL_ENTER_FREQ = 14,
    TL_RETURN_FREQ = 15,
    TL_TRACE = 16,
    TL_PACKET = 17,
    TL_PHASE_MEAS = 18,
    TL_BEST_PACKET = 19,
    TL_DEBUG_PM = 20,
    TL_ESMC = 21,
};

enum TraceOutput : uint32_t {
    TRACE_TO_LTTNG = 0,
    TRACE_TO_FILE = 1,
};

// Whether a call at this level would reach any sink (tracepoint enabled, capture hook installed,
// or ERROR/WARNING, which always reach syslog).
bool traceEnabled(uint32_t level, uint32_t traceNumber = 0);

}  // namespace Sync

void syncTrace(uint32_t output, uint32_t level, uint32_t traceNumber, uint32_t stack, const char* function,
               const char* file, int line, const char* format, ...) __attribute__((format(printf, 8, 9)));

#define SYNC_TRACE_AT(level, ...)                                                                        \
    do {                                                                                                 \
        if (::Sync::traceEnabled(level))                                                                 \
            ::syncTrace(::Sync::TRACE_TO_LTTNG, level, 0, 0, __func__, __FILE__, __LINE__, __VA_ARGS__); \
    } while (0)

#define TRACE_ERROR(...) SYNC_TRACE_AT(::Sync::TL_ERROR, __VA_ARGS__)
#define TRACE_WARNING(...) SYNC_TRACE_AT(::Sync::TL_WARNING, __VA_ARGS__)
#define TRACE_INFO(...) SYNC_TRACE_AT(::Sync::TL_INFO, __VA_ARGS__)
#define TRACE_REC_MSG(...) SYNC_TRACE_AT(::Sync::TL_REC_MSG, __VA_ARGS__)
#define TRACE_SEND_MSG(...) SYNC_TRACE_AT(::Sync::TL_SEND_MSG, __VA_ARGS__)
#define TRACE_STATE(...) SYNC_TRACE_AT(::Sync::TL_STATE, __VA_ARGS__)
#define TRACE_DEBUG(...) SYNC_TRACE_AT(::Sync::TL_DEBUG, __VA_ARGS__)
#define TRACE_ENTER(...) SYNC_TRACE_AT(::Sync::TL_ENTER, __VA_ARGS__)
#define TRACE_RETURN(...) SYNC_TRACE_AT(::Sync::TL_RETURN, __VA_ARGS__)
#define TRACE_REC_MSG_FREQ(...) SYNC_TRACE_AT(::Sync::TL_REC_MSG_FREQ, __VA_ARGS__)
#define TRACE_SEND_MSG_FREQ(...) SYNC_TRACE_AT(::Sync::TL_SEND_MSG_FREQ, __VA_ARGS__)
#define TRACE_DEBUG_FREQ(...) SYNC_TRACE_AT(::Sync::TL_DEBUG_FREQ, __VA_ARGS__)
#define TRACE_ENTER_FREQ(...) SYNC_TRACE_AT(::Sync::TL_ENTER_FREQ, __VA_ARGS__)
#define TRACE_RETURN_FREQ(...) SYNC_TRACE_AT(::Sync::TL_RETURN_FREQ, __VA_ARGS__)
#define TRACE_PHASE_MEAS(...) SYNC_TRACE_AT(::Sync::TL_PHASE_MEAS, __VA_ARGS__)
#define TRACE_BEST_PACKET(...) SYNC_TRACE_AT(::Sync::TL_BEST_PACKET, __VA_ARGS__)
#define TRACE_DEBUG_PM(...) SYNC_TRACE_AT(::Sync::TL_DEBUG_PM, __VA_ARGS__)
#define TRACE_ESMC(...) SYNC_TRACE_AT(::Sync::TL_ESMC, __VA_ARGS__)

// The numbered TRACE1..TRACE9 events and the per-stack PACKET event.
#define TRACE_NUMBERED(number, ...)                                                                        \
    do {                                                                                                   \
        if (::Sync::traceEnabled(::Sync::TL_TRACE, number))                                                \
            ::syncTrace(::Sync::TRACE_TO_LTTNG, ::Sync::TL_TRACE, number, 0, __func__, __FILE__, __LINE__, \
                        __VA_ARGS__);                                                                      \
    } while (0)
#define TRACE_PACKET(stack, ...)                                                                           \
    do {                                                                                                   \
        if (::Sync::traceEnabled(::Sync::TL_PACKET))                                                       \
            ::syncTrace(::Sync::TRACE_TO_LTTNG, ::Sync::TL_PACKET, 0, stack, __func__, __FILE__, __LINE__, \
                        __VA_ARGS__);                                                                      \
    } while (0)

#endif
