#include "journal/EventJournal.h"

#include <syslog.h>

#include <algorithm>
#include <iterator>
#include <unordered_map>

#include "JournalWriter.h"

namespace Sync {

namespace {

struct KindRow {
    const char* name;
    int priority;
};

const KindRow KINDS[] = {
    {"QUALITY_CHANGED", LOG_INFO},
    {"REC_CREATED", LOG_INFO},
    {"REC_DELETED", LOG_WARNING},
    {"MODE_CHANGED", LOG_INFO},
    {"STANDARD_CHANGED", LOG_INFO},
    {"OUTPUT_CREATED", LOG_INFO},
    {"OUTPUT_REMOVED", LOG_WARNING},
    {"OUTPUT_ENABLED", LOG_INFO},
    {"OUTPUT_DISABLED", LOG_INFO},
    {"OUTPUT_SSM_CHANGED", LOG_INFO},
    {"OUTPUT_ENHANCED_SSM_CHANGED", LOG_INFO},
    {"PORT_ADDED", LOG_INFO},
    {"PORT_LOCKED", LOG_INFO},
    {"PORT_UNLOCKED", LOG_INFO},
    {"PORT_ENABLED", LOG_INFO},
    {"PORT_DISABLED", LOG_WARNING},
    {"PEER_CONNECTED", LOG_INFO},
    {"PEER_LOST", LOG_WARNING},
    {"PEER_REFUSED", LOG_WARNING},
    {"SUPPRESSED", LOG_INFO},
};

// Entries admitted since start, and those left out once the burst was used up.
struct Window {
    EventJournal::Clock::time_point start;
    int admitted = 0;
    uint64_t suppressed = 0;
};

// Subjects whose window is over and who have nothing to sum up are forgotten once there are this many
// (and then whenever their number has doubled), so that ids never seen again do not pile up.
constexpr size_t PRUNE_FROM = 1024;

struct State {
    EventJournal::Sink sink;
    std::function<EventJournal::Clock::time_point()> clock;
    std::unordered_map<std::string, Window> subjects;
    std::vector<std::string> withSuppressed;  // subjects whose summary is still due
    size_t pruneAt = PRUNE_FROM;
    Window all;
    bool allStarted = false;
};

State& state() {
    static State* instance = new State();
    return *instance;
}

EventJournal::Clock::time_point now() {
    return state().clock ? state().clock() : EventJournal::Clock::now();
}

void write(EventJournal::Kind kind, int priority, const std::string& message,
           const EventJournal::Fields& fields) {
    EventJournal::Entry entry{priority, message, {{"SYNC_EVENT", EventJournal::name(kind)}}};
    entry.fields.insert(entry.fields.end(), fields.begin(), fields.end());
    if (state().sink)
        state().sink(entry);
    else
        SyncSys::JournalWriter::write(entry.priority, entry.message, entry.fields);
}

void summarise(const std::string& subject, uint64_t count) {
    write(EventJournal::SUPPRESSED, EventJournal::priority(EventJournal::SUPPRESSED),
          subject + ": ... " + std::to_string(count) + " more suppressed",
          {{"SYNC_SUBJECT", subject}, {"SYNC_SUPPRESSED", std::to_string(count)}});
}

// Whether the window still has room at time t; a window that is over starts again.
bool admit(Window& window, EventJournal::Clock::time_point t, int burst, std::chrono::seconds length) {
    if (t - window.start >= length) {
        window.start = t;
        window.admitted = 0;
    }
    if (window.admitted >= burst) {
        ++window.suppressed;
        return false;
    }
    ++window.admitted;
    return true;
}

void prune(EventJournal::Clock::time_point t) {
    State& s = state();
    for (auto it = s.subjects.begin(); it != s.subjects.end();)
        it = t - it->second.start >= EventJournal::SUBJECT_WINDOW && it->second.suppressed == 0
                 ? s.subjects.erase(it)
                 : std::next(it);
    s.pruneAt = std::max(PRUNE_FROM, 2 * s.subjects.size());
}

// The summaries of windows that are over: they go out before anything newer.
void summariseExpired(EventJournal::Clock::time_point t) {
    State& s = state();
    if (s.all.suppressed > 0 && t - s.all.start >= EventJournal::ALL_WINDOW) {
        summarise("all subjects", s.all.suppressed);
        s.all.suppressed = 0;
    }
    for (size_t i = 0; i < s.withSuppressed.size();) {
        Window& window = s.subjects[s.withSuppressed[i]];
        if (t - window.start < EventJournal::SUBJECT_WINDOW) {
            ++i;
            continue;
        }
        summarise(s.withSuppressed[i], window.suppressed);
        window.suppressed = 0;
        s.withSuppressed[i] = s.withSuppressed.back();
        s.withSuppressed.pop_back();
    }
}

}  // namespace

void EventJournal::report(Kind kind, const std::string& subject, const std::string& message,
                          const Fields& fields, int priority) {
    State& s = state();
    const Clock::time_point t = now();
    summariseExpired(t);
    if (!s.allStarted) {
        s.all.start = t;
        s.allStarted = true;
    }
    // Overall first: past the budget, subjects are not even looked up.
    if (!admit(s.all, t, ALL_BURST, ALL_WINDOW))
        return;
    if (s.subjects.size() >= s.pruneAt)
        prune(t);
    auto [found, added] = s.subjects.try_emplace(subject);
    Window& window = found->second;
    if (added)
        window.start = t;
    if (!admit(window, t, SUBJECT_BURST, SUBJECT_WINDOW)) {
        --s.all.admitted;  // counted for the subject only
        if (window.suppressed == 1)
            s.withSuppressed.push_back(subject);
        return;
    }
    write(kind, priority < 0 ? EventJournal::priority(kind) : priority, message, fields);
}

bool EventJournal::budgetLeft() {
    State& s = state();
    if (!s.allStarted || now() - s.all.start >= ALL_WINDOW || s.all.admitted < ALL_BURST)
        return true;
    ++s.all.suppressed;
    return false;
}

const char* EventJournal::name(Kind kind) {
    return KINDS[kind].name;
}

int EventJournal::priority(Kind kind) {
    return KINDS[kind].priority;
}

void EventJournal::setSink(Sink sink) {
    state().sink = std::move(sink);
}

void EventJournal::setClock(std::function<Clock::time_point()> clock) {
    state().clock = std::move(clock);
}

void EventJournal::reset() {
    State& s = state();
    s.subjects.clear();
    s.withSuppressed.clear();
    s.pruneAt = PRUNE_FROM;
    s.all = Window();
    s.allStarted = false;
}

}  // namespace Sync
