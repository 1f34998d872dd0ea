#ifndef SYNC_ESMCD_ESMCOUTPUT_H
#define SYNC_ESMCD_ESMCOUTPUT_H

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

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
// Orders normally take effect at once. After the daemon reconnected (settle()), they take effect
// only once they have been stable for the settle time, so that a restarting daemon's transients
// never reach the wire. Time is passed in, so the schedule can be driven by a test.
class EsmcOutput {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    static constexpr int MAX_PER_SECOND = 10;

    EsmcOutput(std::unique_ptr<PacketSocket> socket, std::string netns, std::string interfaceName,
               const EsmcPdu::Mac& mac);

    // Orders of the daemon.
    void order(const EsmcPdu::Quality& quality, TimePoint now);
    void order(bool transmit, TimePoint now);
    void setMac(const EsmcPdu::Mac& mac) { mac_ = mac; }
    // From now on an order waits until no other came for `window`.
    void settle(std::chrono::milliseconds window, TimePoint now);
    // The daemon configured the output again, as it does when its port comes back: the next
    // information PDU goes at once (reopening the socket if the interface had gone), not at the
    // output's next second.
    void resendNow(TimePoint now) { nextInformation_ = now; }
    // The daemon is gone for longer than the hold time: announce do-not-use, keeping the rest.
    void holdExpired(TimePoint now);

    // Sends what is due at `now`; reopens the socket once a second while the interface is gone.
    void work(TimePoint now);
    // When work() has something to do next; TimePoint::max() when nothing is scheduled.
    TimePoint due() const;

    const std::string& netns() const { return netns_; }
    const std::string& interfaceName() const { return interfaceName_; }
    // "ns/if", or "if" in the own namespace, for log lines.
    std::string where() const;
    // The journal fields of its log lines: interface and namespace, and what goes on the wire.
    SyncSys::Log::Fields fields() const;
    // One line: interface, namespace, on/off, SSM, enhanced SSM, clock identity, PDUs sent, error.
    std::string status() const;
    bool transmitting() const { return transmitting_; }
    // Whether the last send failed (link down, interface gone).
    bool failing() const { return failure_ != 0; }
    const EsmcPdu::Quality& onWire() const { return wire_; }
    uint64_t pdusSent() const { return sent_; }

  private:
    void apply(TimePoint now);
    void transmit(bool event, TimePoint now);
    bool windowAllows(TimePoint now) const;
    TimePoint windowOpens() const;
    void reportFailure(int error);

    std::unique_ptr<PacketSocket> socket_;
    std::string netns_;
    std::string interfaceName_;
    EsmcPdu::Mac mac_;

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

    int failure_ = 0;  // errno of the failing send or reopen, reported once; 0 while sends succeed
    std::string lastError_;
};

}  // namespace SyncEsmcd

#endif
