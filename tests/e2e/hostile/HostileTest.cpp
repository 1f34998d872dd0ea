// Each peer of the daemon turned hostile in turn, on one road: every message it could send cut
// short, reduced to its number or padded, with counts past its bytes, texts that fill their fields
// or lack their NUL, messages only the daemon sends, confirmations nobody asked for, management
// messages out of turn and unknown numbers; then 100000 status indications in one go. The daemon
// drops each with its own trace (and an unreadable command with its usage text), keeps its one
// data-plane client, and carries on with the same ports and outputs: after each case it is alive,
// the data plane got no order and the operator's `info all` reads as before.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "CommandServer.h"
#include "LttngSession.h"
#include "Road.h"
#include "SciServerMessages.h"

namespace {

using E2e::FronthaulScript;
using SyncPeers::CommandServer;
using SyncPeers::DataPlaneClient;
using SyncPeers::PortControlServer;
using SyncPeers::SyncControlServer;
using SyncPeers::WireBuffer;
using D = DataPlaneClient;
using P = PortControlServer;

constexpr const char* kPortA = "TnPort-A";

// One row of a hostile peer's table: the bytes the peer sends and the one WARNING or ERROR text the
// daemon must trace for them (empty: the message is well formed enough to be taken, and no warning
// may name it).
struct HostileCase {
    std::string name;
    WireBuffer bytes;
    std::string expected;
};
using Cases = std::vector<HostileCase>;

// A message a peer sends the daemon: its number, its name in the daemon's traces and the bytes its
// layout needs.
using Kind = Sync::Test::MessageKind;
using Kinds = std::vector<Kind>;

Cases& operator+=(Cases& cases, const Cases& more) {
    cases.insert(cases.end(), more.begin(), more.end());
    return cases;
}

std::string format(const char* pattern, uint32_t msgno) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, msgno, msgno);
    return text;
}

// The daemon's words for a message too short for its layout.
std::string shortText(const Kind& kind, size_t received, size_t needed) {
    return std::string("Dropped short message ") + kind.name + format(", msgno %u [0x%08X]: ", kind.msgno) +
           std::to_string(received) + " bytes received, " + std::to_string(needed) + " needed";
}

// The connection protocol's words for a management message its state does not expect; the state
// is always the client's INITIATED (4).
std::string wrongStateText(uint32_t kind) {
    return "Coding error: Management primitive (" + std::to_string(kind) + ") received in wrong state (4)";
}

// The kind's own bytes (zero-filled) with `extra` bytes of garbage after its layout.
WireBuffer oversized(const Kind& kind, size_t extra) {
    WireBuffer message(kind.msgno, kind.size + extra);
    for (size_t i = kind.size; i < message.size(); ++i)
        message.put8(i, static_cast<uint8_t>(0xA5 ^ i));
    return message;
}

// What every peer can send wrong: a delivery of 0 and of 2 bytes, no message number at all (the
// platform's words name the sending mailbox); every kind one byte short and reduced to its number.
Cases malformed(uint32_t from, const Kinds& kinds) {
    const auto empty = [from](size_t size) {
        return "(mailbox " + std::to_string(from) + "): " + std::to_string(size) +
               " bytes, less than a message number";
    };
    Cases cases = {{"empty", WireBuffer(std::vector<uint8_t>{}), empty(0)},
                   {"two bytes", WireBuffer(std::vector<uint8_t>{0x42, 0x10}), empty(2)}};
    for (const Kind& kind : kinds) {
        cases.push_back({kind.name + " one byte short", WireBuffer(kind.msgno, kind.size - 1),
                         shortText(kind, kind.size - 1, kind.size)});
        cases.push_back(
            {kind.name + " message number only", WireBuffer(kind.msgno, 4), shortText(kind, 4, kind.size)});
    }
    return cases;
}

// For every kind, at its size plus `extra` bytes, sent by mailbox `from` although only the `other`
// side ("client", "server") sends it.
Cases sentByTheOtherSide(const Kinds& kinds, uint32_t from, const std::string& other, size_t extra = 0) {
    Cases cases;
    for (const Kind& kind : kinds)
        cases.push_back({kind.name + " from the wrong side", oversized(kind, extra),
                         std::string("Dropped ") + kind.name + " from " + std::to_string(from) +
                             ": only the " + other + " sends it"});
    return cases;
}

// A message of `size` bytes for each number no interface knows.
Cases unknowns(const std::vector<uint32_t>& msgnos, size_t size) {
    Cases cases;
    for (uint32_t msgno : msgnos)
        cases.push_back({"unknown message number " + std::to_string(msgno), WireBuffer(msgno, size),
                         format("Unhandled message, msg.id=%u [0x%08X]", msgno)});
    return cases;
}

const Kinds kPortKinds = {
    {P::IEPCSI_SERVER_UP_IND, "IEPCSI_SERVER_UP_IND", 12},
    {P::IEPCSI_SERVER_DOWN_IND, "IEPCSI_SERVER_DOWN_IND", 12},
    {P::IEPCSI_INIT_SERVICE_REQ, "IEPCSI_INIT_SERVICE_REQ", 24},
    {P::IEPCSI_INIT_CFM, "IEPCSI_INIT_CFM", 16},
    {P::IEPCSI_INIT_REJ, "IEPCSI_INIT_REJ", 16},
    {P::IEPCSI_TERM_SERVICE_REQ, "IEPCSI_TERM_SERVICE_REQ", 12},
    {P::IEPCSI_TERM_SERVICE_CFM, "IEPCSI_TERM_SERVICE_CFM", 12},
    {P::IEPCSI_GET_ETH_PORT_SUPPORT_REQ, "IEPCSI_GET_ETH_PORT_SUPPORT_REQ", 12},
    {P::IEPCSI_GET_ETH_PORT_SUPPORT_CFM, "IEPCSI_GET_ETH_PORT_SUPPORT_CFM", 16},
    {P::IEPCSI_GET_ETH_PORT_SUPPORT_REJ, "IEPCSI_GET_ETH_PORT_SUPPORT_REJ", 16},
    {P::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ", 32},
    {P::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM", 16},
    {P::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REJ, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REJ", 16},
    {P::IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ, "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ", 16},
    {P::IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM, "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM", 12},
    {P::IEPCSI_ETH_PORT_STATUS_IND, "IEPCSI_ETH_PORT_STATUS_IND", 36},
};

Cases portTable(uint32_t from) {
    Cases cases = malformed(from, kPortKinds);
    // Counts past the bytes: three records announced, one sent.
    const Kind& supportCfm = kPortKinds[8];
    WireBuffer threeOfOne(P::IEPCSI_GET_ETH_PORT_SUPPORT_CFM, 16 + 48);
    threeOfOne.putBe32(12, 3);
    threeOfOne.putText(16 + 14, 16, "TnPort-Ghost");
    cases.push_back({"port support announcing 3 records and holding 1", threeOfOne,
                     shortText(supportCfm, 64, 16 + 48 * 3)});
    WireBuffer hugeCount(P::IEPCSI_GET_ETH_PORT_SUPPORT_CFM, 16);
    hugeCount.putBe32(12, 0xFFFFFFFF);
    cases.push_back({"port support announcing 2^32-1 records", hugeCount,
                     shortText(supportCfm, 16, 16 + 48ull * 0xFFFFFFFFull)});
    // Management messages out of turn: the connection is up (INITIATED), padded ones included.
    cases.push_back({"connection confirmation nobody asked for, padded", oversized(kPortKinds[3], 20),
                     wrongStateText(3)});
    cases.push_back({"connection rejection after the confirmation", WireBuffer(P::IEPCSI_INIT_REJ, 16),
                     wrongStateText(4)});
    cases.push_back({"termination confirmation nobody asked for", WireBuffer(P::IEPCSI_TERM_SERVICE_CFM, 12),
                     wrongStateText(7)});
    cases.push_back(
        {"server up while connected", WireBuffer(P::IEPCSI_SERVER_UP_IND, 12), wrongStateText(1)});
    cases += sentByTheOtherSide({kPortKinds[2], kPortKinds[5], kPortKinds[7], kPortKinds[10], kPortKinds[13]},
                                from, "client");
    // Unknown numbers: inside the block's gap, just past it, and far away.
    return cases += unknowns({0x1B104Bu, 0x1B1056u, 0xDEADBEEFu, 0u}, 40);
}

// A status indication of port A as it stands (unlocked, enabled), with `ns` from offset 36 to the end.
WireBuffer statusOfPortA(const PortControlServer::Subscription& a, const std::string& ns) {
    WireBuffer message(P::IEPCSI_ETH_PORT_STATUS_IND, 36 + ns.size());
    message.putBe32(4, a.portEntityId);
    message.putBe32(8, a.connectionReference);
    message.putBe32(12, 1);
    message.putBe32(16, 1);
    message.putText(20, 16, kPortA);
    message.putBytes(36, ns.data(), ns.size());
    return message;
}

const Kind kPortScanRsp{0x9B946, "SCI_PORT_SCAN_RSP", 17};

Cases syncTable(uint32_t from) {
    Kinds kinds = {
        {SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_CFM, "SCI_CONNECTION_ESTABLISHMENT_CFM", 16},
        {SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_REJ, "SCI_CONNECTION_ESTABLISHMENT_REJ", 16},
        {0x9B901, "SCI_SERVER_DOWN_IND", 12},
    };
    const Kinds served = Sync::Test::sciServerMessages();
    kinds.insert(kinds.end(), served.begin(), served.end());
    Cases cases = malformed(from, kinds);
    // A port-scan answer counting two names and holding none, then one holding one of two.
    WireBuffer twoOfNone(kPortScanRsp.msgno, 20);
    twoOfNone.put8(16, 2);
    cases.push_back({"port scan answer counting 2 names, holding none", twoOfNone,
                     shortText(kPortScanRsp, 20, 17 + 256 * 2)});
    WireBuffer twoOfOne(kPortScanRsp.msgno, 17 + 256);
    twoOfOne.put8(16, 2);
    cases.push_back({"port scan answer counting 2 names, holding 1", twoOfOne,
                     shortText(kPortScanRsp, 17 + 256, 17 + 256 * 2)});
    // Out of turn: the connection is up.
    cases.push_back(
        {"connection confirmation nobody asked for, padded", oversized(kinds[0], 64), wrongStateText(3)});
    cases.push_back({"connection rejection after the confirmation",
                     WireBuffer(SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_REJ, 16), wrongStateText(4)});
    // Answers and indications for subscriptions the daemon never made.
    WireBuffer unknownCfm(0x9B91E, 16);
    unknownCfm.putBe32(12, 0xDEAD);
    cases.push_back({"REC data subscription confirmation for an unknown entity", unknownCfm, ""});
    WireBuffer unknownQuality(0x9B925, 20);
    unknownQuality.putBe32(12, 0xDEAD);
    unknownQuality.putBe32(16, 20);
    cases.push_back({"clock quality for an unknown entity", unknownQuality, ""});
    WireBuffer fullLdn(0x9B95C, 272);
    fullLdn.putText(16, 256, std::string(256, 'L'));
    cases.push_back({"assist reference whose LDN fills its field", fullLdn, ""});
    cases += sentByTheOtherSide(
        {{SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_REQ, "SCI_CONNECTION_ESTABLISHMENT_REQ", 28},
         {0x9B91D, "SCI_REC_DATA_SUBSCRIBE_REQ", 16},
         {0x9B920, "SCI_REC_DATA_UNSUBSCRIBE_REQ", 16},
         {0x9B945, "SCI_PORT_SCAN_REQ", 17},
         {0x9B947, "SCI_NGS_BFN_ALIGN_REQ", 272}},
        from, "client");
    return cases += unknowns({0x9B96Au, 0x9B9FFu, 0x12345678u}, 24);
}

const Kinds kDataPlaneKinds = {
    {0x94000, "SECLI_CLIENT_DOWN_IND", 12},
    {D::CONNECTION_ESTABLISHMENT_REQ, "SECLI_CONNECTION_ESTABLISHMENT_REQ", 24},
    {D::CONNECTION_ESTABLISHMENT_CFM, "SECLI_CONNECTION_ESTABLISHMENT_CFM", 16},
    {D::CONNECTION_ESTABLISHMENT_REJ, "SECLI_CONNECTION_ESTABLISHMENT_REJ", 16},
    {D::INPUT_CONFIG_CREATE_RREQ, "SECLI_INPUT_CONFIG_CREATE_RREQ", 804},
    {D::INPUT_CONFIG_CREATE_RCFM, "SECLI_INPUT_CONFIG_CREATE_RCFM", 12},
    {D::INPUT_CONFIG_CREATE_RREJ, "SECLI_INPUT_CONFIG_CREATE_RREJ", 16},
    {D::INPUT_CONFIG_CHANGE_RREQ, "SECLI_INPUT_CONFIG_CHANGE_RREQ", 804},
    {D::INPUT_CONFIG_CHANGE_RCFM, "SECLI_INPUT_CONFIG_CHANGE_RCFM", 12},
    {D::INPUT_CONFIG_CHANGE_RREJ, "SECLI_INPUT_CONFIG_CHANGE_RREJ", 16},
    {D::INPUT_CONFIG_REMOVE_RREQ, "SECLI_INPUT_CONFIG_REMOVE_RREQ", 12},
    {D::INPUT_CONFIG_REMOVE_RCFM, "SECLI_INPUT_CONFIG_REMOVE_RCFM", 12},
    {0x9400D, "SECLI_INPUT_DEFECT_FWD", 16},
    {0x9400E, "SECLI_INPUT_RECEIVED_SSM_FWD", 56},
    {0x9400F, "SECLI_INPUT_ASSIST_DATA_FWD", 24},
    {D::OUTPUT_CONFIG_CREATE_RREQ, "SECLI_OUTPUT_CONFIG_CREATE_RREQ", 544},
    {D::OUTPUT_CONFIG_CREATE_RCFM, "SECLI_OUTPUT_CONFIG_CREATE_RCFM", 12},
    {D::OUTPUT_CONFIG_CREATE_RREJ, "SECLI_OUTPUT_CONFIG_CREATE_RREJ", 16},
    {D::OUTPUT_CONFIG_CHANGE_RREQ, "SECLI_OUTPUT_CONFIG_CHANGE_RREQ", 544},
    {D::OUTPUT_CONFIG_CHANGE_RCFM, "SECLI_OUTPUT_CONFIG_CHANGE_RCFM", 12},
    {D::OUTPUT_CONFIG_CHANGE_RREJ, "SECLI_OUTPUT_CONFIG_CHANGE_RREJ", 16},
    {D::OUTPUT_CONFIG_REMOVE_RREQ, "SECLI_OUTPUT_CONFIG_REMOVE_RREQ", 12},
    {D::OUTPUT_CONFIG_REMOVE_RCFM, "SECLI_OUTPUT_CONFIG_REMOVE_RCFM", 12},
    {D::OUTPUT_TRANSMIT_SSM_IND, "SECLI_OUTPUT_TRANSMIT_SSM_IND", 48},
    {D::OUTPUT_ESMC_CONTROL_IND, "SECLI_OUTPUT_ESMC_CONTROL_IND", 16},
    {D::OUTPUT_MAC_ADDRESS_FWD, "SECLI_OUTPUT_MAC_ADDRESS_FWD", 20},
};

Cases dataPlaneTable(const DataPlaneClient& client) {
    Cases cases = malformed(client.id(), kDataPlaneKinds);
    // Kinds only the daemon sends, padded: the daemon refuses them from a client.
    Kinds serverOnly;
    for (size_t index : {2, 3, 4, 7, 10, 15, 18, 21, 23, 24})
        serverOnly.push_back(kDataPlaneKinds[index]);
    cases += sentByTheOtherSide(serverOnly, client.id(), "server", 8);
    // Answers about outputs the daemon never asked for.
    for (uint32_t msgno :
         {D::OUTPUT_CONFIG_CREATE_RCFM, D::OUTPUT_CONFIG_CHANGE_RCFM, D::OUTPUT_CONFIG_REMOVE_RCFM}) {
        WireBuffer answer(msgno, 12);
        answer.putBe32(4, 0xDEAD);
        answer.putBe32(8, client.serverConnectionReference());
        cases.push_back({"confirmation for an unknown output " + std::to_string(msgno), answer, ""});
    }
    return cases += unknowns({0x94001u, 0x9401Bu, 0x940FFu}, 24);
}

constexpr uint32_t kHeader = 8;

// A SYNC_COLI_REQ carrying `packed` after a `len` word of the given value.
WireBuffer request(uint32_t len, const std::string& packed, size_t extra = 0) {
    WireBuffer message(CommandServer::SYNC_COLI_REQ, kHeader + packed.size() + extra);
    message.putHost32(4, len);
    message.putBytes(kHeader, packed.data(), packed.size());
    for (size_t i = kHeader + packed.size(); i < message.size(); ++i)
        message.put8(i, 'x');
    return message;
}

std::string unfitText(uint32_t len, size_t size) {
    return "packed arguments of " + std::to_string(len) + " bytes do not fit the " + std::to_string(size) +
           "-byte message";
}

// The road with two fronthaul ports and all four peers in this process, the command server included,
// the daemon's WARNING and ERROR events recorded. The port table holds one port whose name and
// interface name fill their fields without a NUL, so that every answer built from them shows whether
// the daemon read past a field; it comes first, so that its record is followed by another one.
class HostileTest : public E2e::Road {
  protected:
    static constexpr const char* kFullPortName = "TnPort-FullField";         // 16 characters
    static constexpr const char* kFullInterfaceName = "eth-full-field-18c";  // 18 characters

    HostileTest()
        : Road({FronthaulScript::port(9, kFullPortName, kFullInterfaceName, "ns-f"),
                FronthaulScript::port(7, kPortA, "eth-a", "ns-a")}) {}

    void SetUp() override {
        limit_ = std::chrono::seconds(60);
        ASSERT_TRUE(lttng_.startRecording(
            {"com_zentrova_sync_lumov_control:WARNING", "com_zentrova_sync_lumov_control:ERROR"}))
            << lttng_.error();
        ASSERT_TRUE(command_.open()) << command_.lastError();
        bringUp(Peer::NONE, {"", lttng_.environment()});
        ASSERT_FALSE(HasFatalFailure());
        const auto* registration = command_.waitForRegistration("synclumovcontrol", 60000);
        ASSERT_NE(registration, nullptr) << "the daemon did not register its command";
        commandPid_ = registration->pid;
        rebase();
        ASSERT_FALSE(baseline_.empty()) << "no answer to info all";
    }

    uint32_t daemonId() const { return daemon_->mailboxId(); }

    // `synclumovcontrol info all` as the operator sees it, without its "completed at <time>" line;
    // empty when the daemon did not answer. Messages sent to the daemon before it are handled first.
    std::string info(std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
        if (!command_.runCommand(commandPid_, {"synclumovcontrol", "info", "all"},
                                 static_cast<int>(timeout.count())))
            return std::string();
        std::string text = command_.answer().text();
        const size_t at = text.rfind("completed at ");
        return at == std::string::npos ? text : text.erase(at, text.find('\n', at) - at);
    }

    // The command server's next answer, which comes before the next command is sent, so that it
    // cannot pass for that one's.
    std::string answer() {
        for (int turn = 0; turn < 600 && !command_.answer().complete; ++turn)
            command_.processOnce(100);
        EXPECT_TRUE(command_.answer().complete);
        return command_.answer().text();
    }

    // Sends one case with send(bytes), then checks that the daemon lives, gave no order and answers
    // `info all` as before; remembers the trace the case expects.
    void run(const HostileCase& hostile, const std::function<void(const WireBuffer&)>& send) {
        SCOPED_TRACE(hostile.name);
        const size_t orders = planeHeard_.orders().size();
        send(hostile.bytes);
        if (!hostile.expected.empty())
            ++expected_[hostile.expected];
        EXPECT_EQ(info(), baseline_);
        settle(20);
        EXPECT_EQ(planeHeard_.orders().size(), orders)
            << "orders after the case:\n"
            << describe(
                   {planeHeard_.orders().begin() + static_cast<long>(orders), planeHeard_.orders().end()});
        EXPECT_TRUE(daemon_->running()) << daemon_->output();
    }

    // Runs every case of a table the same way; cases shorter than a message number, which no mailbox
    // sends, go straight on the bus as sent by mailbox `from`, made by busctl.
    void runTable(const Cases& table, uint32_t from, const std::function<void(const WireBuffer&)>& send) {
        const auto deliverRaw = [&](const WireBuffer& bytes) {
            std::vector<std::string> argv = {"busctl",
                                             "--address=" + bus_.address(),
                                             "call",
                                             "--expect-reply=no",
                                             "org.tavi.Id.m" + std::to_string(daemonId()),
                                             "/org/tavi/Mailbox",
                                             "org.tavi.Mailbox",
                                             "Deliver",
                                             "uay",
                                             std::to_string(from),
                                             std::to_string(bytes.size())};
            for (uint8_t byte : bytes.bytes())
                argv.push_back(std::to_string(byte));
            const E2e::ChildProcess::Result result = E2e::ChildProcess::run(argv, std::chrono::seconds(30));
            EXPECT_TRUE(result.succeeded()) << result.describe(argv);
        };
        for (const HostileCase& hostile : table) {
            run(hostile, hostile.bytes.size() < 4 ? deliverRaw : send);
            if (!daemon_->running())
                return;
        }
    }

    // Takes `info all` as it reads now as the text every later case must leave alone (after the test
    // changed the road on purpose).
    void rebase() {
        settle();
        baseline_ = info();
    }

    // Checks that the daemon's WARNING and ERROR events are exactly those the cases expect, each as
    // many times as expected. The receive loop finds the descriptor readable for the bus's own
    // traffic too; that null receive is the platform's normal way and says nothing about a peer.
    void checkTraces() {
        std::map<std::string, int> seen;
        std::string unexpected;
        for (const E2e::TraceRecord& record : lttng_.read()) {
            const std::string text =
                record.event() == "WARNING" ? record.field("warn_msg") : record.field("err_msg");
            if (record.vpid() != daemon_->pid() || text == "TAVI msg received as nullptr")
                continue;
            const auto match = std::find_if(expected_.begin(), expected_.end(), [&](const auto& entry) {
                return text.find(entry.first) != std::string::npos;
            });
            if (match == expected_.end())
                unexpected += record.event() + ": " + text + "\n";
            else
                ++seen[match->first];
        }
        for (const auto& [text, count] : expected_)
            EXPECT_EQ(seen[text], count) << "events naming: " << text << "\n" << lttng_.error();
        EXPECT_TRUE(unexpected.empty()) << unexpected;
    }

    E2e::LttngSession lttng_;
    CommandServer command_;
    uint32_t commandPid_ = 0;
    std::string baseline_;
    std::map<std::string, int> expected_;
};

TEST_F(HostileTest, EveryMalformedOrUntimelyMessageIsTracedAndChangesNothing) {
    // The full-field port was read as its 16 and 18 characters, and not one byte more.
    EXPECT_NE(baseline_.find(kFullPortName), std::string::npos) << baseline_;
    EXPECT_EQ(baseline_.find(std::string(kFullPortName) + "e"), std::string::npos) << baseline_;
    bool created = false;
    for (const Order& order : planeHeard_.ordersOf(Order::OUTPUT_CREATE)) {
        if (order.networkNameSpace == "ns-f") {
            EXPECT_EQ(order.interfaceName, kFullInterfaceName) << order.describe();
            created = true;
        }
    }
    EXPECT_TRUE(created) << "no output for the full-field port";

    // The port-control server. A rejection is traced as an ERROR when it is read, whatever the state
    // then refuses.
    const auto sendPorts = [&](const WireBuffer& bytes) { ports_->sendRaw(daemonId(), bytes); };
    ++expected_["Received message: IEPCSI_INIT_REJ with data"];
    runTable(portTable(ports_->id()), ports_->id(), sendPorts);
    // An indication of port A as the server sends it: while the port is up the daemon tells the data
    // plane again what the output is. A namespace that runs to the end of the message without a NUL,
    // and one followed by bytes past it, are read as exactly the namespace the port already has, so
    // they must bring exactly the same orders.
    const PortControlServer::Subscription* a = nullptr;
    for (const auto& [reference, s] : ports_->subscriptions())
        a = s.portName == kPortA ? &s : a;
    ASSERT_NE(a, nullptr);
    size_t first = planeHeard_.orders().size();
    ASSERT_EQ(ports_->sendPortStatus(kPortA), 1u);
    ASSERT_TRUE(serveUntil([&] { return planeHeard_.orders().size() >= first + 3; }));
    settle();
    const std::string reference = describe(awaitOrders(first, 3));
    for (const std::string& ns :
         {std::string("ns-a"), std::string("ns-a") + '\0' + "garbage past the namespace"}) {
        SCOPED_TRACE("status with namespace " + ns);
        first = planeHeard_.orders().size();
        sendPorts(statusOfPortA(*a, ns));
        EXPECT_TRUE(serveUntil([&] { return planeHeard_.orders().size() >= first + 3; }));
        settle();
        EXPECT_EQ(describe(awaitOrders(first, 3)), reference);
    }
    rebase();

    runTable(syncTable(sync_->id()), sync_->id(),
             [&](const WireBuffer& bytes) { sync_->sendRaw(daemonId(), bytes); });

    const auto sendDataPlane = [&](const WireBuffer& bytes) { EXPECT_TRUE(dataPlane_->sendRaw(bytes)); };
    runTable(dataPlaneTable(*dataPlane_), dataPlane_->id(), sendDataPlane);
    // A second connection request from the connected client: refused, and the first connection
    // stands (the client is told no; the daemon keeps sending it orders below).
    WireBuffer again(D::CONNECTION_ESTABLISHMENT_REQ, 24);
    again.putBe32(4, 1);
    again.putBe32(8, 0x00C11E47);
    for (size_t at : {12, 16, 20})
        again.putBe32(at, 1);
    const size_t warnings = planeHeard_.warnings().size();
    run({"second connection request", again, ""}, sendDataPlane);
    EXPECT_TRUE(serveUntil([&] { return planeHeard_.warnings().size() > warnings; }));
    EXPECT_EQ(dataPlane_->state(), DataPlaneClient::State::CONNECTED);

    // The command server: requests whose packed arguments run past the message or lack their final
    // NUL, answers cut short, unknown numbers. Every request the daemon cannot read is answered with
    // its usage text, and besides the warning on the bad bytes gets the ERROR every failed
    // unpacking gives.
    const std::string packed = std::string("synclumovcontrol") + '\0' + "info" + '\0' + "all" + '\0';
    Cases answers =
        malformed(command_.id(), {{CommandServer::SYNC_COLI_REG_CMD_RSP, "SYNC_COLI_REG_CMD_RSP", 8}});
    answers += unknowns({0x9B607}, 16);
    const Cases unreadable = {
        {"request of its number only", WireBuffer(CommandServer::SYNC_COLI_REQ, 4), unfitText(0, 4)},
        {"request whose len runs past the message", request(100, packed),
         unfitText(100, kHeader + packed.size())},
        {"request whose len is 2^32-1", request(0xFFFFFFFF, packed),
         unfitText(0xFFFFFFFF, kHeader + packed.size())},
        {"request without its final NUL", request(packed.size() - 1, packed.substr(0, packed.size() - 1)),
         "packed arguments of " + std::to_string(packed.size() - 1) + " bytes end without a NUL"}};
    const auto sendCommand = [&](const WireBuffer& bytes) { command_.sendRaw(daemonId(), bytes); };
    runTable(answers, command_.id(), sendCommand);
    for (const HostileCase& hostile : unreadable) {
        ++expected_["calling unpack_args() failed [unpack_args() != UNPACK_OK]"];
        run(hostile, [&](const WireBuffer& bytes) {
            sendCommand(bytes);
            EXPECT_NE(answer().find("Incorrect number of arguments: 0"), std::string::npos) << answer();
        });
    }
    // Bytes past the packed arguments are not read: the padded request is answered in full.
    sendCommand(request(packed.size(), packed, 64));
    EXPECT_NE(answer().find("Subscribing EthernetPort MO"), std::string::npos) << answer();

    // The daemon still serves every peer. Port A locked leaves the operator's printout; then 100000
    // status indications in one go, all saying what the daemon already knows of the locked port (an
    // unlocked one would have each indication repeat the output's configuration to the data plane),
    // are read without a warning or an order, and the command after them, answered only once they
    // were handled, reads as before (a sanitized daemon on a loaded machine takes its time).
    ASSERT_TRUE(ports_->setPortState(kPortA, 2, 1));
    ports_->sendPortStatus(kPortA);
    settle();
    const size_t orders = planeHeard_.orders().size();
    const std::string locked = info();
    EXPECT_FALSE(locked.empty());
    EXPECT_NE(locked, baseline_) << "the locked port's output is still printed";
    for (size_t sent = 0, more = 1; sent < 100000; sent += more) {
        more = ports_->sendPortStatus(kPortA);
        ASSERT_GT(more, 0u) << "port A has no subscriber to send to";
    }
    EXPECT_EQ(info(std::chrono::minutes(4)), locked);
    settle(50);
    EXPECT_EQ(planeHeard_.orders().size(), orders);
    ASSERT_TRUE(daemon_->running()) << daemon_->output();
    // Unlocked again, the data plane hears of the port and the printout is the one before.
    ASSERT_TRUE(ports_->setPortState(kPortA, 1, 1));
    ports_->sendPortStatus(kPortA);
    EXPECT_TRUE(serveUntil([&] { return planeHeard_.orders().size() > orders; })) << daemon_->output();
    settle();
    EXPECT_EQ(info(), baseline_);
    // Quality levels enabled: every output is told to transmit.
    const size_t before = planeHeard_.orders().size();
    sync_->sendSelectionProcessMode(1);
    EXPECT_TRUE(serveUntil([&] {
        const std::vector<Order> all = planeHeard_.ordersOf(Order::ESMC_CONTROL, before);
        return std::count_if(all.begin(), all.end(), [](const Order& o) { return o.output == 1; }) >= 2;
    })) << "the data plane was not told to transmit: "
        << daemon_->output();
    checkTraces();
}

}  // namespace
