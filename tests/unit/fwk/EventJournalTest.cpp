// The operator's journal: what the rate limits let through and what they sum up, how the peers'
// states move, and the stderr form of an entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JournalWriter.h"
#include "journal/EventJournal.h"
#include "journal/PeerStatus.h"

namespace {

using Sync::EventJournal;
using Sync::PeerStatus;

class EventJournalTest : public ::testing::Test {
  protected:
    EventJournalTest() {
        EventJournal::reset();
        PeerStatus::reset();
        EventJournal::setSink([this](const EventJournal::Entry& entry) { written_.push_back(entry); });
        EventJournal::setClock([this] { return now_; });
    }
    ~EventJournalTest() override {
        EventJournal::setSink({});
        EventJournal::setClock({});
        EventJournal::reset();
        PeerStatus::reset();
    }

    void report(const std::string& subject, int times = 1) {
        for (int i = 0; i < times; ++i)
            EventJournal::report(EventJournal::PORT_LOCKED, subject, subject + " locked");
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> all;
        for (const EventJournal::Entry& entry : written_)
            all.push_back(entry.message);
        return all;
    }

    EventJournal::Clock::time_point now_{};
    std::vector<EventJournal::Entry> written_;
};

TEST_F(EventJournalTest, ASubjectPastItsBurstIsCountedAndSummedUpBeforeItsNextEntry) {
    report("port A", EventJournal::SUBJECT_BURST + 5);
    report("port B");
    ASSERT_EQ(written_.size(), static_cast<size_t>(EventJournal::SUBJECT_BURST) + 1);
    EXPECT_EQ(written_.back().message, "port B locked");

    now_ += EventJournal::SUBJECT_WINDOW - std::chrono::seconds(1);
    report("port A");  // still within A's window
    EXPECT_EQ(written_.size(), static_cast<size_t>(EventJournal::SUBJECT_BURST) + 1);

    now_ += std::chrono::seconds(1);
    written_.clear();
    report("port B");  // any later entry brings A's summary first
    report("port A");
    ASSERT_EQ(messages(),
              (std::vector<std::string>{"port A: ... 6 more suppressed", "port B locked", "port A locked"}));
    EXPECT_EQ(written_[0].fields,
              (EventJournal::Fields{
                  {"SYNC_EVENT", "SUPPRESSED"}, {"SYNC_SUBJECT", "port A"}, {"SYNC_SUPPRESSED", "6"}}));
}

TEST_F(EventJournalTest, AllSubjectsTogetherHaveABudgetToo) {
    for (int i = 0; i < EventJournal::ALL_BURST + 3; ++i)
        report("port " + std::to_string(i));
    EXPECT_EQ(written_.size(), static_cast<size_t>(EventJournal::ALL_BURST));
    now_ += EventJournal::ALL_WINDOW;
    written_.clear();
    report("port last");
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"all subjects: ... 3 more suppressed", "port last locked"}));
}

TEST_F(EventJournalTest, PeersChangeStateOnlyWhenTheirConnectionDoes) {
    const struct {
        const char* step;
        void (*act)();
        PeerStatus::State state;
        std::vector<std::string> written;  // "PRIORITY EVENT" of the entries the step writes
    } steps[] = {
        {"connected",
         [] { PeerStatus::connected(PeerStatus::DATA_PLANE, 7); },
         PeerStatus::CONNECTED,
         {"6 PEER_CONNECTED"}},
        {"the same again",
         [] { PeerStatus::connected(PeerStatus::DATA_PLANE, 7); },
         PeerStatus::CONNECTED,
         {}},
        {"a second client refused",
         [] { PeerStatus::refused(PeerStatus::DATA_PLANE, 8, "busy"); },
         PeerStatus::CONNECTED,
         {"4 PEER_REFUSED"}},
        {"another mailbox gone",
         [] { PeerStatus::lost(PeerStatus::DATA_PLANE, 8); },
         PeerStatus::CONNECTED,
         {}},
        {"lost", [] { PeerStatus::lost(PeerStatus::DATA_PLANE, 7); }, PeerStatus::LOST, {"4 PEER_LOST"}},
        {"lost again", [] { PeerStatus::lost(PeerStatus::DATA_PLANE, 7); }, PeerStatus::LOST, {}},
        {"refused",
         [] { PeerStatus::refused(PeerStatus::DATA_PLANE, 9, "no revision"); },
         PeerStatus::REFUSED,
         {"4 PEER_REFUSED"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        written_.clear();
        step.act();
        std::vector<std::string> events;
        for (const EventJournal::Entry& entry : written_)
            events.push_back(std::to_string(entry.priority) + " " + entry.fields.at(0).second);
        EXPECT_EQ(events, step.written);
        EXPECT_EQ(PeerStatus::link(PeerStatus::DATA_PLANE).state, step.state);
    }
    EXPECT_EQ(written_.at(0).message, "data plane refused (mailbox 9): no revision");
    // The command server leaves after every command: no warning.
    PeerStatus::connected(PeerStatus::COMMAND, 5);
    PeerStatus::lost(PeerStatus::COMMAND, 5);
    EXPECT_EQ(written_.back().priority, 6);
    EXPECT_EQ(written_.back().fields.at(0).second, "PEER_LOST");
}

TEST(JournalWriterTest, TheStderrFormKeepsOneEntryOnOneLineAndItsValuesReadable) {
    EXPECT_EQ(
        SyncSys::JournalWriter::line(
            "port A\nlocked",
            {{"SYNC_PORT", "A"}, {"SYNC_EMPTY", ""}, {"SYNC_BLANK", "a b"}, {"SYNC_QUOTE", "say \"x\\y\"]"}}),
        "port A\\x0alocked [SYNC_PORT=A SYNC_EMPTY=\"\" SYNC_BLANK=\"a b\" SYNC_QUOTE=\"say "
        "\\\"x\\\\y\\\"]\"]");
    EXPECT_EQ(SyncSys::JournalWriter::line("plain", {}), "plain");
}

}  // namespace
