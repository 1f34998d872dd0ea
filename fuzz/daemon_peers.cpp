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
// mailbox; the owner, the dead and the found of kinds 4-7 among the first five, as the bus never names
// the daemon itself. At the end every peer goes, and a data-plane client that comes then must still be
// answered. The records are mutated with this layout in mind (PeerRecords.h).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "FakeTavi.h"
#include "FuzzInput.h"
#include "PeerRecords.h"
#include "WireBytes.h"
#include "common_fwk_classes/utilities/UniqueIdPool.h"
#include "control/BaseInterface.h"
#include "control/Controller.h"
#include "control/Dispatcher.h"
#include "journal/EventJournal.h"
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
// The port-control service handler's id: the fourth the controller makes.
constexpr uint32_t IEPCSI_HANDLER = 4;

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

// The connection reference the daemon's last confirmation gave a data-plane client: during an
// input, or else when the peers came.
uint32_t connectedReference = 0;
uint32_t dataPlaneReference() {
    const auto& sent = FakeTavi::sent();
    for (auto it = sent.rbegin(); it != sent.rend(); ++it)
        if (it->msgno() == 0x94003)
            return Sync::Test::be32At(it->bytes, 8);
    return connectedReference;
}

// The port-control server answers the daemon's question for its ports: one fronthaul port, unlocked
// and enabled, so that every input meets a port. Reported again on every connection, it comes back as
// it was whatever an input did to it; an input that reports other ports leaves them behind.
void reportPort(Sync::LumovControl::Controller& daemon) {
    static const uint8_t MAC[] = {0x02, 0x1A, 0xFF, 0x00, 0x0B, 0x7C};
    deliver(daemon, IEPCSI,
            Message(0x1B1049, 64)
                .refs(1, 0x770)
                .be32(12, 1)
                .be32(16, 4)
                .be32(20, 42)
                .raw(24, MAC, 6)
                .chars(30, "TN_A")
                .chars(46, "eth0"));
    // The port asks for its status: at once when new, or already when the connection came back.
    const auto& sent = FakeTavi::sent();
    const auto request = std::find_if(sent.rbegin(), sent.rend(), [](const FakeTavi::SentMessage& message) {
        return message.msgno() == 0x1B1050;
    });
    if (request == sent.rend())
        return;
    const uint32_t port = Sync::Test::be32At(request->bytes, 4);
    deliver(daemon, IEPCSI, Message(0x1B1051, 16).refs(port, 0x770).be32(12, 0x31));
    deliver(daemon, IEPCSI,
            Message(0x1B1055, 44)
                .refs(port, 0x770)
                .be32(12, 1)
                .be32(16, 1)
                .chars(20, "TN_A")
                .chars(36, "ns-blue"));
}

// Brings every peer up and through its handshake, as the peers of a running system do.
void connectPeers(Sync::LumovControl::Controller& daemon) {
    FakeTavi::fireLocate("iepcsi-server", IEPCSI);
    pump(daemon);
    deliver(daemon, IEPCSI, Message(0x1B1044, 16).refs(1, 0x770).be32(12, 1));
    FakeTavi::serviceUp("sci", "sync", SCI);
    pump(daemon);
    deliver(daemon, SCI, Message(0x9B903, 16).header(0x61, 0x62, 1));
    // The sync-control server tells its state on each connection: no reference clock (which also
    // means no settled quality and no selection mode yet) and option I.
    deliver(daemon, SCI, Message(0x9B923, 16).header(1, 0x62, 1));
    deliver(daemon, SCI, Message(0x9B92C, 20).header(1, 0x62, 1).be32(16, 1));
    deliver(daemon, DATA_PLANE, connectionRequest());
    // The data plane forwards its clock's MAC address on each connection.
    static const uint8_t CLOCK_MAC[] = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x01};
    deliver(daemon, DATA_PLANE, Message(0x9401A, 20).be32(8, dataPlaneReference()).raw(12, CLOCK_MAC, 6));
    FakeTavi::fireLocate(COLI_SERVER_NAME, COLI);
    pump(daemon);
    reportPort(daemon);
}

// Whether the daemon confirmed or rejected pid's connection request. Orders for the outputs may
// follow a confirmation.
bool answeredConnection(uint32_t pid) {
    const auto& sent = FakeTavi::sent();
    return std::any_of(sent.begin(), sent.end(), [pid](const FakeTavi::SentMessage& message) {
        return message.to == pid && (message.msgno() == 0x94003 || message.msgno() == 0x94004);
    });
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
        // The bus, not a peer, names the owners and the dead; never the daemon itself.
        const uint32_t named = PEERS[(peer & 7) % (PEER_COUNT - 1)];
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
                FakeTavi::serviceUp("sci", "sync", named);
                break;
            case 5:
                FakeTavi::serviceDown("sci", "sync");
                break;
            case 6:
                FakeTavi::fireMonitor(named);
                break;
            default:
                FakeTavi::fireLocate((peer & 0x80) != 0 ? COLI_SERVER_NAME : "iepcsi-server", named);
                break;
        }
        pump(daemon);
    }
}

// The daemon outlives the input. After each one every peer goes, as the target's last records;
// then the peers come back and the daemon is asked for its whole printout. What it sends meanwhile,
// with the watches it leaves on the transport, is compared with what a fresh daemon sends at the
// same point. While they agree the daemon serves the next input. When they differ the input left
// state behind that no peer can take back (a port it reported under another name stays, as in a
// running node), and the daemon is built anew, which must again agree with the fresh one.
struct Snapshot {
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> said;
    std::vector<std::string> watches;
    bool operator==(const Snapshot& other) const { return said == other.said && watches == other.watches; }
};

// Never destroyed at exit: the fake transport it would unpublish from may be gone by then.
Sync::LumovControl::Controller* daemon = nullptr;
Snapshot fresh;
// Every id pool of the process draws from one counter (port ids, connection references). The peers
// come back, and each input starts, with the counter where it stood at that point for the fresh
// daemon, so that the ids an input meets do not depend on how many came before it.
uint32_t builtLastId = 0;
uint32_t freshLastId = 0;
unsigned long inputs = 0;
unsigned long rebuilt = 0;

// The message as a fresh daemon would send it too. A printout ends with the time of day, and it lists
// the settled-quality history: a log the daemon only writes and prints, which keeps every change an
// input made (the one way an input can see an earlier one). Both are left out.
std::vector<uint8_t> comparable(const FakeTavi::SentMessage& message) {
    if (message.to != COLI || message.bytes.size() < 8)
        return message.bytes;
    std::vector<uint8_t> kept(message.bytes.begin(), message.bytes.begin() + 4);
    for (auto line = message.bytes.begin() + 8; line != message.bytes.end();) {
        const auto end = std::find(line, message.bytes.end(), '\n');
        const std::string start(line, line + std::min<long>(end - line, 12));
        if (start.compare(0, 3, "  [") != 0 && start != "completed at")
            kept.insert(kept.end(), line, end);
        line = end == message.bytes.end() ? end : end + 1;
    }
    return kept;
}

Snapshot connect() {
    Sync::UniqueIdPool::setLastIssuedId(builtLastId);
    FakeTavi::clearSent();
    connectPeers(*daemon);
    static const char info[] = "synclumovcontrol\0info\0all";
    const uint32_t length = sizeof info;  // host order, as the command server writes it
    deliver(*daemon, COLI, Message(SYNC_COLI_REQ, 8 + length).raw(4, &length, 4).raw(8, info, length));
    Snapshot snapshot;
    for (const FakeTavi::SentMessage& message : FakeTavi::sent())
        snapshot.said.emplace_back(message.to, comparable(message));
    connectedReference = dataPlaneReference();
    for (uint32_t pid : FakeTavi::monitoredPids())
        snapshot.watches.push_back("monitor " + std::to_string(pid));
    for (const std::string& name : FakeTavi::locatedNames())
        snapshot.watches.push_back("locate " + name);
    for (const FakeTavi::Subscription& subscription : FakeTavi::subscriptions())
        snapshot.watches.push_back("subscription " + subscription.service + "@" + subscription.domain);
    std::sort(snapshot.watches.begin(), snapshot.watches.end());
    FakeTavi::clearSent();
    return snapshot;
}

// Whatever the messages did, every peer can still go, and a data-plane client that comes then is
// answered.
void everyPeerGoes() {
    for (uint32_t peer : PEERS) {
        if (peer != 0)
            FakeTavi::fireMonitor(peer);
    }
    FakeTavi::serviceDown("sci", "sync");
    pump(*daemon);
    FakeTavi::clearSent();
    deliver(*daemon, NEWCOMER, connectionRequest());
    if (!answeredConnection(NEWCOMER))
        __builtin_trap();
    FakeTavi::fireMonitor(NEWCOMER);
    pump(*daemon);
    // The command interface keeps no count of its locates. A down indication it got twice (the
    // server's monitor armed twice by a second up indication, or one forged) made it look for the
    // server twice, and every later server would be found, monitored and registered with twice.
    // It gets back the one locate it starts with.
    FakeTavi::forgetLocate(COLI_SERVER_NAME);
    coli_common_locate_proc();
    // A port-control server that refused the connection is not looked for again until the client is
    // attached anew, which only a restart of the daemon does.
    const std::vector<std::string> located = FakeTavi::locatedNames();
    if (std::find(located.begin(), located.end(), "iepcsi-server") == located.end()) {
        Sync::BaseInterface* client = daemon->getDispatcher()->getInterface(IEPCSI_HANDLER);
        if (client != nullptr)
            client->attachIf();
    }
}

// A daemon built anew, whose peers have come, gone and come back: the state every input starts from.
// The first two builds (the second also tears a daemon down) format their traces too, so that those
// trace sites count as covered; later builds take the same paths.
Snapshot build() {
    static int formattedBuilds = 0;
    if (formattedBuilds++ < 2)
        Sync::setTraceCaptureHook(&discardTrace);
    delete daemon;
    FakeTavi::reset();
    coli_common_reset();
    Sync::UniqueIdPool::setLastIssuedId(0);
    daemon = new Sync::LumovControl::Controller("sync-lumov-control");
    daemon->init();
    pump(*daemon);
    builtLastId = Sync::UniqueIdPool::lastIssuedId();
    connect();
    everyPeerGoes();
    const Snapshot snapshot = connect();
    Sync::setTraceCaptureHook(nullptr);
    return snapshot;
}

// With DAEMON_PEERS_WHY set, each rebuild names the first thing that differed from the fresh daemon.
void explain(const Snapshot& now) {
    if (std::getenv("DAEMON_PEERS_WHY") == nullptr)
        return;
    if (now.watches != fresh.watches) {
        std::string watches;
        for (const std::string& watch : now.watches)
            watches += " " + watch;
        std::fprintf(stderr, "daemon_peers: watches%s\n", watches.c_str());
        return;
    }
    size_t at = 0;
    while (at < now.said.size() && at < fresh.said.size() && now.said[at] == fresh.said[at])
        ++at;
    std::fprintf(stderr, "daemon_peers: message %zu of %zu (%zu fresh)", at, now.said.size(),
                 fresh.said.size());
    for (const Snapshot* snapshot : {static_cast<const Snapshot*>(&fresh), &now}) {
        if (at >= snapshot->said.size())
            continue;
        std::fprintf(stderr, "\n  to 0x%X:", snapshot->said[at].first);
        for (uint8_t byte : snapshot->said[at].second)
            std::fprintf(stderr, byte >= ' ' && byte < 0x7F ? "%c" : "\\%02x", byte);
    }
    std::fputc('\n', stderr);
}

void report() {
    std::fprintf(stderr, "daemon_peers: %lu inputs; built anew: %lu\n", inputs, rebuilt);
}

}  // namespace

// Defaults this target needs, unless the command line says otherwise. libFuzzer looks for a leak
// after every input that allocated more than it freed, which a daemon kept across inputs does
// whenever it learns something: each look walks the whole heap, a thousand times over before
// libFuzzer gives up. A leak still shows when the run ends, where the sanitizer walks the heap
// once. The entropic input scheduler weighs every coverage feature an input lit, and each daemon
// built anew lights tens of thousands of them; it would spend longer weighing than running. With the
// custom mutator libFuzzer lets inputs grow to 4096 bytes at once; half a kilobyte holds a dozen
// messages or more, and longer inputs run slower and leave more behind that needs a rebuild.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<char*> args;
    static char detectLeaksOff[] = "-detect_leaks=0";
    static char entropicOff[] = "-entropic=0";
    static char maxLen[] = "-max_len=512";
    args.assign(*argv, *argv + *argc);
    for (char* flag : {detectLeaksOff, entropicOff, maxLen}) {
        const size_t name = std::strchr(flag, '=') - flag + 1;
        if (std::none_of(args.begin(), args.end(),
                         [&](const char* arg) { return std::strncmp(arg, flag, name) == 0; }))
            args.push_back(flag);
    }
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size() - 1);
    *argv = args.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (daemon == nullptr) {
        Sync::setTraceSyslog(&quietSyslog);
        Sync::EventJournal::setSink([](const Sync::EventJournal::Entry&) {});
        fresh = build();
        freshLastId = Sync::UniqueIdPool::lastIssuedId();
        std::atexit(&report);
    }
    ++inputs;
    Sync::UniqueIdPool::setLastIssuedId(freshLastId);
    FuzzInput in(data, size);
    // While the input runs every trace is formatted (into nothing), so fuzzed texts go through the
    // format strings too; the peers' comings and goings around it are the same each time, and the
    // first builds have formatted theirs.
    Sync::setTraceCaptureHook(&discardTrace);
    run(*daemon, in);
    Sync::setTraceCaptureHook(nullptr);
    everyPeerGoes();
    const Snapshot now = connect();
    if (now == fresh)
        return 0;
    ++rebuilt;
    explain(now);
    const Snapshot again = build();
    if (!(again == fresh))
        __builtin_trap();
    return 0;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned seed) {
    return PeerRecords::mutate(data, size, maxSize, seed);
}

extern "C" size_t LLVMFuzzerCustomCrossOver(const uint8_t* one, size_t oneSize, const uint8_t* other,
                                            size_t otherSize, uint8_t* out, size_t maxOutSize,
                                            unsigned seed) {
    return PeerRecords::crossOver(one, oneSize, other, otherSize, out, maxOutSize, seed);
}
