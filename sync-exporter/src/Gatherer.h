#ifndef SYNC_EXPORTER_GATHERER_H
#define SYNC_EXPORTER_GATHERER_H

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "DaemonQuery.h"
#include "NodeMetrics.h"
#include "StatusQuery.h"

namespace SyncExporter {

// One gather of the node's state: the daemon and the three status sockets asked at once, each bounded
// by the same deadline, waited for together on a poll of their own.
class Gatherer {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    struct Settings {
        std::string statusDir;                   // where the programs' sockets are
        std::chrono::milliseconds timeout{500};  // for every source
    };

    explicit Gatherer(const Settings& settings);

    // What each source answered, by the timeout at the latest.
    NodeMetrics::Answers gather();

  private:
    std::vector<int> descriptors() const;
    // Drives every query and reads the answer of each that ended; when one wants to run next;
    // whether any is still busy.
    TimePoint work(TimePoint now, NodeMetrics::Answers& answers, bool& busy);

    Settings settings_;
    DaemonQuery daemon_;
    NodeMetrics::Answer daemonRead_;  // its answers read so far

    std::array<std::unique_ptr<StatusQuery>, NodeMetrics::SOURCE_COUNT> programs_;  // but the daemon
};

}  // namespace SyncExporter

#endif
