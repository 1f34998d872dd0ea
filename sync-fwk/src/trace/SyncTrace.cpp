// The one reporting operation behind every trace macro.
#include <syslog.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Macros.h"
#include "trace/TraceFileSink.h"
#include "trace/TraceHooks.h"
#include "trace/TraceProvider.h"

#define SYNC_TP_ENABLED(event) lttng_ust_tracepoint_enabled(com_zentrova_sync_lumov_control, event)
#define SYNC_TP_FIRE(event, ...) lttng_ust_tracepoint(com_zentrova_sync_lumov_control, event, __VA_ARGS__)

namespace Sync {
namespace {

constexpr size_t kMessageSize = 400;
constexpr size_t kPrefixedSize = 464;
constexpr uint32_t kLastLevel = TL_ESMC;

// How each level is rendered: the head of its "HEAD(function) message" form (null: the message as
// it is) and its label in the file sink (null: tracepoint only). A null row is not a level.
struct LevelForm {
    bool valid;
    const char* prefix;
    const char* label;
};

constexpr LevelForm kLevelForms[kLastLevel + 1] = {
    {false, nullptr, nullptr},                // 0
    {true, nullptr, "ERROR"},                 // ERROR
    {true, nullptr, "WARNING"},               // WARNING
    {true, nullptr, "INFO"},                  // INFO
    {false, nullptr, nullptr},                // 4
    {true, nullptr, "REC_MSG"},               // REC_MSG
    {true, nullptr, "SEND_MSG"},              // SEND_MSG
    {true, "STATE_CHANGE==>", "STATE"},       // STATE
    {true, "DEBUG==>", "DEBUG"},              // DEBUG
    {true, "Enter==>", "ENTER"},              // ENTER
    {true, "Return<==", "RETURN"},            // RETURN
    {true, nullptr, "REC_MSG"},               // REC_MSG_FREQ
    {true, nullptr, "SEND_MSG"},              // SEND_MSG_FREQ
    {true, "DEBUG_FREQ==>", "DEBUG"},         // DEBUG_FREQ
    {true, "Enter==>", "ENTER"},              // ENTER_FREQ
    {true, "Return<==", "RETURN"},            // RETURN_FREQ
    {true, nullptr, "TRACE"},                 // TRACE
    {true, nullptr, nullptr},                 // PACKET
    {true, "PHASE_MEAS==>", "PHASE_MEAS"},    // PHASE_MEAS
    {true, "BEST_PACKET==>", "BEST_PACKET"},  // BEST_PACKET
    {true, "DEBUG_PM==>", "DEBUG_PM"},        // DEBUG_PM
    {true, "ESMC==>", "ESMC"},                // ESMC
};

const LevelForm& formOf(uint32_t level) {
    static constexpr LevelForm kNotALevel{false, nullptr, nullptr};
    return level <= kLastLevel ? kLevelForms[level] : kNotALevel;
}

const char* baseName(const char* path) {
    if (path == nullptr) {
        return "";
    }
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

const char* const kWrongTrace = "Wrong trace";

void fireWrongTrace(const char* function, const char* file, int line) {
    if (TraceCaptureHook hook = traceCaptureHook()) {
        hook(TL_INFO, function, file, line, kWrongTrace);
    }
    SYNC_TP_FIRE(INFO, file, line, kWrongTrace);
}

void fireNumbered(uint32_t traceNumber, const char* file, int line, const char* text) {
    switch (traceNumber) {
        case 1:
            SYNC_TP_FIRE(TRACE1, file, line, text);
            break;
        case 2:
            SYNC_TP_FIRE(TRACE2, file, line, text);
            break;
        case 3:
            SYNC_TP_FIRE(TRACE3, file, line, text);
            break;
        case 4:
            SYNC_TP_FIRE(TRACE4, file, line, text);
            break;
        case 5:
            SYNC_TP_FIRE(TRACE5, file, line, text);
            break;
        case 6:
            SYNC_TP_FIRE(TRACE6, file, line, text);
            break;
        case 7:
            SYNC_TP_FIRE(TRACE7, file, line, text);
            break;
        case 8:
            SYNC_TP_FIRE(TRACE8, file, line, text);
            break;
        case 9:
            SYNC_TP_FIRE(TRACE9, file, line, text);
            break;
        default:
            break;
    }
}

// Hands the final text to the tracepoint of its level. Levels outside the table and TRACE with a
// trace number outside 1..9 become INFO "Wrong trace".
void fireTracepoint(uint32_t level, uint32_t traceNumber, uint32_t stack, const char* function,
                    const char* file, int line, const char* text) {
    const bool wrongTrace =
        !formOf(level).valid || (level == TL_TRACE && (traceNumber < 1 || traceNumber > 9));
    if (wrongTrace) {
        fireWrongTrace(function, file, line);
        return;
    }
    if (TraceCaptureHook hook = traceCaptureHook()) {
        hook(level, function, file, line, text);
    }
    switch (level) {
        case TL_ERROR:
            SYNC_TP_FIRE(ERROR, file, line, text);
            break;
        case TL_WARNING:
            SYNC_TP_FIRE(WARNING, file, line, text);
            break;
        case TL_INFO:
            SYNC_TP_FIRE(INFO, file, line, text);
            break;
        case TL_REC_MSG:
            SYNC_TP_FIRE(REC_MSG, file, line, text);
            break;
        case TL_SEND_MSG:
            SYNC_TP_FIRE(SEND_MSG, file, line, text);
            break;
        case TL_STATE:
            SYNC_TP_FIRE(STATE, file, line, text);
            break;
        case TL_DEBUG:
            SYNC_TP_FIRE(DEBUG, file, line, text);
            break;
        case TL_ENTER:
            SYNC_TP_FIRE(ENTER, file, line, text);
            break;
        case TL_RETURN:
            SYNC_TP_FIRE(RETURN, file, line, text);
            break;
        case TL_REC_MSG_FREQ:
            SYNC_TP_FIRE(REC_MSG_FREQ, file, line, text);
            break;
        case TL_SEND_MSG_FREQ:
            SYNC_TP_FIRE(SEND_MSG_FREQ, file, line, text);
            break;
        case TL_DEBUG_FREQ:
            SYNC_TP_FIRE(DEBUG_FREQ, file, line, text);
            break;
        case TL_ENTER_FREQ:
            SYNC_TP_FIRE(ENTER_FREQ, file, line, text);
            break;
        case TL_RETURN_FREQ:
            SYNC_TP_FIRE(RETURN_FREQ, file, line, text);
            break;
        case TL_TRACE:
            fireNumbered(traceNumber, file, line, text);
            break;
        case TL_PACKET:
            SYNC_TP_FIRE(PACKET, stack, text);
            break;
        case TL_PHASE_MEAS:
            SYNC_TP_FIRE(PHASE_MEAS, file, line, text);
            break;
        case TL_BEST_PACKET:
            SYNC_TP_FIRE(BEST_PACKET, file, line, text);
            break;
        case TL_DEBUG_PM:
            SYNC_TP_FIRE(DEBUG_PM, file, line, text);
            break;
        case TL_ESMC:
            SYNC_TP_FIRE(ESMC, file, line, text);
            break;
        default:
            break;
    }
}

bool numberedEnabled(uint32_t traceNumber) {
    switch (traceNumber) {
        case 1:
            return SYNC_TP_ENABLED(TRACE1);
        case 2:
            return SYNC_TP_ENABLED(TRACE2);
        case 3:
            return SYNC_TP_ENABLED(TRACE3);
        case 4:
            return SYNC_TP_ENABLED(TRACE4);
        case 5:
            return SYNC_TP_ENABLED(TRACE5);
        case 6:
            return SYNC_TP_ENABLED(TRACE6);
        case 7:
            return SYNC_TP_ENABLED(TRACE7);
        case 8:
            return SYNC_TP_ENABLED(TRACE8);
        case 9:
            return SYNC_TP_ENABLED(TRACE9);
        default:
            return SYNC_TP_ENABLED(INFO);
    }
}

}  // namespace

bool traceEnabled(uint32_t level, uint32_t traceNumber) {
    if (level == TL_ERROR || level == TL_WARNING || traceCaptureHook() != nullptr) {
        return true;
    }
    switch (level) {
        case TL_INFO:
            return SYNC_TP_ENABLED(INFO);
        case TL_REC_MSG:
            return SYNC_TP_ENABLED(REC_MSG);
        case TL_SEND_MSG:
            return SYNC_TP_ENABLED(SEND_MSG);
        case TL_STATE:
            return SYNC_TP_ENABLED(STATE);
        case TL_DEBUG:
            return SYNC_TP_ENABLED(DEBUG);
        case TL_ENTER:
            return SYNC_TP_ENABLED(ENTER);
        case TL_RETURN:
            return SYNC_TP_ENABLED(RETURN);
        case TL_REC_MSG_FREQ:
            return SYNC_TP_ENABLED(REC_MSG_FREQ);
        case TL_SEND_MSG_FREQ:
            return SYNC_TP_ENABLED(SEND_MSG_FREQ);
        case TL_DEBUG_FREQ:
            return SYNC_TP_ENABLED(DEBUG_FREQ);
        case TL_ENTER_FREQ:
            return SYNC_TP_ENABLED(ENTER_FREQ);
        case TL_RETURN_FREQ:
            return SYNC_TP_ENABLED(RETURN_FREQ);
        case TL_TRACE:
            return numberedEnabled(traceNumber);
        case TL_PACKET:
            return SYNC_TP_ENABLED(PACKET);
        case TL_PHASE_MEAS:
            return SYNC_TP_ENABLED(PHASE_MEAS);
        case TL_BEST_PACKET:
            return SYNC_TP_ENABLED(BEST_PACKET);
        case TL_DEBUG_PM:
            return SYNC_TP_ENABLED(DEBUG_PM);
        case TL_ESMC:
            return SYNC_TP_ENABLED(ESMC);
        default:
            return SYNC_TP_ENABLED(INFO);
    }
}

}  // namespace Sync

void syncTrace(uint32_t output, uint32_t level, uint32_t traceNumber, uint32_t stack, const char* function,
               const char* file, int line, const char* format, ...) {
    using namespace Sync;
    const char* fileName = baseName(file);
    if (function == nullptr) {
        function = "";
    }

    char message[kMessageSize];
    message[0] = '\0';
    if (format != nullptr) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(message, sizeof message, format, args);
        va_end(args);
    }
    message[kMessageSize - 1] = '\0';

    if (level == TL_ERROR || level == TL_WARNING) {
        const TraceSyslog toSyslog = traceSyslog();
        toSyslog(LOG_USER | (level == TL_ERROR ? LOG_ERR : LOG_WARNING), "(%s:%d) Msg=%s", fileName, line,
                 message);
        toSyslog(LOG_USER | LOG_DEBUG, "(%s:%d) Msg=%s", fileName, line, message);
    }

    const LevelForm& form = formOf(level);
    char prefixed[kPrefixedSize];
    const char* text = message;
    if (form.prefix != nullptr) {
        std::snprintf(prefixed, sizeof prefixed, "%s(%s) %s", form.prefix, function, message);
        text = prefixed;
    }

    if (output == TRACE_TO_FILE && form.label != nullptr) {
        TraceFileSink::write(fileName, line, form.label, text);
        return;
    }
    fireTracepoint(level, traceNumber, stack, function, fileName, line, text);
}
