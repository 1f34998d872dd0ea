#ifndef SYNC_TEST_ESMCD_FAKESOCKET_H
#define SYNC_TEST_ESMCD_FAKESOCKET_H

#include <algorithm>
#include <string>
#include <vector>

#include "EsmcOutput.h"
#include "PacketSocket.h"

// Each frame a fake packet socket was handed, when (on the test's clock) and on which interface.
struct Sent {
    SyncEsmcd::EsmcOutput::TimePoint at;
    std::string interfaceName;
    SyncEsmcd::EsmcPdu::Frame frame;
    unsigned ssm() const { return frame[27] & 0x0F; }
    bool event() const { return (frame[20] & 0x08) != 0; }
};

// Records every frame instead of sending it; `failWith` makes sends fail with that errno.
class FakeSocket : public SyncEsmcd::PacketSocket {
  public:
    FakeSocket(std::vector<Sent>& sent, const SyncEsmcd::EsmcOutput::TimePoint& now)
        : sent_(sent), now_(now) {}
    SyncEsmcd::ConfigError open(const std::string&, const std::string& interfaceName) override {
        ++opens;
        open_ = true;
        interfaceName_ = interfaceName;
        return SyncEsmcd::CONFIG_OK;
    }
    int send(const uint8_t* frame, size_t length) override {
        if (failWith != 0)
            return failWith;
        Sent s{now_, interfaceName_, {}};
        std::copy(frame, frame + length, s.frame.begin());
        sent_.push_back(s);
        return 0;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    int failWith = 0;
    int opens = 0;

  private:
    std::vector<Sent>& sent_;
    const SyncEsmcd::EsmcOutput::TimePoint& now_;
    std::string interfaceName_;
    bool open_ = true;
};

#endif
