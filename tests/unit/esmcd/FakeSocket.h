#ifndef SYNC_TEST_ESMCD_FAKESOCKET_H
#define SYNC_TEST_ESMCD_FAKESOCKET_H

#include <algorithm>
#include <cerrno>
#include <map>
#include <set>
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

// The namespaces and interfaces fake sockets can reach: every one, unless the test took it away.
struct FakeNetwork {
    std::set<std::string> missing;                 // "ns", or "ns/if"
    SyncSys::NetnsWatch::Identity identity{1, 1};  // of every namespace
    std::map<std::string, int> indexes;            // "ns/if"; 1 when not given
    int index(const std::string& netns, const std::string& interfaceName) const {
        const auto found = indexes.find(netns + "/" + interfaceName);
        return found != indexes.end() ? found->second : 1;
    }
};

// Records every frame instead of sending it; `failWith` makes sends fail with that errno. A send on
// an interface the network no longer has, or has made anew, fails with ENXIO, as the kernel's does.
class FakeSocket : public SyncEsmcd::PacketSocket {
  public:
    FakeSocket(std::vector<Sent>& sent, const SyncEsmcd::EsmcOutput::TimePoint& now,
               const FakeNetwork& network)
        : sent_(sent), now_(now), network_(network) {}
    SyncEsmcd::ConfigError open(const std::string& netns, const std::string& interfaceName) override {
        ++opens;
        if (network_.missing.count(netns) != 0)
            return SyncEsmcd::NO_SUCH_NAMESPACE;
        if (network_.missing.count(netns + "/" + interfaceName) != 0)
            return SyncEsmcd::NO_SUCH_INTERFACE;
        netns_ = netns;
        interfaceName_ = interfaceName;
        index_ = network_.index(netns, interfaceName);
        identity_ = network_.identity;
        return SyncEsmcd::CONFIG_OK;
    }
    int send(const uint8_t* frame, size_t length) override {
        if (network_.missing.count(netns_ + "/" + interfaceName_) != 0 ||
            network_.index(netns_, interfaceName_) != index_)
            return ENXIO;
        if (failWith != 0)
            return failWith;
        Sent s{now_, interfaceName_, {}};
        std::copy(frame, frame + length, s.frame.begin());
        sent_.push_back(s);
        return 0;
    }
    void close() override { index_ = 0; }
    bool isOpen() const override { return index_ != 0; }
    int ifindex() const override { return index_; }
    SyncSys::NetnsWatch::Identity netnsIdentity() const override { return identity_; }
    int failWith = 0;
    int opens = 0;

  private:
    std::vector<Sent>& sent_;
    const SyncEsmcd::EsmcOutput::TimePoint& now_;
    const FakeNetwork& network_;
    std::string netns_;
    std::string interfaceName_;
    int index_ = 0;
    SyncSys::NetnsWatch::Identity identity_;
};

#endif
