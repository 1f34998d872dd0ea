#ifndef SYNC_EXPORTER_GATHERER_H
#define SYNC_EXPORTER_GATHERER_H

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DaemonQuery.h"
#include "NodeMetrics.h"
#include "StatusQuery.h"

namespace SyncExporter {

// One gather of the node's state: the daemon and the three status sockets asked at once, each bounded
// by the same deadline, and what they answered handed on when the last of them is done. Driven by
// the program's loop: descriptors() to watch, process() when they are ready, work() after every
// wake-up.
class Gatherer {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    struct Settings {
        std::string statusDir;                   // where the programs' sockets are
        std::chrono::milliseconds timeout{500};  // for every source
    };
    // What the sources answered, and when the gather started (the age of what it found).
    using Gathered = std::function<void(const NodeMetrics::Answers& answers, TimePoint started)>;

    Gatherer(const Settings& settings, Gathered gathered);

    // Starts a gather unless one runs.
    void start(TimePoint now);
    bool running() const { return running_; }
    std::vector<int> descriptors() const;
    // Reads what the status sockets sent.
    void process();
    // Drives the daemon's query, notices the deadline, and hands the answers on once every source
    // is done; when it wants to run next.
    TimePoint work(TimePoint now);

  private:
    Settings settings_;
    Gathered gathered_;
    DaemonQuery daemon_;
    std::array<std::unique_ptr<StatusQuery>, NodeMetrics::SOURCE_COUNT> programs_;  // but the daemon
    bool running_ = false;
    TimePoint started_{};
};

}  // namespace SyncExporter

#endif
