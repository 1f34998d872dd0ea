// The daemon binary on a private bus: the names it owns, how it ends, and its trace as a real LTTng
// session records it: the start-up line, a warning for each message nobody handles (which the
// daemon outlives), and the ENTER/RETURN pairs, each with its call site.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "DaemonProcess.h"
#include "LttngSession.h"
#include "PrivateBus.h"
#include "TestPeer.h"
#include "TraceRecord.h"

namespace {

using E2e::DaemonProcess;
using E2e::ExitStatus;
using E2e::TestPeer;
using E2e::TraceRecord;

constexpr auto kExitWait = std::chrono::seconds(10);

// The number of the first line of a source file that contains text, as text; "0" when none does.
// Call-site lines are looked up rather than written down, so the tests follow edits of those files.
std::string sourceLine(const std::string& file, const std::string& text) {
    std::ifstream in(std::string(SYNC_SOURCE_DIR) + "/" + file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number)
        if (line.find(text) != std::string::npos)
            return std::to_string(number);
    return "0";
}

// Where the first event of that kind whose field starts with text (and from that file, when given)
// is; events.size() when there is none.
size_t indexOf(const std::vector<TraceRecord>& events, const std::string& event, const std::string& field,
               const std::string& text, const std::string& file = "", size_t from = 0) {
    auto it = std::find_if(events.begin() + static_cast<long>(from), events.end(), [&](const TraceRecord& r) {
        return r.event() == event && r.field(field).rfind(text, 0) == 0 &&
               (file.empty() || r.field("file") == file);
    });
    return static_cast<size_t>(it - events.begin());
}

TEST(DaemonTest, OwnsItsNamesAbortsAsASecondInstanceAndWhenTheBusGoesAndTracesWithCallSites) {
    PrivateBus bus;
    ASSERT_TRUE(bus.running()) << "dbus-daemon did not start";
    E2e::LttngSession lttng;
    ASSERT_TRUE(lttng.startRecording()) << lttng.error();
    // argv[0] as the daemon is started, and the mailbox bus name its base name must give.
    const std::pair<const char*, const char*> names[] = {
        {"/usr/sbin/sync-lumov-control", "org.tavi.Mailbox.sync_2dlumov_2dcontrol"},
        {"sync-lumov-control", "org.tavi.Mailbox.sync_2dlumov_2dcontrol"},
        {"a/b\\c", "org.tavi.Mailbox.c"},
        {"./tools/2nd.daemon", "org.tavi.Mailbox._32nd_2edaemon"}};
    for (const auto& [argv0, mailboxBusName] : names) {
        SCOPED_TRACE(argv0);
        // Ready means it answered Id(), which it does only from its loop: start-up is traced by then.
        DaemonProcess daemon({argv0, lttng.environment()});
        ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();
        const std::string owner = daemon.ownerOf(DaemonProcess::kServiceBusName);
        ASSERT_FALSE(owner.empty());
        EXPECT_EQ(daemon.processOf(owner), daemon.pid());
        EXPECT_EQ(daemon.ownerOf(mailboxBusName), owner);
        EXPECT_EQ(daemon.ownerOf("org.tavi.Id.m" + std::to_string(daemon.mailboxId())), owner);

        // A second instance of the same name aborts, and the first keeps its names.
        DaemonProcess second({argv0});
        EXPECT_EQ(second.waitExit(kExitWait), ExitStatus::killedBy(SIGABRT)) << second.output();
        EXPECT_TRUE(daemon.running());
        EXPECT_EQ(daemon.ownerOf(DaemonProcess::kServiceBusName), owner);
        EXPECT_EQ(daemon.ownerOf(mailboxBusName), owner);
        EXPECT_EQ(daemon.askId(), daemon.mailboxId());
        if (argv0 == names[0].first) {
            SCOPED_TRACE("the trace");
            // The smallest message, one with a header, a large one, and one claiming another sender.
            TestPeer peer("e2e-sender");
            ASSERT_TRUE(peer.ok());
            peer.send(daemon.mailboxId(), TestPeer::message(4660, 4));
            peer.send(daemon.mailboxId(), TestPeer::message(4661, 12, {1, 2, 3, 4, 5, 6, 7, 8}));
            peer.send(daemon.mailboxId(), TestPeer::message(0xFFFFFFFFu, 70000));
            peer.send(daemon.mailboxId(), TestPeer::message(4662, 8), 12345);
            // The daemon answers our Id() only after it has dealt with what we sent before.
            EXPECT_EQ(peer.locate("sync-lumov-control"), daemon.mailboxId()) << daemon.output();
            EXPECT_TRUE(daemon.running()) << daemon.output();
            EXPECT_EQ(daemon.askId(), daemon.mailboxId());

            std::vector<TraceRecord> events = lttng.read();
            events.erase(std::remove_if(events.begin(), events.end(),
                                        [&](const TraceRecord& r) { return r.vpid() != daemon.pid(); }),
                         events.end());
            for (const TraceRecord& r : events)
                EXPECT_EQ(r.name.rfind("com_zentrova_sync_lumov_control:", 0), 0u) << r.name;
            const size_t started = indexOf(events, "INFO", "info_msg", " ############## ");
            ASSERT_LT(started, events.size()) << lttng.error();
            EXPECT_EQ(indexOf(events, "INFO", "info_msg", " ############## ", "", started + 1),
                      events.size());
            EXPECT_EQ(events[started].field("info_msg"),
                      " ############## " + std::string(argv0) + " : STARTED  ################## ");
            EXPECT_EQ(events[started].field("file"), "Main.cpp");
            EXPECT_EQ(events[started].field("line"), sourceLine("src/Main.cpp", ": STARTED "));
            // The controller's init() opens and closes before the start-up line.
            const size_t enterInit =
                indexOf(events, "ENTER", "info_msg", "Enter==>(init) ", "EpollController.cpp");
            const size_t returnInit =
                indexOf(events, "RETURN", "info_msg", "Return<==(init) ", "EpollController.cpp");
            EXPECT_LT(enterInit, returnInit);
            EXPECT_LT(returnInit, started);

            std::vector<std::string> unhandled;
            for (const TraceRecord& r : events) {
                if (r.event() == "WARNING" && r.field("warn_msg").rfind("Unhandled message", 0) == 0) {
                    unhandled.push_back(r.field("warn_msg"));
                    EXPECT_EQ(r.field("file"), "EpollController.cpp");
                    EXPECT_EQ(r.field("line"),
                              sourceLine("sync-fwk/src/control/EpollController.cpp", "Unhandled message"));
                }
            }
            EXPECT_EQ(unhandled,
                      (std::vector<std::string>{"Unhandled message, msg.id=4660 [0x00001234]",
                                                "Unhandled message, msg.id=4661 [0x00001235]",
                                                "Unhandled message, msg.id=4294967295 [0xFFFFFFFF]",
                                                "Unhandled message, msg.id=4662 [0x00001236]"}));

            // Every RETURN closes the innermost open ENTER of the same function and kind (plain or _FREQ).
            // Operations still running when recording stopped stay open.
            std::vector<std::string> open;
            int returns = 0;
            for (const TraceRecord& r : events) {
                const std::string event = r.event();
                const bool enter = event == "ENTER" || event == "ENTER_FREQ";
                if (!enter && event != "RETURN" && event != "RETURN_FREQ")
                    continue;
                // The function an ENTER or RETURN text names: "Enter==>(init) ..." gives "init".
                const std::string text = r.field("info_msg");
                std::smatch function;
                std::regex_search(text, function, std::regex("(?:==>|<==)\\(([^)]*)\\)"));
                const std::string key =
                    (event.find("_FREQ") != std::string::npos ? "FREQ " : "") + function[1].str();
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
    }

    DaemonProcess daemon;
    ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();
    bus.stop();
    EXPECT_EQ(daemon.waitExit(kExitWait), ExitStatus::killedBy(SIGABRT)) << daemon.output();
}

}  // namespace
