// The daemon's tracepoint provider: one event per trace level, TRACE1..TRACE9 for the numbered
// traces. Included only by the trace facility itself; call sites use the macros of Macros.h.
#undef LTTNG_UST_TRACEPOINT_PROVIDER
#define LTTNG_UST_TRACEPOINT_PROVIDER com_zentrova_sync_lumov_control

#undef LTTNG_UST_TRACEPOINT_INCLUDE
#define LTTNG_UST_TRACEPOINT_INCLUDE "trace/TraceProvider.h"

#if !defined(SYNC_TRACE_PROVIDER_H) || defined(LTTNG_UST_TRACEPOINT_HEADER_MULTI_READ)
#define SYNC_TRACE_PROVIDER_H

#include <lttng/tracepoint.h>

#include <cstdint>

// Most events carry the caller's file, line and text.
LTTNG_UST_TRACEPOINT_EVENT_CLASS(com_zentrova_sync_lumov_control, info_class,
                                 LTTNG_UST_TP_ARGS(const char*, file, int, line, const char*, info_msg),
                                 LTTNG_UST_TP_FIELDS(lttng_ust_field_string(file, file)
                                                         lttng_ust_field_integer(int, line, line)
                                                             lttng_ust_field_string(info_msg, info_msg)))

#define SYNC_INFO_EVENT(name)                                                               \
    LTTNG_UST_TRACEPOINT_EVENT_INSTANCE(                                                    \
        com_zentrova_sync_lumov_control, info_class, com_zentrova_sync_lumov_control, name, \
        LTTNG_UST_TP_ARGS(const char*, file, int, line, const char*, info_msg))

LTTNG_UST_TRACEPOINT_EVENT(com_zentrova_sync_lumov_control, ERROR,
                           LTTNG_UST_TP_ARGS(const char*, file, int, line, const char*, err_msg),
                           LTTNG_UST_TP_FIELDS(lttng_ust_field_string(file, file)
                                                   lttng_ust_field_integer(int, line, line)
                                                       lttng_ust_field_string(err_msg, err_msg)))

LTTNG_UST_TRACEPOINT_EVENT(com_zentrova_sync_lumov_control, WARNING,
                           LTTNG_UST_TP_ARGS(const char*, file, int, line, const char*, warn_msg),
                           LTTNG_UST_TP_FIELDS(lttng_ust_field_string(file, file)
                                                   lttng_ust_field_integer(int, line, line)
                                                       lttng_ust_field_string(warn_msg, warn_msg)))

LTTNG_UST_TRACEPOINT_EVENT(com_zentrova_sync_lumov_control, PACKET,
                           LTTNG_UST_TP_ARGS(uint32_t, stack, const char*, info_msg),
                           LTTNG_UST_TP_FIELDS(lttng_ust_field_integer(uint32_t, stack, stack)
                                                   lttng_ust_field_string(info_msg, info_msg)))

SYNC_INFO_EVENT(INFO)
SYNC_INFO_EVENT(ENTER)
SYNC_INFO_EVENT(RETURN)
SYNC_INFO_EVENT(ENTER_FREQ)
SYNC_INFO_EVENT(RETURN_FREQ)
SYNC_INFO_EVENT(REC_MSG)
SYNC_INFO_EVENT(SEND_MSG)
SYNC_INFO_EVENT(REC_MSG_FREQ)
SYNC_INFO_EVENT(SEND_MSG_FREQ)
SYNC_INFO_EVENT(STATE)
SYNC_INFO_EVENT(DEBUG)
SYNC_INFO_EVENT(DEBUG_FREQ)
SYNC_INFO_EVENT(TRACE1)
SYNC_INFO_EVENT(TRACE2)
SYNC_INFO_EVENT(TRACE3)
SYNC_INFO_EVENT(TRACE4)
SYNC_INFO_EVENT(TRACE5)
SYNC_INFO_EVENT(TRACE6)
SYNC_INFO_EVENT(TRACE7)
SYNC_INFO_EVENT(TRACE8)
SYNC_INFO_EVENT(TRACE9)
SYNC_INFO_EVENT(PHASE_MEAS)
SYNC_INFO_EVENT(BEST_PACKET)
SYNC_INFO_EVENT(DEBUG_PM)
SYNC_INFO_EVENT(ESMC)

#undef SYNC_INFO_EVENT

#endif

#include <lttng/tracepoint-event.h>
