#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "IepcsiTestSupport.h"
#include "Macros.h"
#include "common_fwk_classes/iepcsi/ClientIf.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportCfm.h"
#include "common_fwk_classes/iepcsi/PortStatusInd.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"

namespace Sync {
namespace Test {
namespace {

using Iepcsi::ClientIf;
using Iepcsi::ServiceHandler;
using Names = std::vector<std::string>;

TEST_F(IepcsiClientTest, HandshakeRunsFromLocateToPortSupportRequest) {
    EXPECT_EQ(1u, client()->getOwnId());
    EXPECT_EQ(AbstractClientIf::WAIT_FOR_SERVER, client()->getState());
    EXPECT_EQ(Names{SERVER_NAME}, FakeTavi::locatedNames());
    EXPECT_TRUE(FakeTavi::subscriptions().empty()) << "the name service is not used";

    ASSERT_EQ(1u, FakeTavi::fireLocate(SERVER_NAME, SERVER));
    ASSERT_EQ(1u, deliverAll());
    EXPECT_EQ(AbstractClientIf::WAIT_FOR_INIT_CFM, client()->getState());
    EXPECT_EQ(std::vector<uint32_t>{SERVER}, FakeTavi::monitoredPids());
    const auto init = sentWith(IepcsiNo::INIT_SERVICE_REQ);
    ASSERT_EQ(1u, init.size());
    EXPECT_EQ(SERVER, init[0].to);
    EXPECT_EQ((Bytes(IepcsiNo::INIT_SERVICE_REQ, 24).refs(1, 1).be32(12, 1).be32(16, 1).be32(20, 1).get()),
              init[0].bytes);

    FakeTavi::clearSent();
    ASSERT_EQ(1u, deliver(SERVER, Bytes(IepcsiNo::INIT_CFM, 16).refs(1, SERVER_CONNECTION).be32(12, 1)));
    EXPECT_EQ(AbstractClientIf::INITIATED, client()->getState());
    EXPECT_EQ(SERVER_CONNECTION, client()->getConnectionReference());
    EXPECT_EQ(Names{"INIT_CFM_EVENT(1)"}, events->names);
    EXPECT_EQ(static_cast<IEntity*>(handler), events->sources[0]);
    // The port list is asked for with the own id and the server's connection reference.
    ASSERT_EQ(1u, FakeTavi::sent().size());
    EXPECT_EQ(SERVER, FakeTavi::sent()[0].to);
    EXPECT_EQ((Bytes(IepcsiNo::GET_ETH_PORT_SUPPORT_REQ, 12).refs(1, SERVER_CONNECTION).get()),
              FakeTavi::sent()[0].bytes);
}

// The monitor's notice carries the references of server up; the next server is asked under the own
// connection reference again.
TEST_F(IepcsiClientTest, ServerDownRestartsDiscoveryWithOwnConnectionReference) {
    connect();
    FakeTavi::clearSent();
    ASSERT_EQ(1u, FakeTavi::fireMonitor(SERVER));
    ASSERT_EQ(1u, deliverAll());
    EXPECT_EQ(AbstractClientIf::WAIT_FOR_SERVER, client()->getState());
    EXPECT_EQ(1u, client()->getConnectionReference());
    EXPECT_EQ(0u, client()->getAttRef());
    EXPECT_EQ("SERVER_DOWN_EVENT(1)", events->names.back());
    EXPECT_EQ(Names{SERVER_NAME}, FakeTavi::locatedNames());

    const uint32_t NEW_SERVER = 0x4004;
    ASSERT_EQ(1u, FakeTavi::fireLocate(SERVER_NAME, NEW_SERVER));
    ASSERT_EQ(1u, deliverAll());
    const auto init = sentWith(IepcsiNo::INIT_SERVICE_REQ);
    ASSERT_EQ(1u, init.size());
    EXPECT_EQ(NEW_SERVER, init[0].to);
    EXPECT_EQ(1u, be32At(init[0].bytes, 8));
    EXPECT_EQ(std::vector<uint32_t>{NEW_SERVER}, FakeTavi::monitoredPids());
    ASSERT_EQ(1u, deliver(NEW_SERVER, Bytes(IepcsiNo::INIT_CFM, 16).refs(1, 0x990).be32(12, 1)));
    EXPECT_EQ(0x990u, be32At(sentWith(IepcsiNo::GET_ETH_PORT_SUPPORT_REQ).back().bytes, 8));
}

TEST_F(IepcsiClientTest, ServiceMessagesRaiseTheirEventsWithThePrimitiveReadable) {
    connect();
    struct Probe : Listener<ServiceHandler::GET_ETH_PORT_SUPPORT_CFM_EVENT> {
        explicit Probe(ServiceHandler* h) : handler(h) { startListening(); }
        void onEvent(ServiceHandler::GET_ETH_PORT_SUPPORT_CFM_EVENT&) override {
            for (const auto& record :
                 handler->currentPrimitiveAs<Iepcsi::GetEthPortSupportCfm>()->getPortRecords())
                names.push_back(record.portName);
        }
        ServiceHandler* handler;
        Names names;
    } probe(handler);
    events->names.clear();
    // Longer than its count says: the record past the count is not read.
    std::vector<uint8_t> cfm = portSupportCfm(1, SERVER_CONNECTION, {{4, "TN_A"}, {8, "TN_B"}, {4, "TN_C"}});
    cfm[15] = 2;
    ASSERT_EQ(1u, deliver(SERVER, cfm));
    ASSERT_EQ(
        1u,
        deliver(
            SERVER,
            Bytes(IepcsiNo::SUBSCRIBE_ETH_PORT_STATUS_CFM, 16).refs(7, SERVER_CONNECTION).be32(12, 0x31)));
    ASSERT_EQ(
        1u,
        deliver(SERVER,
                Bytes(IepcsiNo::ETH_PORT_STATUS_IND, 40).refs(8, SERVER_CONNECTION).be32(12, 1).be32(16, 1)));
    EXPECT_EQ((Names{"GET_ETH_PORT_SUPPORT_CFM_EVENT(1)", "SUBSCRIBE_PORT_STATUS_CFM_EVENT(7)",
                     "ETH_PORT_STATUS_IND_EVENT(8)"}),
              events->names);
    EXPECT_EQ((Names{"TN_A", "TN_B"}), probe.names);
    EXPECT_EQ(nullptr, client()->getCurrentPrimitive()) << "cleared once the handlers are done";
    EXPECT_EQ(nullptr, handler->currentPrimitiveAs<Iepcsi::PortStatusInd>()) << "nothing is being handled";
}

TEST_F(IepcsiClientTest, SkipTraceNamesPortsWithNeitherServedRole) {
    connect();
    traces.clear();
    deliver(SERVER, portSupportCfm(1, SERVER_CONNECTION,
                                   {{0x2, "two"},
                                    {0x3, "three"},
                                    {0x4, "four"},
                                    {0x8, "eight"},
                                    {0x5, "five"},
                                    {0x0, "zero"},
                                    {0x9, "nine"}}));
    EXPECT_EQ((Names{"Skip portName two, C2 false IDL false RDI false",
                     "Skip portName three, C2 false IDL true RDI false",
                     "Skip portName zero, C2 false IDL false RDI false"}),
              traces.texts(TL_INFO));
}

TEST_F(IepcsiClientTest, DetachSendsTermRequestWithTheConnectionReferences) {
    connect();
    FakeTavi::clearSent();
    client()->detachIf();
    EXPECT_EQ(AbstractClientIf::DETACHED, client()->getState());
    const auto term = sentWith(IepcsiNo::TERM_SERVICE_REQ);
    ASSERT_EQ(1u, term.size());
    EXPECT_EQ(SERVER, term[0].to);
    EXPECT_EQ((Bytes(IepcsiNo::TERM_SERVICE_REQ, 12).refs(1, SERVER_CONNECTION).get()), term[0].bytes);
}

TEST_F(IepcsiClientTest, ClientIdsAreTheLowestFreeAndComeBack) {
    // The fixture's client holds 1.
    auto second = std::make_unique<ClientIf>(FakeTavi::ownId());
    auto third = std::make_unique<ClientIf>(FakeTavi::ownId());
    EXPECT_EQ(2u, second->getOwnId());
    EXPECT_EQ(3u, third->getOwnId());
    second.reset();
    EXPECT_EQ(2u, ClientIf(FakeTavi::ownId()).getConnectionReference());
}

TEST_F(IepcsiClientTest, RefusedRegistrationLeavesTheHandlerWithoutInterface) {
    // A second handler under the same id cannot register its interface.
    ServiceHandler other(HANDLER_ID, controller.get());
    other.init();
    EXPECT_TRUE(traces.contains(TL_ERROR, "Could not add ClientIf to the MsgDispatcher"));
    EXPECT_EQ(client(), other.getClientIf()) << "the first registration stays";
    EXPECT_EQ(2u, other.getOwnId());
}

}  // namespace
}  // namespace Test
}  // namespace Sync
