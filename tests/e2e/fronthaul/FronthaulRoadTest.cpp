// The fronthaul road of FronthaulScript's four ports as the data plane sees it, byte for byte, and in
// the daemon's own LTTng trace: the handshakes, four ports found, subscribed and up (and one that is
// not fronthaul only traced as skipped), REC and quality from sync control, and each output created,
// told its SSM and its ESMC state; every change of the node's data fanned out to all four outputs,
// and a second data-plane client turned away. Then each peer of the daemon dies with SIGKILL, in a
// process of its own, and a new one takes its place: the daemon finds it, connects again exactly
// once and returns to the same four outputs with the same transmitted values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "LttngSession.h"
#include "Road.h"
#include "TestPeer.h"
#include "TraceRecord.h"
#include "WireBuffer.h"

namespace {

using E2e::FronthaulScript;
using E2e::TestPeer;
using E2e::TraceRecord;
using SyncPeers::DataPlaneClient;
using SyncPeers::PortControlServer;
using SyncPeers::SyncControlServer;
using SyncPeers::WireBuffer;

constexpr size_t kPorts = FronthaulScript::kPorts;

WireBuffer header(uint32_t msgno, size_t size, uint32_t id) {
    WireBuffer message(msgno, size);
    message.putBe32(4, id);
    message.putBe32(8, E2e::Road::kClientConnectionReference);
    return message;
}

// Interface name, MAC address text and network namespace of port n, each in its fixed-width field.
WireBuffer configRequest(uint32_t msgno, uint32_t id, size_t n) {
    WireBuffer message = header(msgno, 544, id);
    message.putText(12, 256, "fh" + std::to_string(n));
    message.putText(268, 20, FronthaulScript::macText(n));
    message.putText(288, 256, "ns-fh" + std::to_string(n));
    return message;
}

// What the daemon sends the data plane, byte for byte, for output `id` on port n (1..4). A change
// request has the layout of a creation request.
WireBuffer createRequest(uint32_t id, size_t n) {
    return configRequest(DataPlaneClient::OUTPUT_CONFIG_CREATE_RREQ, id, n);
}

WireBuffer changeRequest(uint32_t id, size_t n) {
    return configRequest(DataPlaneClient::OUTPUT_CONFIG_CHANGE_RREQ, id, n);
}

// The extended QL TLV of a node without SyncE inputs: flag 0x02, one eEEC, no EEC.
WireBuffer transmitSsm(uint32_t id, uint32_t ssm, uint32_t enhanced, uint64_t masterId = 0) {
    WireBuffer message = header(DataPlaneClient::OUTPUT_TRANSMIT_SSM_IND, 48, id);
    message.putBe32(12, ssm);
    message.putBe32(16, enhanced);
    message.putBe32(24, static_cast<uint32_t>(masterId >> 32));
    message.putBe32(28, static_cast<uint32_t>(masterId));
    message.putBe32(32, 0x02);
    message.putBe32(36, 1);
    message.putBe32(40, 0);
    return message;
}

WireBuffer esmcControl(uint32_t id, uint32_t output) {
    WireBuffer message = header(DataPlaneClient::OUTPUT_ESMC_CONTROL_IND, 16, id);
    message.putBe32(12, output);
    return message;
}

WireBuffer removeRequest(uint32_t id) {
    return header(DataPlaneClient::OUTPUT_CONFIG_REMOVE_RREQ, 12, id);
}

// What a configured port's output is told: ePRTC (SSM 0x2, enhanced 0x21), ESMC off.
WireBuffer transmitsEprtc(uint32_t id, size_t) {
    return transmitSsm(id, 0x2, 0x21);
}

WireBuffer esmcOff(uint32_t id, size_t) {
    return esmcControl(id, 0);
}

// Success when the order arrived as exactly these bytes; otherwise where they first differ.
::testing::AssertionResult sameBytes(const SyncPeers::DataPlaneClient::Order& order,
                                     const WireBuffer& expected) {
    const std::vector<uint8_t>& got = order.wire.bytes();
    const std::vector<uint8_t>& want = expected.bytes();
    const auto differ = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
    if (got.size() == want.size() && differ.first == got.end()) {
        return ::testing::AssertionSuccess();
    }
    const size_t at = static_cast<size_t>(differ.first - got.begin());
    char where[96];
    std::snprintf(where, sizeof where, "%zu bytes, %zu expected; first difference at offset %zu", got.size(),
                  want.size(), at);
    return ::testing::AssertionFailure() << order.describe() << ": " << where;
}

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

size_t occurrences(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

class FronthaulRoad : public E2e::Road {
  protected:
    using Expected = std::function<WireBuffer(uint32_t id, size_t n)>;

    // Road::bringUp(), then the output id of each port learnt from the creation requests.
    void bringUp(Peer hosted = Peer::NONE, const E2e::DaemonProcess::Options& options = {}) {
        Road::bringUp(hosted, options);
        for (const Order& create : planeHeard_.ordersOf(Order::OUTPUT_CREATE))
            outputIds_[portOf(create.interfaceName)] = create.procedureReference;
    }

    // The orders from index `from` on are, for each port n, exactly expected(id, n) for its output, in
    // the order given, and nothing else; the ids of outputs created among them are learnt first.
    void expectEachPortTold(size_t from, const std::vector<Expected>& expected) {
        const std::vector<Order> orders = awaitOrders(from, expected.size() * FronthaulScript::kPorts);
        ASSERT_EQ(orders.size(), expected.size() * FronthaulScript::kPorts) << describe(orders);
        for (const Order& create : planeHeard_.ordersOf(Order::OUTPUT_CREATE, from))
            outputIds_[portOf(create.interfaceName)] = create.procedureReference;
        std::set<uint32_t> ids;
        for (size_t n = 1; n <= FronthaulScript::kPorts; ++n) {
            SCOPED_TRACE("port " + std::to_string(n));
            const uint32_t id = outputIds_[n];
            ids.insert(id);
            std::vector<Order> told;
            std::copy_if(orders.begin(), orders.end(), std::back_inserter(told),
                         [id](const Order& o) { return o.procedureReference == id; });
            ASSERT_EQ(told.size(), expected.size()) << describe(orders);
            for (size_t k = 0; k < told.size(); ++k)
                EXPECT_TRUE(sameBytes(told[k], expected[k](id, n)));
        }
        EXPECT_EQ(ids.size(), FronthaulScript::kPorts) << describe(orders);
    }

    // Port number 1..4 of an interface name "fhN"; 0 for another text.
    static size_t portOf(const std::string& interfaceName) {
        for (size_t n = 1; n <= kPorts; ++n)
            if (interfaceName == "fh" + std::to_string(n))
                return n;
        return 0;
    }

    // SECLI_OUTPUT_MAC_ADDRESS_FWD of the connected client, sent on its behalf from another mailbox
    // of this process that then asks the daemon for its id: the answer comes only after the daemon
    // has handled the forward, so the next indication finds the new master id in place.
    void forwardMacAndWait(const uint8_t (&mac)[6]) {
        WireBuffer forward(DataPlaneClient::OUTPUT_MAC_ADDRESS_FWD, 20);
        forward.putBe32(8, dataPlane_->serverConnectionReference());
        forward.putBytes(12, mac, sizeof mac);
        TestPeer peer("e2e-mac-forwarder");
        ASSERT_TRUE(peer.ok());
        peer.send(daemon_->mailboxId(), forward.bytes(), dataPlane_->id());
        ASSERT_EQ(peer.locate("sync-lumov-control"), daemon_->mailboxId());
    }

    // The index of the first event after `after` of that kind whose text is exactly `text`;
    // fails the test and gives events.size() when there is none.
    static size_t find(const std::vector<TraceRecord>& events, size_t after, const std::string& event,
                       const std::string& text) {
        for (size_t i = after + 1; i < events.size(); ++i)
            if (events[i].event() == event && events[i].field("info_msg") == text)
                return i;
        ADD_FAILURE() << "no " << event << " \"" << text << "\" after event " << after;
        return events.size();
    }

    // Output id of each port, 1..4 (index 0 unused), from the creation requests.
    uint32_t outputIds_[kPorts + 1] = {};
};

using RoadOnTheWireTest = FronthaulRoad;

TEST_F(RoadOnTheWireTest, EveryOutputIsCreatedThenToldItsSsmThenItsEsmcStateExactlyOnceAndTraced) {
    E2e::LttngSession lttng;
    ASSERT_TRUE(lttng.startRecording()) << lttng.error();
    bringUp(Peer::NONE, {"", lttng.environment()});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(portsHeard_.receivedWith(PortControlServer::IEPCSI_INIT_SERVICE_REQ).size(), 1u);
    EXPECT_EQ(portsHeard_.receivedWith(PortControlServer::IEPCSI_GET_ETH_PORT_SUPPORT_REQ).size(), 1u);
    EXPECT_EQ(dataPlane_->selectedRevision(), 1u);
    expectEachPortTold(0, {createRequest, transmitsEprtc, esmcOff});
    ASSERT_FALSE(HasFatalFailure());

    // Selection process mode QL_ENABLED switches ESMC on at every output, and changes nothing else.
    ASSERT_EQ(sync_->sendSelectionProcessMode(1), 1u);
    expectEachPortTold(planeHeard_.orders().size(), {[](uint32_t id, size_t) { return esmcControl(id, 1); }});
    ASSERT_FALSE(HasFatalFailure());

    // The same road in the trace, each line exactly as the daemon writes it and in the order it
    // happened: the data-plane connection, the port records, then every output's steps.
    std::vector<TraceRecord> events = lttng.read();
    events.erase(std::remove_if(events.begin(), events.end(),
                                [&](const TraceRecord& r) { return r.vpid() != daemon_->pid(); }),
                 events.end());
    ASSERT_FALSE(events.empty()) << lttng.error();
    const unsigned client = kClientConnectionReference;
    const unsigned server = dataPlane_->serverConnectionReference();
    size_t at = find(events, 0, "REC_MSG",
                     format("SECLI_CONNECTION_ESTABLISHMENT_REQ with data: (procedureReference = %u, "
                            "connectionReference = %u)",
                            kClientProcedureReference, client));
    at = find(events, at, "SEND_MSG",
              format("SECLI_CONNECTION_ESTABLISHMENT_CFM with data: (procedureReference = %u, "
                     "connectionReference = %u, selectedProtocolRevision = 1)",
                     kClientProcedureReference, server));
    for (size_t n = 1; n <= kPorts; ++n)
        at =
            find(events, at, "REC_MSG",
                 format("with data: portRole: 4, rhaiId: %u, macAddress: %s, portName: %s, interfaceName: %s",
                        table_[n - 1].rhaiId, FronthaulScript::macText(n).c_str(),
                        table_[n - 1].portName.c_str(), table_[n - 1].interfaceName.c_str()));
    const size_t portsKnown = at;
    // The port that is not fronthaul is only traced as skipped.
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const TraceRecord& r) {
                                return r.event() == "INFO" &&
                                       r.field("info_msg") == std::string("Skip portName ") +
                                                                  FronthaulScript::kOtherPort +
                                                                  ", C2 false IDL false RDI false";
                            }),
              1);

    size_t lastDisabled = 0;
    for (size_t n = 1; n <= kPorts; ++n) {
        SCOPED_TRACE("port " + std::to_string(n));
        const unsigned id = outputIds_[n];
        size_t step = find(events, portsKnown, "SEND_MSG",
                           format("SECLI_OUTPUT_CONFIG_CREATE_RREQ with data: (procedureReference = %u, "
                                  "connectionReference = %u, interfaceName = fh%zu, macAddress = %s, "
                                  "networkNameSpace = ns-fh%zu)",
                                  id, client, n, FronthaulScript::macText(n).c_str(), n));
        step = find(events, step, "REC_MSG",
                    format("SECLI_OUTPUT_CONFIG_CREATE_RCFM with data: (procedureReference = %u, "
                           "connectionReference = %u)",
                           id, server));
        step = find(
            events, step, "SEND_MSG",
            format("SECLI_OUTPUT_TRANSMIT_SSM_IND with data: (procedureReference = %u, "
                   "connectionReference = %u, ssmCode = 0x02, enhancedSsmCode = 0x21, syncEMasterId = "
                   "0x0000000000000000, flag = 0x02, numberCascadedEnhancedEec = 1, numberCascadedEec = 0",
                   id, client));
        step = find(events, step, "SEND_MSG",
                    format("SECLI_OUTPUT_ESMC_CONTROL_IND with data: (procedureReference = %u, "
                           "connectionReference = %u, output = 0)",
                           id, client));
        lastDisabled = std::max(lastDisabled, step);
    }
    // QL_ENABLED comes after the whole road: every output's ESMC goes on after all were off.
    for (size_t n = 1; n <= kPorts; ++n)
        find(events, lastDisabled, "SEND_MSG",
             format("SECLI_OUTPUT_ESMC_CONTROL_IND with data: (procedureReference = %u, "
                    "connectionReference = %u, output = 1)",
                    outputIds_[n], client));
}

TEST_F(RoadOnTheWireTest, ChangesOfTheNodesDataReachEveryOutputAndNotASecondClient) {
    bringUp();
    ASSERT_FALSE(HasFatalFailure());
    DataPlaneClient second("sync-dataplane-client-2");
    SyncSim::DataPlaneRecorder secondHeard;
    second.setListener(&secondHeard);
    ASSERT_TRUE(second.open()) << second.lastError();
    ASSERT_TRUE(serveUntil([&] {
        second.processOnce(10);
        return second.state() == DataPlaneClient::State::REJECTED;
    })) << daemonOutput();
    EXPECT_EQ(second.connectionErrorCode(), 1u) << "1: the server accepts no more clients";

    const uint8_t mac[6] = {0x02, 0x00, 0x5e, 0x10, 0x00, 0x01};
    // Its modified EUI-64: FF FE in the middle, the universal/local bit inverted.
    const uint64_t masterId = 0x00005EFFFE100001;
    struct Step {
        const char* what;
        std::function<void()> send;
        Expected expected;
    };
    const std::vector<Step> steps = {
        {"quality eEEC under option I", [&] { sync_->sendClockSettledQuality(21); },
         [](uint32_t id, size_t) { return transmitSsm(id, 0xB, 0x22); }},
        {"option II: eEEC is SSM 0xA", [&] { sync_->sendTelecomStandard(2); },
         [](uint32_t id, size_t) { return transmitSsm(id, 0xA, 0x22); }},
        // An unknown quality is dropped: the next four orders are the mode's, none a transmit order.
        {"quality unknown, then mode QL_ENABLED",
         [&] {
             sync_->sendClockSettledQuality(15);
             sync_->sendSelectionProcessMode(1);
         },
         [](uint32_t id, size_t) { return esmcControl(id, 1); }},
        {"MAC forwarded, then quality ePRC",
         [&] {
             forwardMacAndWait(mac);
             sync_->sendClockSettledQuality(22);
         },
         [&](uint32_t id, size_t) { return transmitSsm(id, 0x1, 0x23, masterId); }},
        {"REC deleted", [&] { sync_->sendRecDelete(); },
         [](uint32_t id, size_t) { return removeRequest(id); }},
        // Nothing came after the removals, and a new REC brings new outputs for the same ports.
        {"REC created again", [&] { sync_->sendRecCreate(); },
         [](uint32_t id, size_t port) { return createRequest(id, port); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const size_t from = planeHeard_.orders().size();
        step.send();
        ASSERT_FALSE(HasFatalFailure());
        expectEachPortTold(from, {step.expected});
        ASSERT_FALSE(HasFatalFailure());
        // Orders meant for the refused client too would have left in the same turn as those above;
        // it drops them with a warning, as it is not connected.
        second.processPending(0);
        EXPECT_TRUE(secondHeard.warnings().empty()) << secondHeard.warnings().front();
    }
    EXPECT_EQ(dataPlane_->state(), DataPlaneClient::State::CONNECTED);
}

std::string printoutLine(const char* label, unsigned value) {
    char line[64];
    std::snprintf(line, sizeof line, "  %-20s : 0x%02x\n", label, value);
    return line;
}

// The operator sees four active outputs, each transmitting `ssm` (ePRTC: enhanced 0x21).
void expectConfiguredOutputs(const E2e::ChildProcess::Result& result, unsigned ssm = 0x2) {
    ASSERT_TRUE(result.succeeded()) << result.describe({"synclumovcontrol", "info", "all"});
    const std::string& out = result.output;
    EXPECT_NE(out.find(" #Total SyncEthOutput: 4\n"), std::string::npos) << out;
    EXPECT_EQ(occurrences(out, " #SyncEthOutput, id: "), kPorts) << out;
    EXPECT_EQ(occurrences(out, printoutLine("ssm", ssm)), kPorts) << out;
    EXPECT_EQ(occurrences(out, printoutLine("enhancedSsmCode", 0x21)), kPorts) << out;
}

class PeerRestartTest : public FronthaulRoad {
  protected:
    // The road with `peer` in a process of its own, which is then killed.
    void bringUpAndKill(Peer peer) {
        bringUp(peer);
        ASSERT_FALSE(HasFatalFailure());
        killHost();
    }
};

TEST_F(PeerRestartTest, PortControlServerBackGetsOneSubscriptionPerPortAndTheOutputsStay) {
    bringUpAndKill(Peer::PORTS);
    ASSERT_FALSE(HasFatalFailure());
    const size_t from = planeHeard_.orders().size();
    openPorts();
    ASSERT_TRUE(serveUntil([&] { return ports_->subscriptions().size() == kPorts; })) << daemonOutput();
    ports_->sendAllPortStatus();
    // Each port, up again, is reconfigured and told the same values as before.
    expectEachPortTold(from, {changeRequest, transmitsEprtc, esmcOff});
    ports_->processPending(0);
    EXPECT_EQ(portsHeard_.receivedWith(PortControlServer::IEPCSI_INIT_SERVICE_REQ).size(), 1u);
    std::multiset<std::string> subscribed;
    for (const auto& request :
         portsHeard_.receivedWith(PortControlServer::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ))
        subscribed.insert(request.portName);
    EXPECT_EQ(subscribed, (std::multiset<std::string>{"TnPort-1", "TnPort-2", "TnPort-3", "TnPort-4"}));
    expectConfiguredOutputs(info("all"));
}

TEST_F(PeerRestartTest, SyncControlServerBackGetsTheThreeSubscriptionsOnceAndTheDataStays) {
    bringUpAndKill(Peer::SYNC);
    ASSERT_FALSE(HasFatalFailure());
    const size_t from = planeHeard_.orders().size();
    openSync();
    ASSERT_TRUE(serveUntil([&] { return sync_->subscriptions().size() >= 3; })) << daemonOutput();
    // The new server's first indication goes to every output, with the quality the daemon kept.
    sync_->sendTelecomStandard(2);
    expectEachPortTold(from, {[](uint32_t id, size_t) { return transmitSsm(id, 0x1, 0x21); }});
    sync_->processPending(0);
    EXPECT_EQ(syncHeard_.receivedWith(SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_REQ).size(), 1u);
    std::multiset<std::string> kinds;
    for (const auto& subscription : sync_->subscriptions())
        kinds.insert(subscription.kind);
    EXPECT_EQ(kinds,
              (std::multiset<std::string>{SyncControlServer::REC_DATA, SyncControlServer::SELECTED_REFERENCE,
                                          SyncControlServer::TELECOM_STANDARD}));
    expectConfiguredOutputs(info("all"), 0x1);
}

TEST_F(PeerRestartTest, DataPlaneClientBackIsToldEveryConfiguredOutputWithTheSameValues) {
    bringUp(Peer::DATA_PLANE);
    ASSERT_FALSE(HasFatalFailure());
    // What the killed client was told, as it printed it.
    std::multiset<std::string> before;
    std::istringstream lines(hostOutput());
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("TRANSMIT_SSM ", 0) == 0 || line.rfind("ESMC_CONTROL ", 0) == 0)
            before.insert(line);
    ASSERT_EQ(before.size(), 2 * kPorts) << hostOutput();
    killHost();
    ASSERT_FALSE(HasFatalFailure());

    openDataPlane();
    expectEachPortTold(0, {createRequest, transmitsEprtc, esmcOff});
    // The same outputs (ids) and the same values as the killed client was told.
    std::multiset<std::string> after;
    for (const Order& order : planeHeard_.orders())
        if (order.kind != Order::OUTPUT_CREATE)
            after.insert(order.describe());
    EXPECT_EQ(after, before);
}

TEST_F(PeerRestartTest, CommandServerBackGetsTheCommandRegisteredAgain) {
    bringUp(Peer::COMMANDS);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(hostLines("registered "), 1u) << hostOutput();
    killHost();
    ASSERT_FALSE(HasFatalFailure());
    // synclumovcontrol is the new command server: the daemon must find it and register within 3 s.
    expectConfiguredOutputs(info("all"));
}

}  // namespace
