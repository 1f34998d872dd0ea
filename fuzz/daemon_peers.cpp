// Feeds the whole daemon (every service handler and the model behind them, on the in-process
// transport, with its four peers connected) what its peers may send: any message of any of the four
// interfaces, and the name-service answers and indications it learns its peers' comings and goings
// from, forged by any peer with any bytes, mixed with the real events that make the transport send
// them. The model's own listeners read whatever the messages made of the primitives, so the
// sanitizers see every byte that is touched.
//
// The input is a list of records: a kind byte, a peer byte, then for forged messages a length byte
// and that many bytes after the message number. The kind's low three bits choose:
//   0-2 KOLM_SUBSCRIBE_RSP, KOLM_SERVICE_ADDED_IND, KOLM_SERVICE_REMOVED_IND, forged; bit 0x80 stamps
//       a live subscription's id over bytes 4-7 and bit 0x40 its tag over bytes 8-15 (chosen by the
//       peer byte), so the message is taken for the daemon's own;
//   3   a message of one of the interfaces, forged: a byte before the length picks its number among
//       every number of the four (their up and down messages among them); bit 0x80 stamps the
//       connection reference the daemon last gave a data-plane client over bytes 8-11, so that
//       service messages get past the attribution check;
//   4-5 the sync-control service gains the peer as owner, or loses its owner;
//   6   every monitor of the peer fires;
//   7   the port-control server's or the command server's locate (peer byte bit 0x80) finds the peer.
// The peer byte's low three bits pick the sender among the four peers, a stranger and the daemon's own
// mailbox. At the end every peer goes, a data-plane client that comes then must still be answered,
// and the daemon is destroyed.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FakeTavi.h"
#include "FuzzInput.h"
#include "WireBytes.h"
#include "control/Controller.h"
#include "kolm.h"
#include "trace/TraceHooks.h"
#include "utilities/coli_common.h"

namespace {

constexpr uint32_t IEPCSI = 0x3003;
constexpr uint32_t SCI = 0x5005;
constexpr uint32_t DATA_PLANE = 0x7007;
constexpr uint32_t COLI = 0x9009;
constexpr uint32_t STRANGER = 0xB00B;
constexpr uint32_t PEERS[] = {IEPCSI, SCI, DATA_PLANE, COLI, STRANGER, 0 /* the daemon itself */};
constexpr size_t PEER_COUNT = sizeof PEERS / sizeof PEERS[0];

constexpr uint32_t NEWCOMER = 0xC00C;

// Every message number of the four interfaces: the sync-control block, the port-control numbers, the
// data-plane block with a few numbers past it, and the command block with one number past it.
std::vector<uint32_t> interfaceNumbers() {
    std::vector<uint32_t> numbers;
    for (uint32_t n = 0x9B900; n <= 0x9B969; ++n)
        numbers.push_back(n);
    for (uint32_t n = 0x1B1041; n <= 0x1B1055; ++n)
        if (n <= 0x1B104A || n >= 0x1B1050)
            numbers.push_back(n);
    for (uint32_t n = 0x94000; n < 0x94020; ++n)
        numbers.push_back(n);
    for (uint32_t n = SYNC_COLI_UP_IND; n <= 0x9B607; ++n)
        numbers.push_back(n);
    return numbers;
}
const std::vector<uint32_t> INTERFACE_MSGNOS = interfaceNumbers();
constexpr uint32_t NAME_SERVICE_MSGNOS[] = {KOLM_SUBSCRIBE_RSP, KOLM_SERVICE_ADDED_IND,
                                            KOLM_SERVICE_REMOVED_IND};

using Message = Sync::Test::Bytes;

void quietSyslog(int, const char*, ...) {}
void discardTrace(uint32_t, const char*, const char*, int, const char*) {}

// The connection request of a data-plane client, revision 1 wanted thrice.
Message connectionRequest() {
    return Message(0x94002, 24).be32(4, 41).be32(8, 0xC11E47).be32(12, 1).be32(16, 1).be32(20, 1);
}

void pump(Sync::LumovControl::Controller& daemon) {
    for (int guard = 0; FakeTavi::pending() > 0 && guard < 10000; ++guard)
        daemon.onRead();
}

void deliver(Sync::LumovControl::Controller& daemon, uint32_t sender, const Message& message) {
    FakeTavi::inject(sender, message);
    pump(daemon);
}

// Brings every peer up and through its handshake, as the peers of a running system do.
void connectPeers(Sync::LumovControl::Controller& daemon) {
    FakeTavi::fireLocate("iepcsi-server", IEPCSI);
    pump(daemon);
    deliver(daemon, IEPCSI, Message(0x1B1044, 16).refs(1, 0x770).be32(12, 1));
    FakeTavi::serviceUp("sci", "sync", SCI);
    pump(daemon);
    deliver(daemon, SCI, Message(0x9B903, 16).header(0x61, 0x62, 1));
    deliver(daemon, DATA_PLANE, connectionRequest());
    FakeTavi::fireLocate(COLI_SERVER_NAME, COLI);
    pump(daemon);
}

// The last message the daemon sent to pid; 0 when none.
uint32_t lastMsgnoTo(uint32_t pid) {
    const auto& sent = FakeTavi::sent();
    for (auto it = sent.rbegin(); it != sent.rend(); ++it)
        if (it->to == pid)
            return it->msgno();
    return 0;
}

// The connection reference the daemon's last confirmation gave a data-plane client; 0 before any.
uint32_t dataPlaneReference() {
    const auto& sent = FakeTavi::sent();
    for (auto it = sent.rbegin(); it != sent.rend(); ++it)
        if (it->msgno() == 0x94003)
            return Sync::Test::be32At(it->bytes, 8);
    return 0;
}

// The message number, then as many bytes of the input as its length byte says.
Message forged(uint32_t msgno, FuzzInput& in) {
    size_t got = 0;
    const uint8_t* rest = in.take(in.byte(), got);
    Message message(msgno, 4 + got);
    message.raw(4, rest, got);
    return message;
}

void forge(Sync::LumovControl::Controller& daemon, uint32_t msgno, uint8_t kind, uint8_t peer,
           uint32_t sender, FuzzInput& in) {
    Message message = forged(msgno, in);
    const auto subscriptions = FakeTavi::subscriptions();
    if (!subscriptions.empty()) {
        const FakeTavi::Subscription& chosen = subscriptions[(peer >> 3) % subscriptions.size()];
        // Stamps go only where the message has room for them.
        if ((kind & 0x80) != 0 && message.size() >= 8)
            message.raw(4, &chosen.id, 4);
        if ((kind & 0x40) != 0 && message.size() >= 16)
            message.raw(8, &chosen.tag, 8);
    }
    deliver(daemon, sender, message);
}

void run(Sync::LumovControl::Controller& daemon, FuzzInput& in) {
    for (int records = 0; !in.empty() && records < 64; ++records) {
        const uint8_t kind = in.byte();
        const uint8_t peer = in.byte();
        const uint32_t sender =
            PEERS[(peer & 7) % PEER_COUNT] != 0 ? PEERS[(peer & 7) % PEER_COUNT] : FakeTavi::ownId();
        switch (kind & 7) {
            case 0:
            case 1:
            case 2:
                forge(daemon, NAME_SERVICE_MSGNOS[kind & 7], kind, peer, sender, in);
                break;
            case 3: {
                Message message = forged(INTERFACE_MSGNOS[in.byte() % INTERFACE_MSGNOS.size()], in);
                if ((kind & 0x80) != 0 && message.size() >= 12)
                    message.be32(8, dataPlaneReference());
                deliver(daemon, sender, message);
                break;
            }
            case 4:
                FakeTavi::serviceUp("sci", "sync", sender);
                break;
            case 5:
                FakeTavi::serviceDown("sci", "sync");
                break;
            case 6:
                FakeTavi::fireMonitor(sender);
                break;
            default:
                FakeTavi::fireLocate((peer & 0x80) != 0 ? COLI_SERVER_NAME : "iepcsi-server", sender);
                break;
        }
        pump(daemon);
    }
}

}  // namespace

// Every input builds the whole daemon, which lights tens of thousands of coverage features; the
// entropic input scheduler then spends ten times longer weighing them than the input takes to run,
// so it is off unless the command line says otherwise.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<char*> args;
    static char entropicOff[] = "-entropic=0";
    args.assign(*argv, *argv + *argc);
    for (char* arg : args) {
        if (std::strncmp(arg, "-entropic=", 10) == 0)
            return 0;
    }
    args.push_back(entropicOff);
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size() - 1);
    *argv = args.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        Sync::setTraceSyslog(&quietSyslog);
        // Every trace is formatted (into nothing), so fuzzed texts go through the format strings too.
        Sync::setTraceCaptureHook(&discardTrace);
        return true;
    }();
    (void)quiet;
    FakeTavi::reset();
    coli_common_reset();
    {
        Sync::LumovControl::Controller daemon("sync-lumov-control");
        daemon.init();
        pump(daemon);
        connectPeers(daemon);
        FuzzInput in(data, size);
        run(daemon, in);
        // Whatever the messages did, every peer can still go, and a data-plane client that comes then
        // is answered.
        for (uint32_t peer : PEERS) {
            if (peer != 0)
                FakeTavi::fireMonitor(peer);
        }
        FakeTavi::serviceDown("sci", "sync");
        pump(daemon);
        deliver(daemon, NEWCOMER, connectionRequest());
        if (lastMsgnoTo(NEWCOMER) != 0x94003 && lastMsgnoTo(NEWCOMER) != 0x94004)
            __builtin_trap();
        FakeTavi::fireMonitor(NEWCOMER);
        pump(daemon);
    }
    coli_common_reset();
    FakeTavi::reset();
    return 0;
}
