#include <gtest/gtest.h>
#include <syslog.h>
#include <unistd.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Macros.h"
#include "TraceCapture.h"
#include "trace/TraceHooks.h"

using Sync::Test::TraceCapture;

namespace {

struct SyslogEntry {
    int priority;
    std::string text;
};

std::vector<SyslogEntry>& syslogEntries() {
    static std::vector<SyslogEntry> entries;
    return entries;
}

void recordSyslog(int priority, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    syslogEntries().push_back(SyslogEntry{priority, text});
}

// Routes syslog to the recorder for the test's lifetime.
class SyslogRecorder {
  public:
    SyslogRecorder() : previous(Sync::setTraceSyslog(&recordSyslog)) { syslogEntries().clear(); }
    ~SyslogRecorder() { Sync::setTraceSyslog(previous); }
    const std::vector<SyslogEntry>& entries() const { return syslogEntries(); }

  private:
    Sync::TraceSyslog previous;
};

void trace(uint32_t output, uint32_t level, uint32_t traceNumber, const char* message,
           const char* function = "fn", const char* file = "/src/dir/Source.cpp", int line = 113) {
    syncTrace(output, level, traceNumber, 0, function, file, line, "%s", message);
}

struct TracepointCase {
    uint32_t level;
    uint32_t traceNumber;
    uint32_t capturedLevel;
    const char* text;
    int syslogPriority = 0;  // ERROR and WARNING go to syslog twice: at this priority, then at DEBUG
};

// INFO, ENTER and RETURN lines are read back from a real session of the daemon; these are the others.
TEST(SyncTrace, EachLevelHandsItsFormToTheTracepointSink) {
    const TracepointCase cases[] = {
        {Sync::TL_ERROR, 0, Sync::TL_ERROR, "msg", LOG_USER | LOG_ERR},
        {Sync::TL_WARNING, 0, Sync::TL_WARNING, "msg", LOG_USER | LOG_WARNING},
        {Sync::TL_REC_MSG, 0, Sync::TL_REC_MSG, "msg"},
        {Sync::TL_SEND_MSG, 0, Sync::TL_SEND_MSG, "msg"},
        {Sync::TL_STATE, 0, Sync::TL_STATE, "STATE_CHANGE==>(fn) msg"},
        {Sync::TL_DEBUG, 0, Sync::TL_DEBUG, "DEBUG==>(fn) msg"},
        {Sync::TL_REC_MSG_FREQ, 0, Sync::TL_REC_MSG_FREQ, "msg"},
        {Sync::TL_SEND_MSG_FREQ, 0, Sync::TL_SEND_MSG_FREQ, "msg"},
        {Sync::TL_DEBUG_FREQ, 0, Sync::TL_DEBUG_FREQ, "DEBUG_FREQ==>(fn) msg"},
        {Sync::TL_ENTER_FREQ, 0, Sync::TL_ENTER_FREQ, "Enter==>(fn) msg"},
        {Sync::TL_RETURN_FREQ, 0, Sync::TL_RETURN_FREQ, "Return<==(fn) msg"},
        {Sync::TL_TRACE, 1, Sync::TL_TRACE, "msg"},
        {Sync::TL_TRACE, 9, Sync::TL_TRACE, "msg"},
        {Sync::TL_PACKET, 0, Sync::TL_PACKET, "msg"},
        {Sync::TL_PHASE_MEAS, 0, Sync::TL_PHASE_MEAS, "PHASE_MEAS==>(fn) msg"},
        {Sync::TL_BEST_PACKET, 0, Sync::TL_BEST_PACKET, "BEST_PACKET==>(fn) msg"},
        {Sync::TL_DEBUG_PM, 0, Sync::TL_DEBUG_PM, "DEBUG_PM==>(fn) msg"},
        {Sync::TL_ESMC, 0, Sync::TL_ESMC, "ESMC==>(fn) msg"},
        // Not levels, or TRACE without a valid trace number.
        {Sync::TL_TRACE, 0, Sync::TL_INFO, "Wrong trace"},
        {Sync::TL_TRACE, 10, Sync::TL_INFO, "Wrong trace"},
        {0, 0, Sync::TL_INFO, "Wrong trace"},
        {4, 0, Sync::TL_INFO, "Wrong trace"},
        {22, 0, Sync::TL_INFO, "Wrong trace"},
    };
    for (const TracepointCase& c : cases) {
        SyslogRecorder syslog;
        TraceCapture capture;
        trace(Sync::TRACE_TO_LTTNG, c.level, c.traceNumber, "msg");
        if (c.syslogPriority != 0) {
            ASSERT_EQ(syslog.entries().size(), 2u) << "level " << c.level;
            EXPECT_EQ(syslog.entries()[0].priority, c.syslogPriority);
            EXPECT_EQ(syslog.entries()[1].priority, LOG_USER | LOG_DEBUG);
            for (const SyslogEntry& entry : syslog.entries()) {
                EXPECT_EQ(entry.text, "(Source.cpp:113) Msg=msg");
            }
        } else {
            EXPECT_TRUE(syslog.entries().empty()) << "level " << c.level;
        }
        ASSERT_EQ(capture.lines().size(), 1u) << "level " << c.level;
        EXPECT_EQ(capture.lines()[0].level, c.capturedLevel) << "level " << c.level;
        EXPECT_EQ(capture.lines()[0].text, c.text) << "level " << c.level;
        EXPECT_EQ(capture.lines()[0].file, "Source.cpp") << "level " << c.level;
        EXPECT_EQ(capture.lines()[0].line, 113) << "level " << c.level;
    }
}

TEST(SyncTrace, LongMessagesAreCutToTheirBuffers) {
    TraceCapture capture;
    const std::string longMessage(500, 'x');
    trace(Sync::TRACE_TO_LTTNG, Sync::TL_INFO, 0, longMessage.c_str());
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0].text, std::string(399, 'x'));

    // The prefixed form has its own 464-byte buffer: head, function and the cut message, cut again.
    capture.clear();
    const std::string longFunction(100, 'f');
    trace(Sync::TRACE_TO_LTTNG, Sync::TL_ENTER, 0, longMessage.c_str(), longFunction.c_str());
    ASSERT_EQ(capture.lines().size(), 1u);
    const std::string full = "Enter==>(" + longFunction + ") " + std::string(399, 'x');
    EXPECT_EQ(capture.lines()[0].text, full.substr(0, 463));
}

// Runs in a fresh working directory with the file sink's clock frozen at 2026-01-02 03:04:05.678
// local time.
class TraceFileSinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(mkdtemp(directory), nullptr);
        ASSERT_NE(getcwd(previousDirectory, sizeof previousDirectory), nullptr);
        ASSERT_EQ(chdir(directory), 0);
        previousClock = Sync::setTraceClock(&frozenClock);
    }

    void TearDown() override {
        Sync::setTraceClock(previousClock);
        std::remove("unittest_output.log");
        ASSERT_EQ(chdir(previousDirectory), 0);
        rmdir(directory);
    }

    static Sync::TraceTime frozenClock() {
        tm stamp{};
        stamp.tm_year = 2026 - 1900;
        stamp.tm_mon = 0;
        stamp.tm_mday = 2;
        stamp.tm_hour = 3;
        stamp.tm_min = 4;
        stamp.tm_sec = 5;
        stamp.tm_isdst = -1;
        return Sync::TraceTime{mktime(&stamp), 678999};
    }

    static std::string takeLog() {
        std::ifstream in("unittest_output.log");
        std::stringstream text;
        text << in.rdbuf();
        std::remove("unittest_output.log");
        return text.str();
    }

    char directory[32] = "/tmp/sync-trace-XXXXXX";
    char previousDirectory[PATH_MAX] = {};
    Sync::TraceClock previousClock = nullptr;
    SyslogRecorder syslog;
};

TEST_F(TraceFileSinkTest, LabelledLevelsWriteOneStampedLineAndFireNoTracepoint) {
    struct Case {
        uint32_t level;
        uint32_t traceNumber;
        const char* fileLine;        // "": nothing for the file
        const char* tracepointText;  // null: no tracepoint
    };
    const Case cases[] = {
        {Sync::TL_ERROR, 0, "Source.cpp:113 ERROR:msg\n", nullptr},
        {Sync::TL_WARNING, 0, "Source.cpp:113 WARNING:msg\n", nullptr},
        {Sync::TL_INFO, 0, "Source.cpp:113 INFO:msg\n", nullptr},
        {Sync::TL_REC_MSG_FREQ, 0, "Source.cpp:113 REC_MSG:msg\n", nullptr},
        {Sync::TL_SEND_MSG_FREQ, 0, "Source.cpp:113 SEND_MSG:msg\n", nullptr},
        {Sync::TL_STATE, 0, "Source.cpp:113 STATE:STATE_CHANGE==>(fn) msg\n", nullptr},
        {Sync::TL_DEBUG_FREQ, 0, "Source.cpp:113 DEBUG:DEBUG_FREQ==>(fn) msg\n", nullptr},
        {Sync::TL_ENTER_FREQ, 0, "Source.cpp:113 ENTER:Enter==>(fn) msg\n", nullptr},
        {Sync::TL_RETURN, 0, "Source.cpp:113 RETURN:Return<==(fn) msg\n", nullptr},
        {Sync::TL_TRACE, 10, "Source.cpp:113 TRACE:msg\n", nullptr},
        {Sync::TL_ESMC, 0, "Source.cpp:113 ESMC:ESMC==>(fn) msg\n", nullptr},
        {Sync::TL_PACKET, 0, "", "msg"},
        {4, 0, "", "Wrong trace"},
    };
    for (const Case& c : cases) {
        TraceCapture capture;
        trace(Sync::TRACE_TO_FILE, c.level, c.traceNumber, "msg");
        const std::string expected =
            *c.fileLine ? std::string("[2026-01-02 03:04:05.678] ") + c.fileLine : "";
        EXPECT_EQ(takeLog(), expected) << "level " << c.level;
        EXPECT_EQ(capture.lines().size(), c.tracepointText ? 1u : 0u) << "level " << c.level;
        if (c.tracepointText && !capture.lines().empty()) {
            EXPECT_EQ(capture.lines()[0].text, c.tracepointText);
        }
    }
    // The file sink does not spare syslog: the ERROR and the WARNING made two entries each.
    EXPECT_EQ(syslog.entries().size(), 4u);

    trace(Sync::TRACE_TO_FILE, Sync::TL_INFO, 0, "one");
    trace(Sync::TRACE_TO_FILE, Sync::TL_INFO, 0, "two", "fn", "B.cpp", 7);
    EXPECT_EQ(takeLog(),
              "[2026-01-02 03:04:05.678] Source.cpp:113 INFO:one\n"
              "[2026-01-02 03:04:05.678] B.cpp:7 INFO:two\n");
}

// The call site's function, file and line of the common macros are pinned in the daemon's own trace.
TEST(SyncTrace, NumberedAndPacketMacrosTraceAtTheirLevels) {
    TraceCapture capture;
    TRACE_NUMBERED(4, "n=%d", 4);
    TRACE_PACKET(7, "stack %u", 7u);
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[0].level, Sync::TL_TRACE);
    EXPECT_EQ(capture.lines()[0].text, "n=4");
    EXPECT_EQ(capture.lines()[1].level, Sync::TL_PACKET);
    EXPECT_EQ(capture.lines()[1].text, "stack 7");
}

}  // namespace
