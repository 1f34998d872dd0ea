#ifndef SYNC_EXPORTER_DAEMONQUERY_H
#define SYNC_EXPORTER_DAEMONQUERY_H

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "CommandServer.h"

namespace SyncExporter {

// Asks the daemon for its state as the operator's command does, once per gather and without
// blocking: it becomes the command server ("Sync_tavi_coli") for the call only, waits for the
// daemon to register its command, runs `info output --json` and `status --json` (what the metrics
// need, at a fraction of `info all`'s cost: the ports' records are the largest part of it) and
// leaves the bus. The name has one owner at a time: while an operator's synclumovcontrol holds it,
// the query tries again every 50 ms, and it never holds it past its deadline.
class DaemonQuery {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    static constexpr std::chrono::milliseconds RETRY{50};

    explicit DaemonQuery(std::string mailboxName = SyncPeers::CommandServer::DEFAULT_MAILBOX);
    ~DaemonQuery();

    // Starts asking; everything ends by the deadline.
    void start(TimePoint now, TimePoint deadline);
    bool busy() const { return state_ != IDLE; }
    // The mailbox while it has one.
    std::vector<int> descriptors() const;
    // Handles what arrived and what fell due; when it wants to run next (TimePoint::max(): only
    // when its mailbox turns readable, or not at all).
    TimePoint work(TimePoint now);

    // The answers so far, in the order asked (the outputs, then the status); after it ended, whether
    // the daemon answered them all, or why not.
    bool answered() const { return answered_; }
    const std::vector<std::string>& answers() const { return answers_; }
    const std::string& failure() const { return failure_; }

  private:
    enum State { IDLE, TAKING_NAME, REGISTERING, ANSWERING };

    void takeName(TimePoint now);
    void ask();
    void end(const std::string& failure);

    std::string mailboxName_;
    std::unique_ptr<SyncPeers::CommandServer> server_;
    State state_ = IDLE;
    TimePoint deadline_{};
    TimePoint retry_{};
    uint32_t daemon_ = 0;
    bool answered_ = false;
    std::vector<std::string> answers_;
    std::string failure_;
};

}  // namespace SyncExporter

#endif
