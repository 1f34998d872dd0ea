// The whole daemon in-process on the fake transport, with its four peers played by messages: the
// benchmarks drive only messages in and read only messages out, one step of the road at a time. Each
// step checks the daemon's answers by number and count and fails (with error()) when they differ.
#ifndef SYNC_BENCH_FAKEROAD_H
#define SYNC_BENCH_FAKEROAD_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Sync {
namespace LumovControl {
class Controller;
}

namespace Bench {

class FakeRoad {
  public:
    // A fresh fake transport and an initialised daemon.
    FakeRoad();
    ~FakeRoad();
    FakeRoad(const FakeRoad&) = delete;
    FakeRoad& operator=(const FakeRoad&) = delete;

    // Data-plane client connected, sync-control server connected with the clock quality known,
    // port-control server connected and asked for its ports.
    bool connectPeers();
    // The port support of n fronthaul ports; every port subscribes.
    bool discoverPorts(uint32_t n);
    bool confirmSubscriptions();
    // Every port reports itself unlocked and enabled.
    bool portsUp();
    // The REC appears: every output asks to be created.
    bool recCreated();
    // The data plane confirms every creation: each output orders TRANSMIT_SSM and ESMC_CONTROL.
    bool confirmOutputs();
    // A new clock quality: every output orders TRANSMIT_SSM.
    bool qualityChange(uint32_t clockSettledQuality);

    // The whole road above for n ports.
    bool wholeRoad(uint32_t n);

    // A status indication for the port at index (in discovery order).
    std::vector<uint8_t> portStatusMessage(size_t index, bool enabled,
                                           const std::string& networkNamespace) const;
    // The daemon handles one message from the port-control server; whatever it sends is dropped.
    void fromPortControl(const std::vector<uint8_t>& message);
    size_t ports() const { return portIds_.size(); }
    const std::string& error() const { return error_; }

  private:
    // Messages queued at once: enough to keep the daemon busy, few enough that the fake transport's
    // queue and record stay small beside the daemon's own memory.
    static constexpr size_t kChunk = 1024;

    void pump();
    void inject(uint32_t sender, const std::vector<uint8_t>& bytes);
    // count messages from sender, built by message(index) and handled a chunk at a time; each chunk
    // must bring the numbers in answers to peer, once per message, in turn.
    bool stream(uint32_t sender, size_t count, const std::function<std::vector<uint8_t>(size_t)>& message,
                uint32_t peer, const std::vector<uint32_t>& answers, const char* step);
    // What the daemon sent to peer since the last take; everything recorded is then forgotten.
    std::vector<std::vector<uint8_t>> take(uint32_t peer);
    // Takes the messages to peer and checks that there are count of each number in numbers, in turn.
    bool expect(uint32_t peer, const std::vector<uint32_t>& numbers, size_t count, const char* step,
                std::vector<uint32_t>* firstWordIds = nullptr);
    bool fail(const std::string& text);

    std::unique_ptr<LumovControl::Controller> controller_;
    uint32_t serverReference_ = 0;
    std::vector<uint32_t> portIds_;
    std::vector<uint32_t> outputIds_;
    std::string error_;
};

}  // namespace Bench
}  // namespace Sync

#endif
