// The road of a port through the whole daemon: discovered by the port-control server, subscribed,
// reported up, given a SyncE output once the REC exists, and announced to the data plane with the
// quality the sync-control server reports. Every order to the data plane is compared byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "DaemonHarness.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"

namespace Sync {
namespace Test {
namespace {

using Messages = std::vector<std::vector<uint8_t>>;

const std::vector<PortRecord> PORTS = {
    {0x4, 100, {2, 0, 0, 0, 0, 0xa}, "TN_A", "eth0"},  // fronthaul
    {0x2, 101, {2, 0, 0, 0, 0, 0xb}, "TN_B", "eth1"},  // not fronthaul
    {0x5, 102, {2, 0, 0, 0, 0, 0xc}, "TN_C", "eth2"},  // fronthaul bit, but idle-port bit too
    {0xC, 103, {2, 0, 0, 0, 0, 0xd}, "TN_D", "eth3"},  // fronthaul; kept role 0x4
};

class DaemonRoadTest : public DaemonTest {
  protected:
    // The port-control server up, the port support answered; returns the ids the fronthaul ports
    // subscribed with, in record order.
    std::vector<uint32_t> discoverPorts() {
        iepcsiUp();
        EXPECT_EQ(std::vector<uint32_t>{No::IEPCSI_GET_ETH_PORT_SUPPORT_REQ}, msgnos(takeSentTo(IEPCSI)));
        deliver(IEPCSI, portSupport(PORTS));
        std::vector<uint32_t> ids;
        for (const auto& request : takeSentTo(IEPCSI)) {
            EXPECT_EQ(No::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ, msgnoOf(request));
            ids.push_back(be32At(request, 4));
        }
        return ids;
    }

    // Both fronthaul ports subscribed and up; the sync-control connection made and the quality known.
    void portsUpAndQualityKnown() {
        ports = discoverPorts();
        ASSERT_EQ(2u, ports.size());
        subscribed(ports[0], 0x51);
        subscribed(ports[1], 0x52);
        portStatus(ports[0], true, true, "TN_A", "ns1");
        portStatus(ports[1], true, true, "TN_D", "ns2");
        sciUp();
        takeSentTo(SCI);
        sciValue(No::SCI_REC_CLOCK_SETTLED_QUALITY_IND, 20);
    }

    // The REC appears; returns the output ids the create requests carried, in port order.
    std::vector<uint32_t> recCreated(uint32_t client = DATA_PLANE) {
        sciIndication(No::SCI_REC_CREATE_IND);
        std::vector<uint32_t> ids;
        for (const auto& request : takeSentTo(client)) {
            EXPECT_EQ(No::SECLI_OUTPUT_CONFIG_CREATE_RREQ, msgnoOf(request));
            ids.push_back(be32At(request, 4));
        }
        return ids;
    }

    std::vector<uint32_t> ports;
};

TEST_F(DaemonRoadTest, FromPortDiscoveryToTheQualityOnTheWire) {
    dataPlaneUp();
    iepcsiUp();
    EXPECT_EQ(std::vector<uint32_t>{No::IEPCSI_GET_ETH_PORT_SUPPORT_REQ}, msgnos(takeSentTo(IEPCSI)));

    // Only the records with 0x4 set and 0x1 clear become ports, each subscribing with role 0x4.
    deliver(IEPCSI, portSupport(PORTS));
    const Messages subscriptions = takeSentTo(IEPCSI);
    ASSERT_EQ(2u, subscriptions.size());
    const std::vector<std::string> names = {"TN_A", "TN_D"};
    for (size_t i = 0; i < 2; ++i) {
        const uint32_t portId = be32At(subscriptions[i], 4);
        EXPECT_EQ(Wire(No::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ, 32)
                      .refs(portId, be32At(subscriptions[i], 8))
                      .be32(12, 0x4)
                      .chars(16, names[i])
                      .bytes(),
                  subscriptions[i]);
    }
    const uint32_t portA = be32At(subscriptions[0], 4);
    const uint32_t portD = be32At(subscriptions[1], 4);
    subscribed(portA, 0x51);
    subscribed(portD, 0x52);
    portStatus(portA, true, true, "TN_A", "ns1");
    portStatus(portD, true, true, "TN_D", "ns2");
    EXPECT_TRUE(takeSentTo(DATA_PLANE).empty()) << "no output exists before the REC";

    // The connection makes the feature subscribe once, in this order, as client entity 1.
    sciUp();
    const Messages sciRequests = takeSentTo(SCI);
    EXPECT_EQ((std::vector<uint32_t>{No::SCI_REC_DATA_SUBSCRIBE_REQ, No::SCI_SELECTED_REFERENCE_SUBSCRIBE_REQ,
                                     No::SCI_TELECOM_STANDARD_SUBSCRIBE_REQ}),
              msgnos(sciRequests));
    for (const auto& request : sciRequests) {
        EXPECT_EQ(FEATURE_ENTITY, be32At(request, 12));
    }
    sciValue(No::SCI_REC_CLOCK_SETTLED_QUALITY_IND, 20);
    sciValue(No::SCI_TELECOM_STANDARD_IND, 1);
    EXPECT_TRUE(takeSentTo(DATA_PLANE).empty());

    // The REC gives each port its output, and each output, its port being up, asks to be created.
    sciIndication(No::SCI_REC_CREATE_IND);
    const Messages creates = takeSentTo(DATA_PLANE);
    ASSERT_EQ(2u, creates.size());
    const uint32_t outA = be32At(creates[0], 4);
    const uint32_t outD = be32At(creates[1], 4);
    EXPECT_EQ(configRequest(No::SECLI_OUTPUT_CONFIG_CREATE_RREQ, outA, "eth0", "02:00:00:00:00:0a", "ns1"),
              creates[0]);
    EXPECT_EQ(configRequest(No::SECLI_OUTPUT_CONFIG_CREATE_RREQ, outD, "eth3", "02:00:00:00:00:0d", "ns2"),
              creates[1]);

    // Each confirmation brings the quality first (ePRTC under option I), the enable state second.
    dataPlaneAnswer(No::SECLI_OUTPUT_CONFIG_CREATE_RCFM, outA);
    EXPECT_EQ((Messages{transmitSsm(outA, 0x2, 0x21, 0, 0x02, 1, 0), esmcControl(outA, 0)}),
              takeSentTo(DATA_PLANE));
    dataPlaneAnswer(No::SECLI_OUTPUT_CONFIG_CREATE_RCFM, outD);
    EXPECT_EQ((Messages{transmitSsm(outD, 0x2, 0x21, 0, 0x02, 1, 0), esmcControl(outD, 0)}),
              takeSentTo(DATA_PLANE));

    // Node-wide changes reach every output.
    sciValue(No::SCI_REC_SELECTION_PROCESS_MODE_IND, 1);
    EXPECT_EQ((Messages{esmcControl(outA, 1), esmcControl(outD, 1)}), takeSentTo(DATA_PLANE));
    sciValue(No::SCI_REC_CLOCK_SETTLED_QUALITY_IND, 21);
    EXPECT_EQ(
        (Messages{transmitSsm(outA, 0xB, 0x22, 0, 0x02, 1, 0), transmitSsm(outD, 0xB, 0x22, 0, 0x02, 1, 0)}),
        takeSentTo(DATA_PLANE));
    sciValue(No::SCI_TELECOM_STANDARD_IND, 2);
    EXPECT_EQ(
        (Messages{transmitSsm(outA, 0xA, 0x22, 0, 0x02, 1, 0), transmitSsm(outD, 0xA, 0x22, 0, 0x02, 1, 0)}),
        takeSentTo(DATA_PLANE));

    // The forwarded MAC address changes nothing by itself; the next order carries its master id.
    deliver(DATA_PLANE, Wire(No::SECLI_OUTPUT_MAC_ADDRESS_FWD, 20)
                            .refs(0, serverReference)
                            .raw(12, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_TRUE(takeSentTo(DATA_PLANE).empty());
    sciValue(No::SCI_REC_CLOCK_SETTLED_QUALITY_IND, 20);
    const uint64_t masterId = 0x021122FFFE334455ULL;
    EXPECT_EQ((Messages{transmitSsm(outA, 0x1, 0x21, masterId, 0x02, 1, 0),
                        transmitSsm(outD, 0x1, 0x21, masterId, 0x02, 1, 0)}),
              takeSentTo(DATA_PLANE));

    // An unknown quality is ignored; the outputs keep the last known one.
    sciValue(No::SCI_REC_CLOCK_SETTLED_QUALITY_IND, 15);
    EXPECT_TRUE(takeSentTo(DATA_PLANE).empty());
    EXPECT_TRUE(traces().contains(TL_INFO, "SCI received QL_UNKNOWN"));

    // The REC goes: every output is removed, the highest first.
    sciIndication(No::SCI_REC_DELETE_IND);
    EXPECT_EQ((Messages{removeRequest(outD), removeRequest(outA)}), takeSentTo(DATA_PLANE));
}

TEST_F(DaemonRoadTest, LaterPortStatusChangesAnOutputOrSilencesIt) {
    dataPlaneUp();
    portsUpAndQualityKnown();
    // A second confirmation on the same connection subscribes nothing more.
    deliver(SCI, Wire(No::SCI_CONNECTION_ESTABLISHMENT_CFM, 16).refs(0x61, SCI_CONNECTION).be32(12, 1));
    EXPECT_TRUE(takeSentTo(SCI).empty());

    // An operational-state change of a port with an output re-announces the output as a change.
    const std::vector<uint32_t> outputs = recCreated();
    ASSERT_EQ(2u, outputs.size());
    portStatus(ports[0], true, true, "TN_A", "ns9");
    EXPECT_EQ((Messages{configRequest(No::SECLI_OUTPUT_CONFIG_CHANGE_RREQ, outputs[0], "eth0",
                                      "02:00:00:00:00:0a", "ns9")}),
              takeSentTo(DATA_PLANE));
    dataPlaneAnswer(No::SECLI_OUTPUT_CONFIG_CHANGE_RCFM, outputs[0]);
    EXPECT_EQ((std::vector<uint32_t>{No::SECLI_OUTPUT_TRANSMIT_SSM_IND, No::SECLI_OUTPUT_ESMC_CONTROL_IND}),
              msgnos(takeSentTo(DATA_PLANE)));

    // A port that goes down is not announced again, and a status for no port changes nothing.
    portStatus(ports[1], true, false, "TN_D", "ns2");
    portStatus(0xFFFF0000u, true, true, "TN_X", "ns1");
    EXPECT_TRUE(takeSentTo(DATA_PLANE).empty());
    EXPECT_TRUE(traces().contains(TL_RETURN, "Port not found"));
}

TEST_F(DaemonRoadTest, PortControlServerBackMakesEachPortSubscribeExactlyOnce) {
    const std::vector<uint32_t> portIds = discoverPorts();
    ASSERT_EQ(2u, portIds.size());
    // One port confirmed, the other still waiting for its confirmation when the server goes.
    subscribed(portIds[0], 0x51);
    auto* iepcsi = controller->handler<Iepcsi::ServiceHandler>();
    ASSERT_NE(nullptr, iepcsi);
    using References = std::map<uint32_t, uint32_t>;
    EXPECT_EQ((References{{portIds[0], 0x51}}), iepcsi->getStatePorts());

    ASSERT_EQ(1u, FakeTavi::fireMonitor(IEPCSI));
    pump();
    EXPECT_TRUE(traces().contains(TL_DEBUG, "Will notify ports about Iepcsi Down"));
    EXPECT_TRUE(iepcsi->getStatePorts().empty()) << "references of a server that is gone";
    takeSentTo(IEPCSI);

    iepcsiUp();
    const Messages again = takeSentTo(IEPCSI);
    ASSERT_EQ((std::vector<uint32_t>{No::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ,
                                     No::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ,
                                     No::IEPCSI_GET_ETH_PORT_SUPPORT_REQ}),
              msgnos(again));
    EXPECT_EQ(portIds[0], be32At(again[0], 4));
    EXPECT_EQ(portIds[1], be32At(again[1], 4));

    // The port list again: the known ports are reused and ask for nothing more.
    deliver(IEPCSI, portSupport(PORTS));
    EXPECT_TRUE(takeSentTo(IEPCSI).empty());

    // The new subscriptions are confirmed and work: status reaches the ports.
    subscribed(portIds[0], 0x61);
    subscribed(portIds[1], 0x62);
    EXPECT_EQ((References{{portIds[0], 0x61}, {portIds[1], 0x62}}), iepcsi->getStatePorts());
    traces().clear();
    portStatus(portIds[1], true, true, "TN_D", "ns2");
    EXPECT_FALSE(traces().contains(TL_RETURN, "Port not found"));
}

TEST_F(DaemonRoadTest, SyncControlServerBackMakesTheFeatureSubscribeOnceInOrder) {
    sciUp();
    EXPECT_EQ(3u, takeSentTo(SCI).size());

    ASSERT_EQ(1u, FakeTavi::fireMonitor(SCI));
    pump();
    FakeTavi::serviceDown("sci", "sync");
    pump();

    const uint32_t nextServer = SCI + 1;
    sciUp(nextServer);
    const Messages again = takeSentTo(nextServer);
    EXPECT_EQ((std::vector<uint32_t>{No::SCI_REC_DATA_SUBSCRIBE_REQ, No::SCI_SELECTED_REFERENCE_SUBSCRIBE_REQ,
                                     No::SCI_TELECOM_STANDARD_SUBSCRIBE_REQ}),
              msgnos(again));
    for (const auto& request : again) {
        EXPECT_EQ(FEATURE_ENTITY, be32At(request, 12));
    }

    // Indications of the new server reach the model.
    sciValue(No::SCI_REC_CLOCK_SETTLED_QUALITY_IND, 20, nextServer);
    const std::string feature = command({"synclumovcontrol", "info", "feature"});
    EXPECT_NE(std::string::npos, feature.find("clockSettledQuality       : 0x14")) << feature;
}

TEST_F(DaemonRoadTest, ANewDataPlaneClientLearnsEveryConfiguredOutput) {
    portsUpAndQualityKnown();
    // Port D is locked before the REC comes: its output never announces itself.
    portStatus(ports[1], false, true, "TN_D", "ns2");
    sciIndication(No::SCI_REC_CREATE_IND);

    // No client yet: the output moved on without a word to anyone.
    EXPECT_TRUE(traces().contains(TL_DEBUG, "No client is up, ethFreq will be created when client is up"));
    dataPlaneUp();
    ASSERT_EQ(1u, pendingAfterConnect.size());
    const uint32_t outA = be32At(pendingAfterConnect[0], 4);
    EXPECT_EQ(configRequest(No::SECLI_OUTPUT_CONFIG_CREATE_RREQ, outA, "eth0", "02:00:00:00:00:0a", "ns1"),
              pendingAfterConnect[0]);
    dataPlaneAnswer(No::SECLI_OUTPUT_CONFIG_CREATE_RCFM, outA);
    EXPECT_EQ((Messages{transmitSsm(outA, 0x2, 0x21, 0, 0x02, 1, 0), esmcControl(outA, 0)}),
              takeSentTo(DATA_PLANE));

    // Port D comes up now: its output is created with the client there.
    portStatus(ports[1], true, true, "TN_D", "ns2");
    const Messages createD = takeSentTo(DATA_PLANE);
    ASSERT_EQ(1u, createD.size());
    const uint32_t outD = be32At(createD[0], 4);
    dataPlaneAnswer(No::SECLI_OUTPUT_CONFIG_CREATE_RCFM, outD);
    takeSentTo(DATA_PLANE);

    // The client goes and another comes: it is told every configured output, in order, once each.
    ASSERT_EQ(1u, FakeTavi::fireMonitor(DATA_PLANE));
    pump();
    const uint32_t nextClient = DATA_PLANE + 1;
    dataPlaneUp(nextClient);
    EXPECT_EQ(
        (Messages{
            configRequest(No::SECLI_OUTPUT_CONFIG_CREATE_RREQ, outA, "eth0", "02:00:00:00:00:0a", "ns1"),
            configRequest(No::SECLI_OUTPUT_CONFIG_CREATE_RREQ, outD, "eth3", "02:00:00:00:00:0d", "ns2")}),
        pendingAfterConnect);
    dataPlaneAnswer(No::SECLI_OUTPUT_CONFIG_CREATE_RCFM, outA, nextClient);
    dataPlaneAnswer(No::SECLI_OUTPUT_CONFIG_CREATE_RCFM, outD, nextClient);
    EXPECT_EQ((Messages{transmitSsm(outA, 0x2, 0x21, 0, 0x02, 1, 0), esmcControl(outA, 0),
                        transmitSsm(outD, 0x2, 0x21, 0, 0x02, 1, 0), esmcControl(outD, 0)}),
              takeSentTo(nextClient));
    EXPECT_TRUE(takeSentTo(DATA_PLANE).empty()) << "nothing goes to the client that left";
}

}  // namespace
}  // namespace Test
}  // namespace Sync
