// The port-control server turned hostile: every message it could send, cut short, reduced to its
// number, padded, with counts past its bytes, with texts that fill their fields, unknown or out of
// turn. The daemon drops each with its own trace and carries on with the same ports and outputs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostileRoad.h"

namespace {

using E2e::HostileCase;
using E2e::HostileRoad;
using SyncTools::PortControlServer;
using SyncTools::WireBuffer;

using P = PortControlServer;
// Wrong-state traces name the client's state: INITIATED.
constexpr uint32_t kInitiated = 4;

const std::vector<HostileCase::Kind> kKinds = {
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
const HostileCase::Kind& kPortSupportCfm = kKinds[8];
const HostileCase::Kind& kStatusInd = kKinds[15];

// A status indication of port A as it stands (unlocked, enabled), with `ns` from offset 36 to the end.
WireBuffer statusOfPortA(uint32_t entityId, uint32_t connectionReference, const std::string& ns) {
    WireBuffer message(P::IEPCSI_ETH_PORT_STATUS_IND, 36 + ns.size());
    message.putBe32(4, entityId);
    message.putBe32(8, connectionReference);
    message.putBe32(12, 1);
    message.putBe32(16, 1);
    message.putText(20, 16, HostileRoad::kPortA);
    message.putBytes(36, ns.data(), ns.size());
    return message;
}

std::vector<HostileCase> table(const PortControlServer& ports) {
    std::vector<HostileCase> cases = HostileCase::empties(ports.id());
    const std::vector<HostileCase> cut = HostileCase::truncations(kKinds);
    cases.insert(cases.end(), cut.begin(), cut.end());

    // Counts past the bytes: three records announced, one sent.
    WireBuffer threeOfOne(P::IEPCSI_GET_ETH_PORT_SUPPORT_CFM, 16 + 48);
    threeOfOne.putBe32(12, 3);
    threeOfOne.putText(16 + 14, 16, "TnPort-Ghost");
    cases.push_back({"port support announcing 3 records and holding 1", threeOfOne,
                     HostileCase::shortText(kPortSupportCfm, 64, 16 + 48 * 3)});
    WireBuffer hugeCount(P::IEPCSI_GET_ETH_PORT_SUPPORT_CFM, 16);
    hugeCount.putBe32(12, 0xFFFFFFFF);
    cases.push_back({"port support announcing 2^32-1 records", hugeCount,
                     HostileCase::shortText(kPortSupportCfm, 16, 16 + 48ull * 0xFFFFFFFFull)});

    // Management messages out of turn: the connection is up (INITIATED), padded ones included.
    cases.push_back({"connection confirmation nobody asked for, padded",
                     HostileCase::oversized(kKinds[3], 20), HostileCase::wrongStateText(3, kInitiated)});
    cases.push_back({"connection rejection after the confirmation", WireBuffer(P::IEPCSI_INIT_REJ, 16),
                     HostileCase::wrongStateText(4, kInitiated)});
    cases.push_back({"termination confirmation nobody asked for", WireBuffer(P::IEPCSI_TERM_SERVICE_CFM, 12),
                     HostileCase::wrongStateText(7, kInitiated)});
    cases.push_back({"server up while connected", WireBuffer(P::IEPCSI_SERVER_UP_IND, 12),
                     HostileCase::wrongStateText(1, kInitiated)});

    // Requests only the client sends, coming back from the server.
    for (size_t index : {2, 5, 7, 10, 13}) {
        const HostileCase::Kind& kind = kKinds[index];
        cases.push_back({std::string(kind.name) + " from the server", WireBuffer(kind.msgno, kind.size),
                         std::string("Dropped ") + kind.name + " from " + std::to_string(ports.id()) +
                             ": only the client sends it"});
    }

    // Unknown numbers: inside the block's gap, just past it, and far away.
    for (uint32_t msgno : {0x1B104Bu, 0x1B1056u, 0xDEADBEEFu, 0u})
        cases.push_back({"unknown message number " + std::to_string(msgno), WireBuffer(msgno, 40),
                         HostileCase::unknownText(msgno)});
    return cases;
}

// Well-formed enough to be taken: a namespace that runs to the end of the message without a NUL, and
// one followed by bytes past it, are read as exactly the namespace the port already has.
std::vector<HostileCase> takenTable(const PortControlServer::Subscription& a) {
    std::string padded("ns-a");
    padded += std::string(1, '\0') + "garbage past the namespace";
    return {
        {"status with the namespace to the end of the message and no NUL",
         statusOfPortA(a.portEntityId, a.connectionReference, "ns-a"), ""},
        {"status padded past its namespace", statusOfPortA(a.portEntityId, a.connectionReference, padded),
         ""},
    };
}

std::vector<std::string> ordersSince(const SyncTools::DataPlaneClient& client, size_t first) {
    std::vector<std::string> texts;
    for (size_t i = first; i < client.orders().size(); ++i)
        texts.push_back(client.orders()[i].describe());
    return texts;
}

TEST(PortControlHostileTest, EveryMalformedOrUntimelyMessageIsTracedAndChangesNothing) {
    HostileRoad road;
    ASSERT_TRUE(road.start()) << road.why();
    PortControlServer& ports = road.ports();

    // The full-field port was read as its 16 and 18 characters, and not one byte more.
    const std::string before = road.info();
    EXPECT_NE(before.find(HostileRoad::kFullPortName), std::string::npos) << before;
    EXPECT_EQ(before.find(std::string(HostileRoad::kFullPortName) + "e"), std::string::npos) << before;
    bool created = false;
    for (const auto& order : road.dataPlane().orders()) {
        if (order.kind == SyncTools::DataPlaneClient::Order::OUTPUT_CREATE &&
            order.networkNameSpace == "ns-f") {
            EXPECT_EQ(order.interfaceName, HostileRoad::kFullInterfaceName) << order.describe();
            created = true;
        }
    }
    EXPECT_TRUE(created) << "no output for the full-field port";

    const auto send = [&](const WireBuffer& bytes) { ports.sendRaw(road.daemonId(), bytes); };
    // A rejection is traced as an ERROR when it is read, whatever the state then refuses.
    road.expectTrace("Received message: IEPCSI_INIT_REJ with data");
    road.runTable(table(ports), ports.id(), send);

    // An indication of port A as the server sends it: while the port is up the daemon tells the data
    // plane again what the output is. The taken cases must bring exactly the same orders.
    const PortControlServer::Subscription* a = nullptr;
    for (const auto& [reference, s] : ports.subscriptions())
        a = s.portName == HostileRoad::kPortA ? &s : a;
    ASSERT_NE(a, nullptr);
    SyncTools::DataPlaneClient& client = road.dataPlane();
    size_t first = client.orders().size();
    ASSERT_EQ(ports.sendPortStatus(HostileRoad::kPortA), 1u);
    ASSERT_TRUE(road.serveUntil([&] { return client.orders().size() >= first + 3; }));
    road.settle();
    const std::vector<std::string> reference = ordersSince(client, first);
    for (const HostileCase& taken : takenTable(*a)) {
        SCOPED_TRACE(taken.name);
        first = client.orders().size();
        send(taken.bytes);
        EXPECT_TRUE(road.serveUntil([&] { return client.orders().size() >= first + reference.size(); }));
        road.settle();
        EXPECT_EQ(ordersSince(client, first), reference);
    }
    road.rebase();
    road.checkStillServes();
    road.checkTraces();
}

}  // namespace
