#include "control/AbstractClientIf.h"

#include <gtest/gtest.h>

#include <vector>

#include "Macros.h"
#include "MessagingTestDoubles.h"
#include "TraceCapture.h"
#include "control/CastTo.h"
#include "control/Dispatcher.h"
#include "control/InitCfmPrimitive.h"
#include "control/InitRejPrimitive.h"
#include "control/InitReqPrimitive.h"
#include "control/InitSusPrimitive.h"
#include "kolm.h"

namespace Sync {
namespace {

using Test::FakeMailbox;
using Test::RecordingHandler;
using Test::TestClientIf;
using Test::TestPrimitive;
using Test::TraceCapture;
using Test::wireMessage;

using ClientIfState = AbstractClientIf::ClientIfState;
constexpr ClientIfState NOT_CONNECTED = AbstractClientIf::NOT_CONNECTED,
                        WAIT_FOR_SERVER = AbstractClientIf::WAIT_FOR_SERVER,
                        WAIT_FOR_INIT_CFM = AbstractClientIf::WAIT_FOR_INIT_CFM,
                        REVISION_NOT_SUPPORTED = AbstractClientIf::REVISION_NOT_SUPPORTED,
                        INITIATED = AbstractClientIf::INITIATED, DETACHED = AbstractClientIf::DETACHED;
constexpr uint32_t SERVER = 0x3003, STRANGER = 0x4004;
constexpr uint32_t INIT_REQ_NO = 0x5002, INIT_CFM_NO = 0x5003, INIT_REJ_NO = 0x5004, INIT_SUS_NO = 0x5005;
constexpr uint32_t TERM_REQ_NO = 0x5006, TERM_CFM_NO = 0x5007, SERVER_DOWN_NO = 0x5008, SERVICE_NO = 0x5010;

std::vector<uint8_t> nameService(uint32_t msgno, uint32_t id, uint64_t tag = 0) {
    return Test::nameServiceMessage(msgno, id, tag);
}

class AbstractClientIfTest : public ::testing::Test {
  protected:
    AbstractClientIfTest() {
        client.registerPrimitive(serverUp = new TestPrimitive(1, KOLM_SERVICE_ADDED_IND, 8));
        client.registerPrimitive(new InitReqPrimitive(INIT_REQ_NO, "T_INIT_REQ"));
        client.registerPrimitive(new InitCfmPrimitive(INIT_CFM_NO, "T_INIT_CFM"));
        client.registerPrimitive(new InitRejPrimitive(INIT_REJ_NO, "T_INIT_REJ"));
        client.registerPrimitive(new InitSusPrimitive(INIT_SUS_NO, "T_INIT_SUS"));
        client.registerPrimitive(new TestPrimitive(6, TERM_REQ_NO, 12));
        client.registerPrimitive(new TestPrimitive(7, TERM_CFM_NO, 12));
        client.registerPrimitive(new TestPrimitive(8, SERVER_DOWN_NO, 12));
        client.registerPrimitive(service = new TestPrimitive(10, SERVICE_NO, 16));
        for (uint32_t kind : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 10u})
            client.addListener(client.getPrimitive(kind), new RecordingHandler(&calls));
    }

    bool pump() {
        return mailbox.pump([this](void* msg) { return client.dispatchMsg(msg); });
    }
    bool deliver(uint32_t sender, const std::vector<uint8_t>& bytes) {
        return mailbox.deliver(sender, bytes, [this](void* msg) { return client.dispatchMsg(msg); });
    }
    // Subscribed and the server announced: the init request is out.
    void reachInitCfmWait(uint32_t server = SERVER) {
        client.attachIf();
        ASSERT_TRUE(pump());
        FakeTavi::serviceUp("test-service", "sync", server);
        ASSERT_TRUE(pump());
        ASSERT_EQ(WAIT_FOR_INIT_CFM, client.getState());
    }
    void reachInitiated() {
        reachInitCfmWait();
        ASSERT_TRUE(deliver(SERVER, wireMessage(INIT_CFM_NO, {0x10, 0x20, 1})));
        ASSERT_EQ(INITIATED, client.getState());
        FakeTavi::clearSent();
        calls.clear();
        client.hooked.clear();
    }

    FakeMailbox mailbox;
    TestClientIf client{FakeMailbox::OWN_ID};
    TestPrimitive* serverUp;
    TestPrimitive* service;
    std::vector<RecordingHandler::Call> calls;
};

struct RefusalCase {
    ClientIfState state;
    uint32_t msgno;  // 0: the server-up primitive, dispatched directly
    const char* error;
};

class ClientRefusalTest : public AbstractClientIfTest, public ::testing::WithParamInterface<RefusalCase> {};

// A primitive in a state that does not expect it changes nothing, reaches nobody and sends nothing.
// The refusals of a connected client are pinned on the bus; these are the other states.
TEST_P(ClientRefusalTest, RefusedWithItsTextAndNoEffect) {
    const RefusalCase& c = GetParam();
    client.setState(c.state);
    TraceCapture capture;
    if (c.msgno != 0)
        EXPECT_TRUE(deliver(SERVER, wireMessage(c.msgno, {1, 2, 3, 4, 5})));
    else
        client.dispatchPrimitive(serverUp, SERVER);
    EXPECT_EQ(1u, capture.count(TL_ERROR, c.error)) << c.error << "\n" << capture.dump();
    EXPECT_EQ(c.state, client.getState()) << c.error;
    EXPECT_TRUE(calls.empty() && client.hooked.empty()) << c.error;
    EXPECT_TRUE(FakeTavi::sent().empty() && FakeTavi::monitoredPids().empty()) << c.error;
}

INSTANTIATE_TEST_SUITE_P(
    States, ClientRefusalTest,
    ::testing::Values(RefusalCase{WAIT_FOR_INIT_CFM, 0,
                                  "Coding error: Management primitive (1) received in wrong state (2)"},
                      RefusalCase{WAIT_FOR_SERVER, INIT_CFM_NO,
                                  "Coding error: Management primitive (3) received in wrong state (1)"},
                      RefusalCase{NOT_CONNECTED, INIT_SUS_NO,
                                  "Coding error: Management primitive (5) received in wrong state (0)"},
                      RefusalCase{WAIT_FOR_INIT_CFM, SERVICE_NO,
                                  "Coding error: Service primitive (10) received in wrong state (2)"},
                      RefusalCase{WAIT_FOR_SERVER, INIT_REQ_NO,
                                  "Coding error: Service primitive (2) received in wrong state (1)"},
                      RefusalCase{DETACHED, TERM_REQ_NO,
                                  "Coding error: Service primitive (6) received in wrong state (5)"}));

TEST_F(AbstractClientIfTest, ServerDownFromAnotherMailboxChangesNothingAndWritesNothing) {
    reachInitiated();
    TraceCapture capture;
    EXPECT_TRUE(deliver(STRANGER, wireMessage(SERVER_DOWN_NO, {0, 0})));
    EXPECT_EQ(INITIATED, client.getState());
    EXPECT_TRUE(calls.empty() && client.hooked.empty());
    for (uint32_t level : {TL_ERROR, TL_WARNING, TL_INFO, TL_STATE, TL_DEBUG})
        EXPECT_TRUE(capture.count(level, "") == 0) << capture.dump();
}

TEST_F(AbstractClientIfTest, RejectEndsTheMonitorAndNotSupportedKeepsServiceTrafficOff) {
    reachInitCfmWait();
    ASSERT_TRUE(deliver(SERVER, wireMessage(INIT_REJ_NO, {1, 2, 0xFFFFFFFE})));
    EXPECT_EQ(NOT_CONNECTED, client.getState());
    EXPECT_TRUE(FakeTavi::monitoredPids().empty());
    EXPECT_EQ(-2, castTo<InitRejPrimitive>(client.getPrimitive(4))->getReason());

    client.setState(WAIT_FOR_INIT_CFM);
    ASSERT_TRUE(deliver(SERVER, wireMessage(INIT_SUS_NO, {1, 2, 4})));
    EXPECT_EQ(REVISION_NOT_SUPPORTED, client.getState());
    FakeTavi::clearSent();
    TraceCapture capture;
    EXPECT_FALSE(client.sendServicePrimitive(service));
    EXPECT_TRUE(capture.contains(TL_DEBUG, "Pending initialization: Try to send primitive later (state: 3)"));
    EXPECT_TRUE(FakeTavi::sent().empty());
}

TEST_F(AbstractClientIfTest, DetachUnsubscribesAndTerminateConfirmEndsTheConnection) {
    reachInitiated();
    client.detachIf();
    EXPECT_EQ(DETACHED, client.getState());
    EXPECT_TRUE(FakeTavi::subscriptions().empty());
    ASSERT_TRUE(deliver(SERVER, wireMessage(TERM_CFM_NO, {0, 0})));
    EXPECT_EQ(NOT_CONNECTED, client.getState());
    EXPECT_TRUE(FakeTavi::monitoredPids().empty());
    EXPECT_EQ(std::vector<uint32_t>{7}, client.hooked);
}

TEST_F(AbstractClientIfTest, AServerInTheOwnMailboxIsNotMonitored) {
    reachInitCfmWait(FakeMailbox::OWN_ID);
    EXPECT_TRUE(FakeTavi::monitoredPids().empty());
    ASSERT_EQ(1u, FakeTavi::sent().size());
    EXPECT_EQ(FakeMailbox::OWN_ID, FakeTavi::sent().front().to);
}

TEST_F(AbstractClientIfTest, NameServiceMessagesOfAnotherSubscriptionOrAPeersSubscribeAnswerChangeNothing) {
    TestClientIf other(FakeMailbox::OWN_ID, "other-service");
    Dispatcher dispatcher;
    dispatcher.addInterface(1, &client);
    dispatcher.addInterface(2, &other);
    dispatcher.attachInterfaces();
    mailbox.pump([&](void* msg) { return dispatcher.dispatch(msg); });
    ASSERT_NE(0xFFFFFFFFu, other.getSubscriptionId());
    ASSERT_NE(client.getSubscriptionId(), other.getSubscriptionId());

    const uint32_t id = other.getSubscriptionId();
    EXPECT_FALSE(deliver(SERVER, nameService(KOLM_SUBSCRIBE_RSP, id, other.getTag())));
    EXPECT_FALSE(deliver(SERVER, nameService(KOLM_SERVICE_ADDED_IND, id)));
    EXPECT_FALSE(deliver(SERVER, nameService(KOLM_SERVICE_REMOVED_IND, id)));
    EXPECT_EQ(WAIT_FOR_SERVER, client.getState());
    EXPECT_TRUE(calls.empty());

    // Our own removed indication is taken and changes nothing: the monitor tells the loss.
    TraceCapture capture;
    EXPECT_TRUE(deliver(SERVER, nameService(KOLM_SERVICE_REMOVED_IND, client.getSubscriptionId())));
    EXPECT_TRUE(capture.contains(TL_REC_MSG, "Received: KOLM_SERVICE_REMOVED_IND for test-service"));
    EXPECT_EQ(WAIT_FOR_SERVER, client.getState());

    // The name service answers a subscription once: a peer's answer with our tag is dropped, also
    // when it claims to come from our own mailbox.
    const uint32_t ours = client.getSubscriptionId();
    EXPECT_TRUE(deliver(SERVER, nameService(KOLM_SUBSCRIBE_RSP, ours + 1, client.getTag())));
    EXPECT_TRUE(deliver(FakeMailbox::OWN_ID, nameService(KOLM_SUBSCRIBE_RSP, ours + 2, client.getTag())));
    EXPECT_EQ(2u, capture.count(TL_WARNING, "Dropped KOLM_SUBSCRIBE_RSP for test-service"));
    EXPECT_EQ(ours, client.getSubscriptionId());
}

TEST_F(AbstractClientIfTest, ShortNameServiceMessagesAreClaimedWithOneWarning) {
    client.attachIf();
    ASSERT_TRUE(pump());
    std::vector<uint8_t> shortRsp =
        nameService(KOLM_SUBSCRIBE_RSP, client.getSubscriptionId(), client.getTag());
    shortRsp.resize(15);
    std::vector<uint8_t> shortAdded = nameService(KOLM_SERVICE_ADDED_IND, client.getSubscriptionId());
    shortAdded.resize(7);
    TraceCapture capture;
    EXPECT_TRUE(deliver(SERVER, shortRsp));
    EXPECT_TRUE(deliver(SERVER, shortAdded));
    EXPECT_EQ(
        1u, capture.count(TL_WARNING, "KOLM_SUBSCRIBE_RSP, msgno 26214400 [0x01900000]: 15 bytes received"));
    EXPECT_EQ(1u, capture.count(TL_WARNING,
                                "KOLM_SERVICE_ADDED_IND, msgno 26214401 [0x01900001]: 7 bytes received"));
    EXPECT_EQ(2u, capture.count(TL_WARNING, ""));
    EXPECT_EQ(WAIT_FOR_SERVER, client.getState());
    EXPECT_TRUE(calls.empty());
}

}  // namespace
}  // namespace Sync
