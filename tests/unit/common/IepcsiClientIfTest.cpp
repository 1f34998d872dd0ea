#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeTavi.h"
#include "IepcsiTestSupport.h"
#include "Macros.h"
#include "common_fwk_classes/iepcsi/ClientIf.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportCfm.h"
#include "common_fwk_classes/iepcsi/PortStatusInd.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"
#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusCfm.h"
#include "tavi.h"

namespace Sync {
namespace Test {
namespace {

using Iepcsi::ClientIf;
using Iepcsi::ServiceHandler;

class IepcsiClientIfTest : public IepcsiClientTest {};

TEST_F(IepcsiClientIfTest, StartsWithOwnReferencesAndLooksForTheServerByMailboxName) {
    EXPECT_EQ(1u, client()->getOwnId());
    EXPECT_EQ(1u, client()->getProcedureReference());
    EXPECT_EQ(1u, client()->getConnectionReference());
    EXPECT_EQ(AbstractClientIf::WAIT_FOR_SERVER, client()->getState());
    EXPECT_EQ(std::vector<std::string>{"iepcsi-server"}, FakeTavi::locatedNames());
    EXPECT_TRUE(FakeTavi::subscriptions().empty()) << "the name service is not used";
}

TEST_F(IepcsiClientIfTest, HandshakeRunsFromLocateToPortSupportRequest) {
    ASSERT_EQ(1u, FakeTavi::fireLocate(SERVER_NAME, SERVER));
    ASSERT_EQ(1u, deliverAll());
    EXPECT_TRUE(traces.contains(TL_REC_MSG, "IEPCSI_SERVER_UP_IND"));
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
    EXPECT_EQ(std::vector<std::string>{"INIT_CFM_EVENT"}, events->names());
    EXPECT_EQ(static_cast<IEntity*>(handler), events->seen[0].source);
    EXPECT_TRUE(traces.contains(TL_ENTER, "InitCfm prim: "));

    // The port list is asked for with the own id and the server's connection reference.
    ASSERT_EQ(1u, FakeTavi::sent().size());
    EXPECT_EQ(SERVER, FakeTavi::sent()[0].to);
    EXPECT_EQ((Bytes(IepcsiNo::GET_ETH_PORT_SUPPORT_REQ, 12).refs(1, SERVER_CONNECTION).get()),
              FakeTavi::sent()[0].bytes);
}

TEST_F(IepcsiClientIfTest, RejectedHandshakeOnlyTracesAndRaisesNothing) {
    ASSERT_EQ(1u, FakeTavi::fireLocate(SERVER_NAME, SERVER));
    deliverAll();
    FakeTavi::clearSent();
    ASSERT_EQ(1u, deliver(SERVER, Bytes(IepcsiNo::INIT_REJ, 16).refs(1, 1).be32(12, 2)));
    EXPECT_EQ(AbstractClientIf::NOT_CONNECTED, client()->getState());
    EXPECT_TRUE(events->seen.empty());
    EXPECT_TRUE(FakeTavi::sent().empty());
    EXPECT_TRUE(FakeTavi::monitoredPids().empty()) << "the monitor ends with the reject";
    EXPECT_TRUE(traces.contains(TL_ERROR, "Received message: IEPCSI_INIT_REJ"));
}

TEST_F(IepcsiClientIfTest, ServerDownRestartsDiscoveryWithOwnConnectionReference) {
    connect();
    FakeTavi::clearSent();
    ASSERT_TRUE(FakeTavi::locatedNames().empty());

    // The monitor hands back the notice armed at server up: 12 bytes carrying the references of then.
    ASSERT_EQ(1u, FakeTavi::fireMonitor(SERVER));
    ASSERT_EQ(1u, deliverAll());
    EXPECT_EQ(AbstractClientIf::WAIT_FOR_SERVER, client()->getState());
    EXPECT_EQ(1u, client()->getConnectionReference());
    EXPECT_EQ(0u, client()->getAttRef());
    EXPECT_EQ(std::vector<std::string>{"SERVER_DOWN_EVENT"},
              std::vector<std::string>{events->names().back()});
    EXPECT_EQ(std::vector<std::string>{"iepcsi-server"}, FakeTavi::locatedNames());
    EXPECT_TRUE(traces.contains(TL_ENTER, "ServerDown prim: "));

    // A new server restarts the handshake with the own references.
    const uint32_t NEW_SERVER = 0x4004;
    ASSERT_EQ(1u, FakeTavi::fireLocate(SERVER_NAME, NEW_SERVER));
    ASSERT_EQ(1u, deliverAll());
    const auto init = sentWith(IepcsiNo::INIT_SERVICE_REQ);
    ASSERT_EQ(1u, init.size());
    EXPECT_EQ(NEW_SERVER, init[0].to);
    EXPECT_EQ(1u, be32Of(init[0], 8));
    EXPECT_EQ(std::vector<uint32_t>{NEW_SERVER}, FakeTavi::monitoredPids());
    ASSERT_EQ(1u, deliver(NEW_SERVER, Bytes(IepcsiNo::INIT_CFM, 16).refs(1, 0x990).be32(12, 1)));
    EXPECT_EQ(AbstractClientIf::INITIATED, client()->getState());
    EXPECT_EQ(0x990u, be32Of(sentWith(IepcsiNo::GET_ETH_PORT_SUPPORT_REQ).back(), 8));
}

TEST_F(IepcsiClientIfTest, ServerDownNoticeCarriesTheReferencesAtServerUp) {
    ASSERT_EQ(1u, FakeTavi::fireLocate(SERVER_NAME, SERVER));
    deliverAll();
    FakeTavi::clearSent();
    // Fire the monitor and look at the notice before it is dispatched.
    ASSERT_EQ(1u, FakeTavi::fireMonitor(SERVER));
    void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER);
    ASSERT_NE(nullptr, msg);
    const auto* b = static_cast<const uint8_t*>(msg);
    EXPECT_EQ((Bytes(IepcsiNo::SERVER_DOWN_IND, 12).refs(1, 1).get()),
              std::vector<uint8_t>(b, b + tavi_size(msg)));
    EXPECT_EQ(SERVER, tavi_sender(msg));
    tavi_free(&msg);
}

TEST_F(IepcsiClientIfTest, ServiceMessagesRaiseTheirEventsWithThePrimitiveReadable) {
    connect();
    struct {
        std::vector<uint8_t> bytes;
        const char* event;
        uint32_t procedureReference;
    } const cases[] = {
        {portSupportCfm(1, SERVER_CONNECTION, {{4, "A"}, {4, "B"}}), "GET_ETH_PORT_SUPPORT_CFM_EVENT", 1},
        {Bytes(IepcsiNo::SUBSCRIBE_ETH_PORT_STATUS_CFM, 16).refs(7, SERVER_CONNECTION).be32(12, 0x31),
         "SUBSCRIBE_PORT_STATUS_CFM_EVENT", 7},
        {Bytes(IepcsiNo::ETH_PORT_STATUS_IND, 40).refs(8, SERVER_CONNECTION).be32(12, 1).be32(16, 1),
         "ETH_PORT_STATUS_IND_EVENT", 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.event);
        events->seen.clear();
        ASSERT_EQ(1u, deliver(SERVER, c.bytes));
        ASSERT_EQ(1u, events->seen.size());
        EXPECT_EQ(c.event, events->seen[0].event);
        EXPECT_EQ(c.procedureReference, events->seen[0].procedureReference) << "read while the listeners run";
    }
    EXPECT_EQ(nullptr, client()->getCurrentPrimitive()) << "cleared once the handlers are done";
}

TEST_F(IepcsiClientIfTest, TypedAccessToTheCurrentPrimitive) {
    connect();
    struct Probe : Listener<ServiceHandler::GET_ETH_PORT_SUPPORT_CFM_EVENT> {
        explicit Probe(ServiceHandler* h) : handler(h) { startListening(); }
        void onEvent(ServiceHandler::GET_ETH_PORT_SUPPORT_CFM_EVENT&) override {
            for (const auto& record :
                 handler->currentPrimitiveAs<Iepcsi::GetEthPortSupportCfm>()->getPortRecords())
                names.push_back(record.portName);
        }
        ServiceHandler* handler;
        std::vector<std::string> names;
    } probe(handler);
    deliver(SERVER, portSupportCfm(1, SERVER_CONNECTION, {{4, "TN_A"}, {8, "TN_B"}}));
    EXPECT_EQ((std::vector<std::string>{"TN_A", "TN_B"}), probe.names);
    EXPECT_EQ(nullptr, handler->currentPrimitiveAs<Iepcsi::PortStatusInd>()) << "nothing is being handled";
}

TEST_F(IepcsiClientIfTest, MessagesWithoutHandlersAreOnlyTraced) {
    connect();
    events->seen.clear();
    FakeTavi::clearSent();
    const std::vector<uint8_t> messages[] = {
        Bytes(IepcsiNo::GET_ETH_PORT_SUPPORT_REJ, 16).refs(1, SERVER_CONNECTION).be32(12, 3),
        Bytes(IepcsiNo::SUBSCRIBE_ETH_PORT_STATUS_REJ, 16).refs(7, SERVER_CONNECTION).be32(12, 4),
        Bytes(IepcsiNo::UNSUBSCRIBE_ETH_PORT_STATUS_CFM, 12).refs(7, SERVER_CONNECTION),
    };
    for (const auto& bytes : messages)
        EXPECT_EQ(1u, deliver(SERVER, bytes));
    EXPECT_TRUE(events->seen.empty());
    EXPECT_TRUE(FakeTavi::sent().empty());
    EXPECT_EQ(2u, traces.count(TL_ERROR, "Received message: IEPCSI_"));
    EXPECT_TRUE(traces.contains(TL_REC_MSG, "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM with data"));
}

TEST_F(IepcsiClientIfTest, SkipTraceNamesPortsWithNeitherServedRole) {
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
    EXPECT_EQ((std::vector<std::string>{"Skip portName two, C2 false IDL false RDI false",
                                        "Skip portName three, C2 false IDL true RDI false",
                                        "Skip portName zero, C2 false IDL false RDI false"}),
              textsAt(traces, TL_INFO));
}

TEST_F(IepcsiClientIfTest, DetachSendsTermRequestWithTheConnectionReferences) {
    connect();
    FakeTavi::clearSent();
    client()->detachIf();
    EXPECT_EQ(AbstractClientIf::DETACHED, client()->getState());
    const auto term = sentWith(IepcsiNo::TERM_SERVICE_REQ);
    ASSERT_EQ(1u, term.size());
    EXPECT_EQ(SERVER, term[0].to);
    EXPECT_EQ((Bytes(IepcsiNo::TERM_SERVICE_REQ, 12).refs(1, SERVER_CONNECTION).get()), term[0].bytes);
}

// Every message of the interface: its kind, its name and its size (the port-support one with one record).
struct Message {
    uint32_t msgno;
    uint32_t kind;
    const char* name;
    size_t size;
};
const Message ALL_MESSAGES[] = {
    {IepcsiNo::SERVER_UP_IND, 1, "IEPCSI_SERVER_UP_IND", 12},
    {IepcsiNo::SERVER_DOWN_IND, 8, "IEPCSI_SERVER_DOWN_IND", 12},
    {IepcsiNo::INIT_SERVICE_REQ, 2, "IEPCSI_INIT_SERVICE_REQ", 24},
    {IepcsiNo::INIT_CFM, 3, "IEPCSI_INIT_CFM", 16},
    {IepcsiNo::INIT_REJ, 4, "IEPCSI_INIT_REJ", 16},
    {IepcsiNo::TERM_SERVICE_REQ, 6, "IEPCSI_TERM_SERVICE_REQ", 12},
    {IepcsiNo::TERM_SERVICE_CFM, 7, "IEPCSI_TERM_SERVICE_CFM", 12},
    {IepcsiNo::GET_ETH_PORT_SUPPORT_REQ, 10, "IEPCSI_GET_ETH_PORT_SUPPORT_REQ", 12},
    {IepcsiNo::GET_ETH_PORT_SUPPORT_CFM, 11, "IEPCSI_GET_ETH_PORT_SUPPORT_CFM", 64},
    {IepcsiNo::GET_ETH_PORT_SUPPORT_REJ, 12, "IEPCSI_GET_ETH_PORT_SUPPORT_REJ", 16},
    {IepcsiNo::SUBSCRIBE_ETH_PORT_STATUS_REQ, 13, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ", 32},
    {IepcsiNo::SUBSCRIBE_ETH_PORT_STATUS_CFM, 14, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM", 16},
    {IepcsiNo::SUBSCRIBE_ETH_PORT_STATUS_REJ, 15, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REJ", 16},
    {IepcsiNo::UNSUBSCRIBE_ETH_PORT_STATUS_REQ, 16, "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ", 16},
    {IepcsiNo::UNSUBSCRIBE_ETH_PORT_STATUS_CFM, 17, "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM", 12},
    {IepcsiNo::ETH_PORT_STATUS_IND, 18, "IEPCSI_ETH_PORT_STATUS_IND", 36},
};

TEST_F(IepcsiClientIfTest, EveryMessageOneByteShortIsDroppedWithOneWarning) {
    connect();
    for (const Message& m : ALL_MESSAGES) {
        SCOPED_TRACE(m.name);
        for (size_t size : {m.size - 1, m.size}) {
            events->seen.clear();
            traces.clear();
            FakeTavi::clearSent();
            Bytes message(m.msgno, m.size);
            message.refs(7, SERVER_CONNECTION).resize(size);
            if (m.msgno == IepcsiNo::GET_ETH_PORT_SUPPORT_CFM)
                message.be32(12, 1).resize(size);
            // Whole messages come from elsewhere, so that a whole server-down does not end the connection.
            EXPECT_EQ(1u, deliver(size < m.size ? SERVER : 0x5005, message)) << "claimed by the client";
            if (size == m.size) {
                // At its size a message passes the check: a check that asked more would drop it.
                EXPECT_EQ(0u, traces.count(TL_WARNING, "bytes received")) << traces.dump();
                continue;
            }
            EXPECT_EQ(1u, textsAt(traces, TL_WARNING).size()) << traces.dump();
            EXPECT_TRUE(traces.contains(TL_WARNING, std::string(m.name) + ", msgno") &&
                        traces.contains(TL_WARNING, std::to_string(size) + " bytes received, " +
                                                        std::to_string(m.size) + " needed"))
                << traces.dump();
            EXPECT_TRUE(events->seen.empty());
            EXPECT_TRUE(textsAt(traces, TL_REC_MSG).empty()) << "nothing unpacked";
            EXPECT_TRUE(FakeTavi::sent().empty());
            EXPECT_EQ(AbstractClientIf::INITIATED, client()->getState());
        }
    }
}

TEST_F(IepcsiClientIfTest, RequestsComingFromTheServerAreDroppedWithOneWarning) {
    connect();
    for (const Message& m : ALL_MESSAGES) {
        const bool request = m.kind == 2 || m.kind == 6 || m.kind == 10 || m.kind == 13 || m.kind == 16;
        SCOPED_TRACE(m.name);
        events->seen.clear();
        traces.clear();
        FakeTavi::clearSent();
        // From another mailbox, so that a whole server-down does not end the connection.
        EXPECT_EQ(1u, deliver(0x5005, Bytes(m.msgno, m.size).refs(7, SERVER_CONNECTION)));
        const std::string warning = "Dropped " + std::string(m.name) + " from " + std::to_string(0x5005) +
                                    ": only the client sends it";
        EXPECT_EQ(request ? 1u : 0u, traces.count(TL_WARNING, warning)) << traces.dump();
        if (!request)
            continue;
        EXPECT_EQ(1u, textsAt(traces, TL_WARNING).size()) << traces.dump();
        EXPECT_TRUE(events->seen.empty());
        EXPECT_TRUE(FakeTavi::sent().empty());
        EXPECT_EQ(AbstractClientIf::INITIATED, client()->getState());
    }
}

TEST_F(IepcsiClientIfTest, PortCountPastTheMessageIsDroppedBeforeAnyHandler) {
    connect();
    deliver(SERVER, portSupportCfm(1, SERVER_CONNECTION, {{4, "KEEP"}}));
    events->seen.clear();
    const uint32_t counts[] = {2, 1000, 0xFFFFFFFF};
    for (uint32_t count : counts) {
        SCOPED_TRACE(count);
        traces.clear();
        // Two records' worth of bytes at most, whatever the count says.
        Bytes message =
            Bytes(IepcsiNo::GET_ETH_PORT_SUPPORT_CFM, 64).refs(1, SERVER_CONNECTION).be32(12, count);
        EXPECT_EQ(1u, deliver(SERVER, message));
        EXPECT_EQ(1u, textsAt(traces, TL_WARNING).size());
        EXPECT_TRUE(traces.contains(TL_WARNING, "IEPCSI_GET_ETH_PORT_SUPPORT_CFM"));
        EXPECT_TRUE(events->seen.empty());
        EXPECT_TRUE(textsAt(traces, TL_INFO).empty()) << "no skip trace";
    }
    auto* cfm = static_cast<Iepcsi::GetEthPortSupportCfm*>(client()->getPrimitive(11));
    ASSERT_EQ(1u, cfm->getPortRecords().size()) << "the last good list stays";
    EXPECT_EQ("KEEP", cfm->getPortRecords()[0].portName);
}

TEST_F(IepcsiClientIfTest, ClientIdsAreTheLowestFreeAndComeBack) {
    // The fixture's client holds 1.
    auto second = std::make_unique<ClientIf>(FakeTavi::ownId());
    auto third = std::make_unique<ClientIf>(FakeTavi::ownId());
    EXPECT_EQ(2u, second->getOwnId());
    EXPECT_EQ(3u, third->getOwnId());
    second.reset();
    EXPECT_EQ(2u, ClientIf(FakeTavi::ownId()).getOwnId());
    EXPECT_EQ(2u, ClientIf(FakeTavi::ownId()).getConnectionReference());
}

TEST_F(IepcsiClientIfTest, RefusedRegistrationLeavesTheHandlerWithoutInterface) {
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
