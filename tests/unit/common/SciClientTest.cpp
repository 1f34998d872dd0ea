#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "Macros.h"
#include "SciServerMessages.h"
#include "SciTestSupport.h"
#include "common_fwk_classes/sci/ClientIf.h"
#include "common_fwk_classes/sci/ClientIfIdPool.h"
#include "common_fwk_classes/sci/Primitives.h"
#include "eventHandling/Listener.h"
#include "tavi.h"

namespace Sync {
namespace Test {
namespace {

using Sci::ClientEntity;
using Sci::ClientServiceHandler;
using Names = std::vector<std::string>;

class SciClientTest : public SciClientFixture {};

TEST_F(SciClientTest, ConnectionRequestAndConfirmation) {
    ASSERT_EQ(1u, FakeTavi::subscriptions().size());
    EXPECT_EQ("sci", FakeTavi::subscriptions()[0].service);
    EXPECT_EQ("sync", FakeTavi::subscriptions()[0].domain);
    EXPECT_EQ(AbstractClientIf::WAIT_FOR_SERVER, client()->getState());

    // Count one, revision one, and the interface id as both references and entity id.
    serverUp();
    const auto sent = takeSentToServer();
    ASSERT_EQ(1u, sent.size());
    const uint32_t id = client()->getInterfaceId();
    EXPECT_EQ(1u, id);
    EXPECT_EQ(Bytes(0x9B902, 28).header(id, id, 1).be32(16, 1).get(), sent[0]);
    EXPECT_EQ(std::vector<uint32_t>{SERVER}, FakeTavi::monitoredPids());

    // The confirmation raises its event, then the connected notification.
    ASSERT_EQ(1u, deliver(Bytes(0x9B903, 16).header(SERVER_PROCEDURE, SERVER_CONNECTION, 1)));
    EXPECT_EQ((Names{"CONNECTION_ESTABLISHMENT_CFM_EVENT", "CLIENT_NOTIFY_EVENT(1)"}), events->names);
    for (IEntity* source : events->sources)
        EXPECT_EQ(static_cast<IEntity*>(handler), source);
    EXPECT_EQ(SERVER_PROCEDURE, client()->getProcedureReference());
    EXPECT_EQ(SERVER_CONNECTION, client()->getConnectionReference());
}

// What a rejection does to the connection is the framework's; the sync-control client adds its event.
TEST_F(SciClientTest, RejectionRaisesOnlyItsEvent) {
    serverUp();
    ASSERT_EQ(1u, deliver(Bytes(0x9B904, 16).header(1, 1, 5)));
    EXPECT_EQ(Names{"CONNECTION_ESTABLISHMENT_REJ_EVENT"}, events->names);
}

// One request event of an entity and the message it must produce.
struct RequestCase {
    const char* name;
    std::function<void(SciTestEntity&)> raise;
    uint32_t msgno;
    size_t size;
    std::vector<uint8_t> payload = {};  // the bytes from offset 16 that must be there
};

template <class E>
std::function<void(SciTestEntity&)> raiseEvent() {
    return [](SciTestEntity& entity) { entity.sendEvent(E()); };
}

// A request without payload: the bare 16-byte header.
template <class E>
RequestCase plain(const char* name, uint32_t msgno) {
    return {name, raiseEvent<E>(), msgno, 16};
}
#define PLAIN(EVENT, MSGNO) plain<ClientEntity::SCIENTITY_##EVENT##_TO_SERVER_EVENT>(#EVENT, MSGNO)

TEST_F(SciClientTest, EveryRequestEventSendsItsMessageForTheEntity) {
    using E = ClientEntity;
    const std::vector<RequestCase> cases = {
        PLAIN(RADIO_CLOCK_STATE_SUBSCRIBE, 0x9B905),
        PLAIN(CANDIDATED_REFERENCE_SUBSCRIBE, 0x9B90B),
        PLAIN(SELECTED_REFERENCE_SUBSCRIBE, 0x9B911),
        PLAIN(FIXED_POSITION_STATUS_SUBSCRIBE, 0x9B917),
        PLAIN(REC_DATA_SUBSCRIBE, 0x9B91D),
        PLAIN(TELECOM_STANDARD_SUBSCRIBE, 0x9B927),
        PLAIN(BFN_JUMP_ALERT_SUBSCRIBE, 0x9B92D),
        PLAIN(LOOSE_TIME_STATE_SUBSCRIBE, 0x9B933),
        PLAIN(LOOSE_TIME_DIFF_SUBSCRIBE, 0x9B939),
        PLAIN(DEGRADED_STATUS_SUBSCRIBE, 0x9B93F),
        PLAIN(SEMI_LOOSE_SUBSCRIBE, 0x9B949),
        PLAIN(TIME_ERROR_SUBSCRIBE, 0x9B94D),
        PLAIN(FRU_DATA_SUBSCRIBE, 0x9B955),
        PLAIN(CANDIDATE_ASSIST_REF_SUBSCRIBE, 0x9B959),
        PLAIN(FH_NODE_PRIO_SUBSCRIBE, 0x9B95D),
        PLAIN(RECR_CONFIG_SUBSCRIBE, 0x9B961),
        PLAIN(OVERRIDE_PTP_DATA_SUBSCRIBE, 0x9B965),
        PLAIN(RADIO_CLOCK_STATE_UNSUBSCRIBE, 0x9B908),
        PLAIN(CANDIDATED_REFERENCE_UNSUBSCRIBE, 0x9B90E),
        PLAIN(SELECTED_REFERENCE_UNSUBSCRIBE, 0x9B914),
        PLAIN(FIXED_POSITION_STATUS_UNSUBSCRIBE, 0x9B91A),
        PLAIN(REC_DATA_UNSUBSCRIBE, 0x9B920),
        PLAIN(TELECOM_STANDARD_UNSUBSCRIBE, 0x9B92A),
        PLAIN(BFN_JUMP_ALERT_UNSUBSCRIBE, 0x9B930),
        PLAIN(LOOSE_TIME_STATE_UNSUBSCRIBE, 0x9B936),
        PLAIN(LOOSE_TIME_DIFF_UNSUBSCRIBE, 0x9B93C),
        PLAIN(DEGRADED_STATUS_UNSUBSCRIBE, 0x9B942),
        PLAIN(TIME_ERROR_UNSUBSCRIBE, 0x9B950),
        {"PTP clock type",
         [](SciTestEntity& entity) {
             E::SCIENTITY_PTP_CLOCK_TYPE_SUBSCRIBE_TO_SERVER_EVENT event;
             event.ptpClockType = 2;
             entity.sendEvent(event);
         },
         0x9B953,
         20,
         {2}},
        {"port scan",
         [](SciTestEntity& entity) {
             E::SCIENTITY_PORT_SCAN_REQ_EVENT event;
             event.candidateList = {"c1", "c2"};
             entity.sendEvent(event);
         },
         0x9B945,
         532,
         {2, 'c', '1'}},
        {"NGS BFN align",
         [](SciTestEntity& entity) {
             E::SCIENTITY_NGS_BFN_ALIGN_REQ_EVENT event;
             event.selectedSoccLdn = "socc";
             entity.sendEvent(event);
         },
         0x9B947,
         272,
         {'s', 'o', 'c', 'c', 0}},
        {"passive monitoring",
         [](SciTestEntity& entity) {
             E::SCIENTITY_PASSIVE_MONITORING_EVENT event;
             event.passiveMonitoring = 1;
             entity.sendEvent(event);
         },
         0x9B969,
         20,
         {1}},
    };

    connect();
    takeSentToServer();
    SciTestEntity entity(9);
    for (const RequestCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.raise(entity);
        const auto sent = takeSentToServer();
        ASSERT_EQ(1u, sent.size());
        EXPECT_EQ(c.msgno, msgnoOf(sent[0]));
        EXPECT_EQ(c.size, sent[0].size());
        EXPECT_EQ(9u, be32At(sent[0], 4));
        EXPECT_EQ(SERVER_CONNECTION, be32At(sent[0], 8));
        EXPECT_EQ(9u, be32At(sent[0], 12));
        EXPECT_EQ(c.payload,
                  std::vector<uint8_t>(sent[0].begin() + 16, sent[0].begin() + 16 + c.payload.size()));
    }
    EXPECT_EQ(0u, traces.count(TL_ERROR, "")) << traces.dump();
}

TEST_F(SciClientTest, OnlyTheLastSubscriberCanUnsubscribe) {
    connect();
    SciTestEntity first(4);
    SciTestEntity second(5);
    first.sendEvent(ClientEntity::SCIENTITY_REC_DATA_SUBSCRIBE_TO_SERVER_EVENT());
    second.sendEvent(ClientEntity::SCIENTITY_TELECOM_STANDARD_SUBSCRIBE_TO_SERVER_EVENT());
    takeSentToServer();

    first.sendEvent(ClientEntity::SCIENTITY_REC_DATA_UNSUBSCRIBE_TO_SERVER_EVENT());
    EXPECT_TRUE(takeSentToServer().empty());

    second.sendEvent(ClientEntity::SCIENTITY_REC_DATA_UNSUBSCRIBE_TO_SERVER_EVENT());
    const auto sent = takeSentToServer();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(Bytes(0x9B920, 16).header(5, SERVER_CONNECTION, 5).get(), sent[0]);
}

// From something that is not a client entity, and through a handler that has no interface: nothing
// goes out, and each says why. What a request before the connection meets is the framework's.
TEST_F(SciClientTest, RequestsThatCannotGoOutAreTraced) {
    connect();
    takeSentToServer();
    SciTestEntity entity(1);
    struct Stranger : IEntity {
    } stranger;
    ClientEntity::SCIENTITY_PORT_SCAN_REQ_EVENT scan;
    scan.candidateList = {"c"};
    stranger.sendEvent(scan);
    stranger.sendEvent(ClientEntity::SCIENTITY_PASSIVE_MONITORING_EVENT());
    EXPECT_TRUE(takeSentToServer().empty());
    EXPECT_EQ(2u, traces.count(TL_ERROR, "Could not get source of SCI event.")) << traces.dump();

    // A second handler, never initialised, reacts to the same request events.
    ClientServiceHandler idle(HANDLER_ID + 10, controller.get());
    entity.sendEvent(ClientEntity::SCIENTITY_FRU_DATA_SUBSCRIBE_TO_SERVER_EVENT());
    EXPECT_EQ(1u, traces.count(TL_ERROR, "Could not get ClientIf object")) << traces.dump();
}

// What a received message raises: an indication or a response its own event, a subscription answer
// nothing, unless named here.
const std::map<std::string, Names> UNLIKE_ITS_NAME = {
    {"SCI_SEMI_LOOSE_MODE_IND", {}},
    {"SCI_TIME_ERROR_IND", {"TIME_ERROR_IND_EVENT", "CLIENT_DATA_EVENT"}},
    {"SCI_CANDIDATE_ASSIST_REF_IND", {"CLIENT_DATA_EVENT"}},
    {"SCI_FH_NODE_PRIO_IND", {"CLIENT_DATA_EVENT"}},
    {"SCI_OVERRIDE_PTP_DATA_IND", {"CLIENT_DATA_EVENT"}},
    {"SCI_FIXED_POSITION_STATUS_SUBSCRIBE_CFM", {"FIXED_POSITION_STATUS_SUBSCRIBED_EVENT"}},
    {"SCI_FRU_DATA_SUBSCRIBE_CFM", {"FRU_DATA_SUBSCRIBED_EVENT"}},
    {"SCI_RECR_CONFIG_SUBSCRIBE_CFM", {"RECR_CONFIG_SUBSCRIBED_EVENT"}},
};
// Two messages the trace names otherwise.
const std::map<std::string, std::string> TRACED_AS = {{"SCI_CANDIDATE_ASSIST_REF_IND", "SCI_ASSIST_INFO_IND"},
                                                      {"SCI_RECR_CONFIG_IND", "SCI_RECR_QL_CONFIG_IND"}};

Names eventsOf(const std::string& name) {
    const auto unlike = UNLIKE_ITS_NAME.find(name);
    if (unlike != UNLIKE_ITS_NAME.end())
        return unlike->second;
    const std::string suffix = name.substr(name.size() - 4);
    return suffix == "_IND" || suffix == "_RSP" ? Names{name.substr(4) + "_EVENT"} : Names{};
}

TEST_F(SciClientTest, EveryReceivedMessageRaisesItsEventsAndNoOther) {
    connect();
    for (const MessageKind& m : sciServerMessages()) {
        SCOPED_TRACE(m.name);
        events->names.clear();
        traces.clear();
        EXPECT_EQ(1u, deliver(Bytes(m.msgno, m.size).header(1, SERVER_CONNECTION, 1)));
        EXPECT_EQ(eventsOf(m.name), events->names);
        const auto tracedAs = TRACED_AS.find(m.name);
        EXPECT_TRUE(traces.contains(TL_REC_MSG, tracedAs != TRACED_AS.end() ? tracedAs->second : m.name))
            << traces.dump();
        EXPECT_EQ(0u, traces.count(TL_ERROR, "")) << "a field outside the message\n" << traces.dump();
    }
}

// Interface ids come from one pool for every sync-control client of the process.
TEST(SciInterfaceIdTest, LowestFreeIdIsTakenAndGivenBackAndNoneIsLeftAfter256) {
    FakeTavi::reset();
    std::vector<std::unique_ptr<Sci::ClientIf>> clients;
    for (uint32_t i = 0; i < Sci::ClientIfIdPool::SIZE; ++i)
        clients.push_back(std::make_unique<Sci::ClientIf>(0x1001));
    EXPECT_EQ(1u, clients[0]->getInterfaceId());
    EXPECT_EQ(256u, clients.back()->getInterfaceId());
    EXPECT_EQ(0u, Sci::ClientIf(0x1001).getInterfaceId());

    clients[3].reset();
    clients[1].reset();
    Sci::ClientIf again(0x1001);
    EXPECT_EQ(2u, again.getInterfaceId());
    EXPECT_EQ(2u, again.getConnectionData().connectionWord2);
    clients.clear();
    FakeTavi::reset();
}

}  // namespace
}  // namespace Test
}  // namespace Sync
