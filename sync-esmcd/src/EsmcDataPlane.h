#ifndef SYNC_ESMCD_ESMCDATAPLANE_H
#define SYNC_ESMCD_ESMCDATAPLANE_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "DataPlaneClient.h"
#include "EsmcOutput.h"
#include "EsmcPdu.h"
#include "InterfaceWatch.h"
#include "PacketSocket.h"

namespace SyncEsmcd {

// The data plane's side of every order: one EsmcOutput per output the daemon created, keyed by the
// daemon's output id, and one schedule of when each output has work next.
//
// Every output the daemon created is kept with its orders, also one whose socket could not be opened
// (the create is answered with the reason): it is tried again at once on a change request, whose
// place replaces the create's, and by itself whenever the interface watch reports that its
// namespace or link appeared; then it transmits its latest orders at once. The daemon sends an
// output's orders when its create or change is confirmed, so a refusal it was told of is confirmed
// late once the output can be reached, and its orders follow. An output whose interface or
// namespace goes while it transmits waits the same way, without a timer.
//
// When the daemon goes away its outputs stay on the wire, held by network namespace and interface:
// for the hold time they transmit what they were last told, then do-not-use. A returning daemon that
// creates an output on the same interface and namespace takes the held one over, socket, schedule
// and all, so the PDU stream has no gap; its orders then settle before they reach the wire. Held
// outputs that the returning daemon has not taken over within the hold time are closed.
class EsmcDataPlane : public SyncPeers::DataPlaneClient::Listener, public InterfaceWatch::Listener {
  public:
    using Order = SyncPeers::DataPlaneClient::Order;
    using State = SyncPeers::DataPlaneClient::State;
    using Clock = EsmcOutput::Clock;
    using TimePoint = EsmcOutput::TimePoint;

    struct Settings {
        std::chrono::seconds hold{60};
        std::chrono::milliseconds settle{500};
        std::optional<EsmcPdu::Mac> clockMac;  // forwarded to the daemon at every connection
    };
    using SocketFactory = std::function<std::unique_ptr<PacketSocket>()>;
    using Now = std::function<TimePoint()>;

    EsmcDataPlane(SyncPeers::DataPlaneClient& client, Settings settings, SocketFactory sockets,
                  Now now = &Clock::now);
    ~EsmcDataPlane() override;

    uint32_t ordered(const Order& order) override;
    void connectionChanged(State state) override;
    void dropped(const std::string& why) override;

    void namespaceChanged(const std::string& netns, SyncSys::NetnsWatch::Identity now) override;
    void linkChanged(const std::string& netns, const SyncSys::LinkSource::Link& link, bool present) override;
    // The namespaces of the outputs ("" the own one): whose links the interface watch is to follow.
    const std::set<std::string>& namespaces() const { return namespaces_; }

    // Does whatever is due now; when to call it next (TimePoint::max(): nothing scheduled).
    TimePoint work();
    // The status printout: a heading, then one line per output.
    std::vector<std::string> status() const;
    // One line for the service manager: outputs transmitting, held, link down, refused (the longest
    // refused one named, with its reason); the daemon.
    std::string summary() const;
    // The status as a document for programs: the daemon's connection, then every output with the
    // daemon's id (null while held).
    nlohmann::ordered_json report() const;
    size_t outputCount() const { return outputs_.size(); }

  private:
    using Key = std::pair<std::string, std::string>;  // network namespace, interface
    struct Entry {
        std::unique_ptr<EsmcOutput> output;
        TimePoint scheduled = TimePoint::max();
        uint32_t outputId = 0;  // the daemon's id; 0 while held
        uint32_t owed = 0;      // the confirmation of a request that was refused, sent once reached
    };

    uint32_t create(const Order& order, TimePoint now);
    uint32_t change(const Order& order, TimePoint now);
    void remove(uint32_t outputId);
    Entry* bound(uint32_t outputId, const char* what);
    // Logs how the output's reach changed since it was `before`, confirms late what it owes once it
    // can be reached, and reschedules it.
    void reached(uint64_t serial, ConfigError before);
    void confirmLate(Entry& entry);
    void reschedule(uint64_t serial);
    void erase(uint64_t serial);
    void holdAll(TimePoint now);
    void recountNamespaces();

    SyncPeers::DataPlaneClient& client_;
    Settings settings_;
    SocketFactory sockets_;
    Now now_;
    State state_ = State::WAIT_FOR_SERVER;

    uint64_t nextSerial_ = 1;
    std::map<uint64_t, Entry> outputs_;                  // by serial
    std::unordered_map<uint32_t, uint64_t> byOutputId_;  // bound outputs
    std::map<Key, uint64_t> held_;                       // outputs of a daemon that went away
    std::set<std::pair<TimePoint, uint64_t>> schedule_;  // when each output has work
    std::set<std::string> namespaces_;
    TimePoint holdEnds_ = TimePoint::max();   // then held outputs announce do-not-use
    TimePoint heldClose_ = TimePoint::max();  // then held outputs not taken over close
};

}  // namespace SyncEsmcd

#endif
