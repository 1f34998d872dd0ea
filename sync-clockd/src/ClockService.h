#ifndef SYNC_CLOCKD_CLOCKSERVICE_H
#define SYNC_CLOCKD_CLOCKSERVICE_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "PtpManagement.h"
#include "QualityTable.h"
#include "SyncControlServer.h"

namespace SyncClockd {

// The node clock as the sync-control service tells it: what the PTP stack reports, turned into the
// REC and its clock settled quality, indicated to the subscribers of the sync-control server on
// change only and replayed whole to each new subscriber.
//
// The stack is asked once a second for its parent data set, port data sets and time status, and
// told to report port state changes at once (a subscription renewed before it lapses). A grandmaster
// is tracked while the stack answers, reports one present, and has a port that follows it (SLAVE,
// or UNCALIBRATED: a stack that may not adjust the clock never leaves UNCALIBRATED); the port state
// also tells a lost grandmaster, which the parent data set may go on naming. The quality then comes
// from the grandmaster's clockClass through the table; otherwise it is the table's no-reference
// quality. The REC is created when the stack first answers and stays: outputs must not go away
// because the PTP stack restarts.
class ClockService : public SyncPeers::SyncControlServer::Listener {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    using Now = std::function<TimePoint()>;
    // Hands a datagram to the stack: 0, or the errno of a send it did not take.
    using Send = std::function<int(const std::vector<uint8_t>&)>;

    static constexpr uint32_t QL_ENABLED = 1;
    static constexpr uint32_t QL_DISABLED = 2;

    struct Settings {
        uint32_t selectionProcessMode = QL_ENABLED;
        uint32_t telecomStandard = 1;  // option I
        uint8_t domain = 0;
        QualityTable table = QualityTable::standard();
    };

    ClockService(SyncPeers::SyncControlServer& server, Settings settings, Send send, Now now = &Clock::now);

    // One datagram from the stack; a malformed one is logged and dropped.
    void received(const uint8_t* bytes, size_t size);
    // Asks the stack whatever is due and notices silence; when to call it next.
    TimePoint work();
    // Takes another clockClass table; a quality it changes is indicated at once.
    void setTable(const QualityTable& table);

    void subscribed(const SyncPeers::SyncControlServer::Subscription& subscription) override;
    void dropped(const std::string& why) override;

    // The status printout: what the stack reports, what was indicated last.
    std::vector<std::string> status() const;
    // One line for the service manager: what the stack reports, the quality indicated.
    std::string summary() const;
    // The status as a document for programs: what the stack reports, whether a grandmaster is
    // tracked, what was indicated last.
    nlohmann::ordered_json report() const;
    // The quality the clock has now, and whether it was indicated (the REC exists).
    uint32_t quality() const;
    bool recCreated() const { return recCreated_; }

  private:
    void ask(PtpManagement::Action action, uint16_t id, const std::vector<uint8_t>& data = {});
    void setAnswering(bool answering, const std::string& why);
    void update();
    bool tracking() const;
    // Whether a port follows a grandmaster.
    bool following() const;

    SyncPeers::SyncControlServer& server_;
    Settings settings_;
    Send send_;
    Now now_;

    bool answering_ = false;
    std::string silence_;  // why the stack is silent; empty before the first request
    TimePoint lastAnswer_{};
    TimePoint nextPoll_{};
    TimePoint nextSubscription_{};
    uint16_t sequence_ = 0;

    unsigned seen_ = 0;  // which polled data sets were answered since the stack answers again
    bool parentKnown_ = false;
    uint8_t clockClass_ = 0;
    uint64_t grandmaster_ = 0;
    bool gmPresent_ = false;
    std::map<uint16_t, uint8_t> portStates_;  // by port number

    bool recCreated_ = false;
    uint32_t indicated_ = 0;  // the quality indicated last; 0 none yet
};

}  // namespace SyncClockd

#endif
