#ifndef SYNC_E2E_ESMCCAPTURE_H
#define SYNC_E2E_ESMCCAPTURE_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace E2e {

// What tshark's ESMC dissector made of one captured PDU.
struct EsmcDecoded {
    double time = 0;           // seconds, kernel receive time
    unsigned version = 0;      // ossp.esmc.version
    bool event = false;        // ossp.esmc.event_flag
    std::string tlvTypes;      // "0x01,0x02": a QL TLV, then an extended QL TLV
    unsigned ssm = 0;          // ossp.esmc.tlv_ql_ssm
    unsigned enhancedSsm = 0;  // ossp.esmc.tlv_ext_ql_essm
    uint64_t clockId = 0;      // ossp.esmc.tlv_ext_ql_clockid
    unsigned eeecs = 0;
    unsigned eecs = 0;
    unsigned length = 0;  // frame.len
    std::string expert;   // expert infos, empty when tshark has nothing to say
};

// Captures the slow-protocol frames arriving at interfaces of a namespace (kernel time stamps),
// and has tshark decode them from a pcap file: tshark, not this project, is the judge of the wire.
class EsmcCapture {
  public:
    EsmcCapture(const std::string& netns, const std::vector<std::string>& interfaces);
    ~EsmcCapture();
    EsmcCapture(const EsmcCapture&) = delete;
    EsmcCapture& operator=(const EsmcCapture&) = delete;

    bool ready() const { return ready_; }
    // Reads what has arrived, waiting up to `timeout` until done() holds (checked after each read).
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // How many frames arrived at interface i so far.
    size_t count(size_t i) const { return frames_[i].size(); }
    // The SSM octet of the last frame at interface i (0xFF when none arrived).
    unsigned lastSsm(size_t i) const;
    // When the first frame from index `from` on with this SSM arrived at interface i; < 0: none did.
    double firstWithSsm(size_t i, size_t from, unsigned ssm) const;
    // Every frame at interface i, from the index `from` on, decoded by tshark as SSM codes of a
    // network of telecom-standard option I or II (tshark names the codes of one at a time).
    std::vector<EsmcDecoded> decode(size_t i, size_t from = 0, int option = 1) const;
    // Now on the clock of the time stamps.
    static double now();

  private:
    struct Frame {
        double time;
        std::vector<uint8_t> bytes;
    };
    void drain();

    std::vector<int> fds_;
    std::vector<std::vector<Frame>> frames_;
    bool ready_ = false;
};

}  // namespace E2e

#endif
