#ifndef SYNC_ESMCD_ESMCOUTPUT_H
#define SYNC_ESMCD_ESMCOUTPUT_H

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "ConfigError.h"
#include "EsmcPdu.h"
#include "Log.h"
#include "PacketSocket.h"

namespace SyncEsmcd {

// One SyncE output on the wire: what the daemon ordered, what is being transmitted, and when the next
// PDU is due. While transmitting it sends an information PDU when a second has passed since its last
// PDU, and an event PDU at once when the announced quality changes, never more than MAX_PER_SECOND
// PDUs in any second (a change that has to wait goes out as soon as the window allows, carrying
// whatever is current then, so the last value always goes out).
//
// An output is kept whether or not its interface can be reached: while its socket cannot be opened
// (namespace or interface missing, socket refused, no MAC address) it is refused, with the reason
// and since when, takes its orders all the same, and sends nothing and schedules nothing until an
// attempt to reach it succeeds; then what it was last ordered goes on the wire at once. Its owner
// makes the attempts when something the output needs may have appeared.
//
// Orders normally take effect at once. After the daemon reconnected (settle()), they take effect
// only once they have been stable for the settle time, so that a restarting daemon's transients
// never reach the wire. Time is passed in, so the schedule can be driven by a test.
class EsmcOutput {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    static constexpr int MAX_PER_SECOND = 10;

    // Not reached yet: reach() opens the socket.
    EsmcOutput(std::unique_ptr<PacketSocket> socket, std::string netns, std::string interfaceName,
               std::optional<EsmcPdu::Mac> mac);

    // Orders of the daemon.
    void order(const EsmcPdu::Quality& quality, TimePoint now);
    void order(bool transmit, TimePoint now);
    void setMac(const EsmcPdu::Mac& mac) { mac_ = mac; }
    // From now on an order waits until no other came for `window`.
    void settle(std::chrono::milliseconds window, TimePoint now);
    // The daemon configured the output again, as it does when its port comes back: the next
    // information PDU goes at once, not at the output's next second.
    void resendNow(TimePoint now) { nextInformation_ = now; }
    // The daemon is gone for longer than the hold time: announce do-not-use, keeping the rest.
    void holdExpired(TimePoint now);

    // Opens the socket unless it is open: CONFIG_OK, or why it cannot, kept as the refusal. Once
    // open, the next information PDU goes at once.
    ConfigError reach(TimePoint now);
    // Closes the socket and reaches the output's place afresh (its namespace or link was replaced).
    ConfigError reopen(TimePoint now);
    // The daemon moved the output: the socket closes and the new place is reached.
    ConfigError moveTo(std::string netns, std::string interfaceName, TimePoint now);
    // What the socket is bound to went (`why`): it closes and the output waits, refused, for reach().
    void lose(ConfigError why);
    // The link has carrier again: a failing send is tried at once, not at the next second.
    void carrierUp(TimePoint now);

    // Sends what is due at `now`. A send that finds the interface gone binds to its name again;
    // when that fails the output is refused until reached.
    void work(TimePoint now);
    // When work() has something to do next; TimePoint::max() when nothing is scheduled.
    TimePoint due() const;

    const std::string& netns() const { return netns_; }
    const std::string& interfaceName() const { return interfaceName_; }
    const PacketSocket& socket() const { return *socket_; }
    // "ns/if", or "if" in the own namespace, for log lines.
    std::string where() const;
    // The journal fields of its log lines: interface and namespace, and what goes on the wire.
    SyncSys::Log::Fields fields() const;
    // One line: interface, namespace, on/off, SSM, enhanced SSM, clock identity, PDUs sent, error
    // or refusal.
    std::string status() const;
    // The same for programs: what it transmits, PDUs sent by kind, failed sends, the last error, and
    // why it cannot be reached (code, cause, since when; null while it can).
    nlohmann::ordered_json report() const;
    bool transmitting() const { return transmitting_; }
    bool reachable() const { return socket_->isOpen(); }
    // Why it cannot be reached; CONFIG_OK while it can.
    ConfigError refusal() const { return refusal_; }
    std::chrono::system_clock::time_point refusedSince() const { return refusedSince_; }
    // "since DATE TIME: cause (code N)" while refused.
    std::string refusalText() const;
    // Whether the last send failed (link down).
    bool failing() const { return failure_ != 0; }
    const EsmcPdu::Quality& onWire() const { return wire_; }
    uint64_t pdusSent() const { return sent_; }
    uint64_t eventsSent() const { return events_; }
    uint64_t sendErrors() const { return sendErrors_; }

  private:
    // Opens the socket, keeping the refusal.
    ConfigError open();
    void apply(TimePoint now);
    void transmit(bool event, TimePoint now);
    bool windowAllows(TimePoint now) const;
    TimePoint windowOpens() const;
    void reportFailure(int error);
    void clearFailure();

    std::unique_ptr<PacketSocket> socket_;
    std::string netns_;
    std::string interfaceName_;
    std::optional<EsmcPdu::Mac> mac_;
    ConfigError refusal_ = CONFIG_OK;
    std::chrono::system_clock::time_point refusedSince_;  // for the operator, on the wall clock

    EsmcPdu::Quality ordered_;
    bool orderedTransmit_ = false;
    EsmcPdu::Quality wire_;
    bool transmitting_ = false;

    TimePoint applyAt_ = TimePoint::max();  // orders wait for it while settling
    std::chrono::milliseconds settleWindow_{0};
    bool eventPending_ = false;
    TimePoint nextInformation_ = TimePoint::min();
    std::array<TimePoint, MAX_PER_SECOND> lastSends_{};  // ring of the last sends' times
    size_t nextSlot_ = 0;
    uint64_t sent_ = 0;
    uint64_t events_ = 0;      // of them event PDUs
    uint64_t sendErrors_ = 0;  // sends that failed

    int failure_ = 0;  // errno of the failing send, reported once; 0 while sends succeed
    std::string lastError_;
};

}  // namespace SyncEsmcd

#endif
