// The fronthaul road as the data plane sees it, byte for byte, and in the daemon's own LTTng trace:
// the handshakes, four ports found, subscribed and up (and one that is not fronthaul only traced as
// skipped), REC and quality from sync control, and each output created, told its SSM and its ESMC
// state; then every change of the node's data fanned out to all four outputs, and a second
// data-plane client turned away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <vector>

#include "FronthaulRoad.h"
#include "LttngSession.h"
#include "TestPeer.h"
#include "TraceRecord.h"

namespace {

using E2e::FronthaulScript;
using E2e::TestPeer;
using E2e::TraceRecord;
using SyncTools::DataPlaneClient;
using SyncTools::PortControlServer;
using SyncTools::WireBuffer;

constexpr size_t kPorts = FronthaulScript::kPorts;

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

class RoadOnTheWireTest : public E2e::FronthaulRoad {
  protected:
    // Waits for the next four orders and checks that they are one of `kind` per output, each exactly
    // the bytes expected(id, port) gives.
    void expectFanOut(size_t from, Order::Kind kind,
                      const std::function<WireBuffer(uint32_t id, size_t port)>& expected) {
        const std::vector<Order> next = awaitOrders(from, kPorts);
        ASSERT_EQ(next.size(), kPorts) << describe(next);
        std::set<size_t> ports;
        for (const Order& order : next) {
            ASSERT_EQ(order.kind, kind) << describe(next);
            const size_t port = kind == Order::OUTPUT_CREATE ? portOf(order.interfaceName)
                                                             : portOfOutput(order.procedureReference);
            ASSERT_NE(port, 0u) << order.describe();
            ports.insert(port);
            EXPECT_TRUE(sameBytes(order, expected(order.procedureReference, port)));
        }
        EXPECT_EQ(ports.size(), kPorts) << describe(next);
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
};

TEST_F(RoadOnTheWireTest, EveryOutputIsCreatedThenToldItsSsmThenItsEsmcStateExactlyOnceAndTraced) {
    E2e::LttngSession lttng;
    ASSERT_TRUE(lttng.startRecording()) << lttng.error();
    bringUp(Peer::NONE, {"", lttng.environment()});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(ports_->receivedWith(PortControlServer::IEPCSI_INIT_SERVICE_REQ).size(), 1u);
    EXPECT_EQ(ports_->receivedWith(PortControlServer::IEPCSI_GET_ETH_PORT_SUPPORT_REQ).size(), 1u);
    EXPECT_EQ(dataPlane_->selectedRevision(), 1u);
    expectEachPortTold(0, {createRequest, transmitsEprtc, esmcOff});
    ASSERT_FALSE(HasFatalFailure());

    // Selection process mode QL_ENABLED switches ESMC on at every output, and changes nothing else.
    ASSERT_EQ(sync_->sendSelectionProcessMode(1), 1u);
    expectFanOut(dataPlane_->orders().size(), Order::ESMC_CONTROL,
                 [](uint32_t id, size_t) { return esmcControl(id, 1); });
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
        Order::Kind kind;
        std::function<WireBuffer(uint32_t id, size_t port)> expected;
    };
    const std::vector<Step> steps = {
        {"quality eEEC under option I", [&] { sync_->sendClockSettledQuality(21); }, Order::TRANSMIT_SSM,
         [](uint32_t id, size_t) { return transmitSsm(id, 0xB, 0x22); }},
        {"option II: eEEC is SSM 0xA", [&] { sync_->sendTelecomStandard(2); }, Order::TRANSMIT_SSM,
         [](uint32_t id, size_t) { return transmitSsm(id, 0xA, 0x22); }},
        // An unknown quality is dropped: the next four orders are the mode's, none a transmit order.
        {"quality unknown, then mode QL_ENABLED",
         [&] {
             sync_->sendClockSettledQuality(15);
             sync_->sendSelectionProcessMode(1);
         },
         Order::ESMC_CONTROL, [](uint32_t id, size_t) { return esmcControl(id, 1); }},
        {"MAC forwarded, then quality ePRC",
         [&] {
             forwardMacAndWait(mac);
             sync_->sendClockSettledQuality(22);
         },
         Order::TRANSMIT_SSM, [&](uint32_t id, size_t) { return transmitSsm(id, 0x1, 0x23, masterId); }},
        {"REC deleted", [&] { sync_->sendRecDelete(); }, Order::OUTPUT_REMOVE,
         [](uint32_t id, size_t) { return removeRequest(id); }},
        // Nothing came after the removals, and a new REC brings new outputs for the same ports.
        {"REC created again", [&] { sync_->sendRecCreate(); }, Order::OUTPUT_CREATE,
         [](uint32_t id, size_t port) { return createRequest(id, port); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const size_t from = dataPlane_->orders().size();
        step.send();
        ASSERT_FALSE(HasFatalFailure());
        expectFanOut(from, step.kind, step.expected);
        ASSERT_FALSE(HasFatalFailure());
        // Orders meant for the refused client too would have left in the same turn as those above;
        // it drops them with a warning, as it is not connected.
        second.processPending(0);
        EXPECT_TRUE(second.warnings().empty()) << second.warnings().front();
    }
    EXPECT_EQ(dataPlane_->state(), DataPlaneClient::State::CONNECTED);
}

}  // namespace
