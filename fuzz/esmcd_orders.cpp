// Feeds arbitrary messages from the bus to sync-esmcd's data-plane client and its outputs, with the
// daemon connected, over sockets that stand in for the kernel. The input is a sequence of records: a
// selector byte, a 16-bit big-endian length and that many bytes, the message after its number. The
// selector's low five bits pick the number from the protocol's block; 0x20 makes the daemon go and
// come back before the message; 0x40 sends from a stranger's mailbox; 0x80 lets a step of time pass
// first (the next byte, in 50 ms) and runs whatever became due.
//
// Everything is built afresh per input (no bus is involved), so no input depends on another.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "DataPlaneClient.h"
#include "EsmcDataPlane.h"
#include "FuzzInput.h"
#include "Log.h"
#include "WireBuffer.h"

namespace {

using SyncEsmcd::EsmcDataPlane;

constexpr uint32_t DAEMON = 0x7000;
constexpr uint32_t STRANGER = 0x7001;
constexpr uint32_t CONNECTION_REFERENCE = 0x5C1;
constexpr uint32_t MSGNO_BASE = 0x94000;

// Refuses namespace "missing", fails every third send as a link that went away.
class FakeSocket : public SyncEsmcd::PacketSocket {
  public:
    SyncEsmcd::ConfigError open(const std::string& netns, const std::string& interfaceName) override {
        if (netns == "missing")
            return SyncEsmcd::NO_SUCH_NAMESPACE;
        if (interfaceName.empty())
            return SyncEsmcd::NO_SUCH_INTERFACE;
        open_ = true;
        return SyncEsmcd::CONFIG_OK;
    }
    int send(const uint8_t*, size_t length) override {
        if (!open_ || length != SyncEsmcd::EsmcPdu::SIZE)
            __builtin_trap();  // a frame on a closed socket, or of the wrong size
        return ++sends_ % 3 == 0 ? ENODEV : 0;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }

  private:
    bool open_ = false;
    unsigned sends_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SyncSys::Log::silence();
    FuzzInput input(data, size);
    EsmcDataPlane::TimePoint now = EsmcDataPlane::TimePoint(std::chrono::hours(1));
    SyncPeers::DataPlaneClient client("fuzz");
    EsmcDataPlane::Settings settings;
    settings.hold = std::chrono::seconds(2);
    EsmcDataPlane plane(
        client, settings, [] { return std::make_unique<FakeSocket>(); }, [&now] { return now; });
    client.setListener(&plane);
    client.assumeConnected(DAEMON, CONNECTION_REFERENCE);

    while (!input.empty()) {
        const uint8_t selector = input.byte();
        if (selector & 0x80) {
            now += std::chrono::milliseconds(50 * input.byte());
            plane.work();
        }
        if (selector & 0x20) {
            plane.connectionChanged(SyncPeers::DataPlaneClient::State::WAIT_FOR_SERVER);
            client.assumeConnected(DAEMON, CONNECTION_REFERENCE);
        }
        const size_t length = static_cast<size_t>(input.byte()) << 8 | input.byte();
        size_t got = 0;
        const uint8_t* body = input.take(length, got);
        SyncPeers::WireBuffer message(MSGNO_BASE + (selector & 0x1F), 4 + got);
        message.putBytes(4, body, got);
        client.inject(message, selector & 0x40 ? STRANGER : DAEMON);
    }
    // Whatever is left must run out without fault, and the printout must name every output.
    for (int second = 0; second < 5; ++second) {
        now += std::chrono::seconds(1);
        plane.work();
    }
    if (plane.status().size() != plane.outputCount() + 1)
        __builtin_trap();
    return 0;
}
