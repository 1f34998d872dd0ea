// The daemon's trace as a real LTTng session records it: the start-up line, the warning for a
// message nobody handles, and the ENTER/RETURN pairs, each with its call site.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "DaemonProcess.h"
#include "LttngSession.h"
#include "PrivateBus.h"
#include "TestPeer.h"
#include "TraceRecord.h"

namespace {

using E2e::DaemonProcess;
using E2e::LttngSession;
using E2e::TestPeer;
using E2e::TraceRecord;

const char* const kProvider = "com_zentrova_sync_lumov_control:";

// The number of the first line of a source file that contains text; 0 when none does. Call-site
// lines are looked up rather than written down, so the tests follow edits of those files.
int sourceLine(const std::string& file, const std::string& text) {
    std::ifstream in(std::string(SYNC_SOURCE_DIR) + "/" + file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.find(text) != std::string::npos) {
            return number;
        }
    }
    return 0;
}

std::vector<TraceRecord> withText(const std::vector<TraceRecord>& events, const std::string& event,
                                  const std::string& field, const std::string& prefix) {
    std::vector<TraceRecord> found;
    std::copy_if(events.begin(), events.end(), std::back_inserter(found), [&](const TraceRecord& r) {
        return r.event() == event && r.field(field).rfind(prefix, 0) == 0;
    });
    return found;
}

// Where the first event of that kind with that text (and from that file, when given) is;
// events.size() when there is none.
std::size_t indexOf(const std::vector<TraceRecord>& events, const std::string& event, const std::string& text,
                    const std::string& file = "") {
    auto it = std::find_if(events.begin(), events.end(), [&](const TraceRecord& r) {
        return r.event() == event && r.field("info_msg") == text && (file.empty() || r.field("file") == file);
    });
    return static_cast<std::size_t>(it - events.begin());
}

// The function an ENTER or RETURN text names: "Enter==>(init) ..." gives "init".
std::string functionOf(const std::string& text) {
    std::size_t open = text.find("==>(");
    open = open == std::string::npos ? text.find("<==(") : open;
    std::size_t close = text.find(')', open);
    return open == std::string::npos || close == std::string::npos ? ""
                                                                   : text.substr(open + 4, close - open - 4);
}

// Every RETURN closes the innermost open ENTER of the same function and kind (plain or _FREQ).
// Operations still running when recording stopped stay open.
void expectEnterReturnNesting(const std::vector<TraceRecord>& events) {
    std::vector<std::string> open;
    int returns = 0;
    for (const TraceRecord& r : events) {
        const std::string event = r.event();
        const bool enter = event == "ENTER" || event == "ENTER_FREQ";
        const bool leave = event == "RETURN" || event == "RETURN_FREQ";
        if (!enter && !leave) {
            continue;
        }
        const std::string kind = event.size() > 6 && event.find("_FREQ") != std::string::npos ? "FREQ " : "";
        const std::string key = kind + functionOf(r.field("info_msg"));
        EXPECT_FALSE(r.field("file").empty()) << r.field("info_msg");
        EXPECT_GT(std::stoi(r.field("line")), 0) << r.field("info_msg");
        if (enter) {
            open.push_back(key);
            continue;
        }
        ++returns;
        ASSERT_FALSE(open.empty()) << "RETURN without ENTER: " << r.field("info_msg");
        ASSERT_EQ(open.back(), key) << "at " << r.field("file") << ":" << r.field("line");
        open.pop_back();
    }
    EXPECT_GT(returns, 0);
}

class DaemonTraceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus_.running()) << "dbus-daemon did not start";
        ASSERT_TRUE(lttng_.ready()) << lttng_.error();
        ASSERT_TRUE(lttng_.startRecording()) << lttng_.error();
    }

    // Stops recording and returns what the given process recorded, all from the daemon's provider.
    std::vector<TraceRecord> eventsOf(pid_t pid) {
        EXPECT_TRUE(lttng_.stop()) << lttng_.error();
        std::vector<TraceRecord> all = lttng_.read();
        std::vector<TraceRecord> own;
        std::copy_if(all.begin(), all.end(), std::back_inserter(own),
                     [pid](const TraceRecord& r) { return r.vpid() == pid; });
        for (const TraceRecord& r : own) {
            EXPECT_EQ(r.name.rfind(kProvider, 0), 0u) << r.name;
        }
        return own;
    }

    PrivateBus bus_;
    LttngSession lttng_;
};

TEST_F(DaemonTraceTest, StartUpIsTracedWithArgv0AndCallSite) {
    const std::string argv0 = DaemonProcess::defaultBinary();
    DaemonProcess daemon({argv0, lttng_.environment()});
    // Ready means it answered Id(), which it does only from its loop: start-up is traced by then.
    ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();

    std::vector<TraceRecord> events = eventsOf(daemon.pid());
    std::vector<TraceRecord> started = withText(events, "INFO", "info_msg", " ############## ");
    ASSERT_EQ(started.size(), 1u) << lttng_.error();
    EXPECT_EQ(started[0].field("info_msg"), " ############## " + argv0 + " : STARTED  ################## ");
    EXPECT_EQ(started[0].field("file"), "Main.cpp");
    EXPECT_EQ(started[0].field("line"), std::to_string(sourceLine("src/Main.cpp", ": STARTED ")));

    // The controller's init() opens and closes before the start-up line.
    const std::size_t enterInit = indexOf(events, "ENTER", "Enter==>(init) ", "EpollController.cpp");
    const std::size_t returnInit = indexOf(events, "RETURN", "Return<==(init) ", "EpollController.cpp");
    ASSERT_LT(enterInit, events.size()) << "no ENTER of init";
    ASSERT_LT(returnInit, events.size()) << "no RETURN of init";
    EXPECT_LT(enterInit, returnInit);
    EXPECT_LT(returnInit, indexOf(events, "INFO", started[0].field("info_msg")));
    expectEnterReturnNesting(events);
}

TEST_F(DaemonTraceTest, MessageNobodyHandlesGivesExactlyOneWarning) {
    DaemonProcess daemon({"", lttng_.environment()});
    ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();
    TestPeer peer("e2e-sender");
    ASSERT_TRUE(peer.ok());

    peer.send(daemon.mailboxId(), TestPeer::message(4660, 12));
    // The daemon answers our Id() only after it has dealt with what we sent before.
    ASSERT_EQ(peer.locate("sync-lumov-control"), daemon.mailboxId());
    EXPECT_TRUE(daemon.running());

    std::vector<TraceRecord> events = eventsOf(daemon.pid());
    std::vector<TraceRecord> unhandled = withText(events, "WARNING", "warn_msg", "Unhandled message");
    ASSERT_EQ(unhandled.size(), 1u);
    EXPECT_EQ(unhandled[0].field("warn_msg"), "Unhandled message, msg.id=4660 [0x00001234]");
    EXPECT_EQ(unhandled[0].field("file"), "EpollController.cpp");
    EXPECT_EQ(unhandled[0].field("line"),
              std::to_string(sourceLine("sync-fwk/src/control/EpollController.cpp", "Unhandled message")));
    expectEnterReturnNesting(events);
}

}  // namespace
