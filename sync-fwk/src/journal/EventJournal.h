// What an operator is told: one journal entry per change that matters on a node (quality, REC,
// outputs, ports, peers), with structured SYNC_* fields. It stands beside the trace facility, which
// records everything for whoever runs a tracing session; nothing here replaces a trace.
//
// A flapping port or a burst of quality changes must not flood the journal, so entries are counted
// per subject (one port, one output, the settled quality, one peer) and overall; beyond a limit they
// are only counted, and the next entry after the window names how many were left out.
#ifndef SYNC_JOURNAL_EVENTJOURNAL_H
#define SYNC_JOURNAL_EVENTJOURNAL_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace Sync {

class EventJournal {
  public:
    // Each kind fixes the entry's SYNC_EVENT and its priority: warning for losses, info otherwise.
    enum Kind : uint32_t {
        QUALITY_CHANGED,
        REC_CREATED,
        REC_DELETED,
        MODE_CHANGED,
        STANDARD_CHANGED,
        OUTPUT_CREATED,
        OUTPUT_REMOVED,
        OUTPUT_ENABLED,
        OUTPUT_DISABLED,
        OUTPUT_SSM_CHANGED,
        OUTPUT_ENHANCED_SSM_CHANGED,
        PORT_ADDED,
        PORT_LOCKED,
        PORT_UNLOCKED,
        PORT_ENABLED,
        PORT_DISABLED,
        PEER_CONNECTED,
        PEER_LOST,
        PEER_REFUSED,
        SUPPRESSED,  // the "... N more suppressed" entry of a subject (SYNC_SUBJECT, SYNC_SUPPRESSED)
    };
    using Fields = std::vector<std::pair<std::string, std::string>>;
    using Clock = std::chrono::steady_clock;

    // What is written: the fields start with SYNC_EVENT.
    struct Entry {
        int priority;
        std::string message;
        Fields fields;
    };
    using Sink = std::function<void(const Entry&)>;

    // Per subject at most SUBJECT_BURST entries in SUBJECT_WINDOW; overall at most ALL_BURST in
    // ALL_WINDOW, so that a change fanned out to thousands of outputs stays a few hundred lines.
    static constexpr int SUBJECT_BURST = 10;
    static constexpr std::chrono::seconds SUBJECT_WINDOW{60};
    static constexpr int ALL_BURST = 500;
    static constexpr std::chrono::seconds ALL_WINDOW{10};

    // subject names what is counted, in words ("port TnPort-A", "output 11", "settled quality");
    // priority -1 takes the kind's.
    static void report(Kind kind, const std::string& subject, const std::string& message,
                       const Fields& fields = {}, int priority = -1);

    // Whether the overall budget has room now; when it has none, an entry the caller was about to
    // report is counted as left out. Callers that report for thousands of subjects at once ask first,
    // so that nothing is built for an entry that would be dropped.
    static bool budgetLeft();

    static const char* name(Kind kind);
    static int priority(Kind kind);

    // For tests and fuzzing: where entries go instead of the journal (an empty sink restores it),
    // the clock the windows are measured with (empty: the steady clock), and a fresh start.
    static void setSink(Sink sink);
    static void setClock(std::function<Clock::time_point()> clock);
    static void reset();
};

}  // namespace Sync

#endif
