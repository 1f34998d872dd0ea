#include "control/AbstractServerIf.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Macros.h"
#include "MessagingTestDoubles.h"
#include "TraceCapture.h"
#include "control/AbstractServiceClient.h"
#include "control/InitCfmPrimitive.h"
#include "control/InitRejPrimitive.h"
#include "control/InitReqPrimitive.h"
#include "control/InitSusPrimitive.h"

namespace Sync {
namespace {

using Test::FakeMailbox;
using Test::RecordingHandler;
using Test::TestPrimitive;
using Test::TestServerIf;
using Test::TraceCapture;
using Test::wireMessage;

constexpr uint32_t CLIENT_A = 0x2001, CLIENT_B = 0x2002, STRANGER = 0x4004;
constexpr uint32_t INIT_REQ_NO = 0x6002, INIT_CFM_NO = 0x6003, INIT_REJ_NO = 0x6004, INIT_SUS_NO = 0x6005;
constexpr uint32_t TERM_REQ_NO = 0x6006, TERM_CFM_NO = 0x6007, CLIENT_DOWN_NO = 0x6008, SERVICE_NO = 0x6010;

TEST(AbstractServerIfRevisionTest, TheClientsOrderDecidesAndZeroNeverMatches) {
    struct Case {
        std::vector<uint32_t> supported;
        uint32_t first, second, third;
        uint32_t selected;
    } cases[] = {
        {{2, 1}, 3, 1, 2, 1}, {{2, 1}, 2, 1, 0, 2}, {{2, 1}, 0, 2, 1, 2}, {{2, 1}, 0, 0, 0, 0},
        {{2, 1}, 3, 4, 5, 0}, {{1}, 1, 1, 1, 1},    {{}, 1, 2, 3, 0},     {{0, 7}, 0, 0, 7, 7},
    };
    for (const Case& c : cases) {
        TestServerIf server(c.supported, FakeMailbox::OWN_ID, 1);
        EXPECT_EQ(c.selected, server.selectRevision(c.first, c.second, c.third))
            << c.first << "," << c.second << "," << c.third;
    }
}

class AbstractServerIfTest : public ::testing::Test {
  protected:
    void build(uint32_t maxClients, bool withNotSupported = true) {
        server = std::make_unique<TestServerIf>(std::vector<uint32_t>{2, 1}, FakeMailbox::OWN_ID, maxClients);
        server->registerPrimitive(new InitReqPrimitive(INIT_REQ_NO, "S_INIT_REQ"));
        server->registerPrimitive(new InitCfmPrimitive(INIT_CFM_NO, "S_INIT_CFM"));
        server->registerPrimitive(new InitRejPrimitive(INIT_REJ_NO, "S_INIT_REJ"));
        if (withNotSupported)
            server->registerPrimitive(new InitSusPrimitive(INIT_SUS_NO, "S_INIT_SUS"));
        server->registerPrimitive(new TestPrimitive(6, TERM_REQ_NO, 12));
        server->registerPrimitive(new TestPrimitive(7, TERM_CFM_NO, 12));
        server->registerPrimitive(new TestPrimitive(8, CLIENT_DOWN_NO, 12));
        server->registerPrimitive(service = new TestPrimitive(10, SERVICE_NO, 16));
        for (uint32_t kind : {2u, 6u, 8u, 10u})
            server->addListener(server->getPrimitive(kind), new RecordingHandler(&calls));
        server->attachIf();
    }
    bool pump() {
        return mailbox.pump([this](void* msg) { return server->dispatchMsg(msg); });
    }
    bool deliver(uint32_t sender, const std::vector<uint8_t>& bytes) {
        return mailbox.deliver(sender, bytes, [this](void* msg) { return server->dispatchMsg(msg); });
    }
    void connect(uint32_t pid, uint32_t procRef, uint32_t connRef) {
        ASSERT_TRUE(deliver(pid, wireMessage(INIT_REQ_NO, {procRef, connRef, 1, 1, 1})));
        FakeTavi::clearSent();
        calls.clear();
    }
    std::vector<uint32_t> sentTo() const {
        std::vector<uint32_t> pids;
        for (const FakeTavi::SentMessage& sent : FakeTavi::sent())
            pids.push_back(sent.to);
        return pids;
    }

    FakeMailbox mailbox;
    std::unique_ptr<TestServerIf> server;
    TestPrimitive* service = nullptr;
    std::vector<RecordingHandler::Call> calls;
};

TEST_F(AbstractServerIfTest, AcceptedClientIsRecordedMonitoredAndConfirmed) {
    build(1);
    ASSERT_TRUE(deliver(CLIENT_A, wireMessage(INIT_REQ_NO, {0x11, 0x22, 3, 1, 2})));
    ASSERT_EQ(1u, server->getClients().size());
    const AbstractServiceClient* client = server->getClients().front();
    EXPECT_EQ(1u, client->getSelectedPv());
    EXPECT_EQ(CLIENT_A, client->getClientPid());
    EXPECT_EQ(0x11u, client->getProcedureReference());
    EXPECT_EQ(0x22u, client->getConnectionReference());
    EXPECT_EQ(std::vector<uint32_t>{CLIENT_A}, FakeTavi::monitoredPids());
    ASSERT_EQ(1u, FakeTavi::sent().size());
    EXPECT_EQ(CLIENT_A, FakeTavi::sent().front().to);
    EXPECT_EQ(wireMessage(INIT_CFM_NO, {0x11, 0x22, 1}), FakeTavi::sent().front().bytes);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(2u, calls.front().primitive->getPrimitiveId());

    // The armed monitor message carries the client's references.
    ASSERT_EQ(1u, FakeTavi::fireMonitor(CLIENT_A));
    ASSERT_TRUE(pump());
    EXPECT_EQ(0x11u, server->getPrimitive(8)->getProcedureReference());
    EXPECT_EQ(0x22u, server->getPrimitive(8)->getConnectionReference());
}

struct RejectCase {
    uint32_t maxClients;
    bool withNotSupported;
    bool refuseRecords;
    uint32_t wish;                // all three wishes
    std::vector<uint8_t> answer;  // to CLIENT_B, whose request carries references 0x55, 0x66
};

class ServerRejectTest : public AbstractServerIfTest, public ::testing::WithParamInterface<RejectCase> {};

// With CLIENT_A connected, CLIENT_B's request is answered as the case says and leaves no record,
// no monitor and no listener call behind.
TEST_P(ServerRejectTest, RefusedRequestIsAnsweredAndForgotten) {
    const RejectCase& c = GetParam();
    build(c.maxClients, c.withNotSupported);
    connect(CLIENT_A, 1, 2);
    server->refuseClients = c.refuseRecords;
    ASSERT_TRUE(deliver(CLIENT_B, wireMessage(INIT_REQ_NO, {0x55, 0x66, c.wish, c.wish, c.wish})));
    EXPECT_EQ(std::vector<uint32_t>{CLIENT_B}, sentTo());
    EXPECT_EQ(c.answer, FakeTavi::sent().front().bytes);
    EXPECT_EQ(1u, server->getClients().size());
    EXPECT_EQ(std::vector<uint32_t>{CLIENT_A}, FakeTavi::monitoredPids());
    EXPECT_TRUE(calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Causes, ServerRejectTest,
    ::testing::Values(RejectCase{1, true, false, 1, wireMessage(INIT_REJ_NO, {0x55, 0x66, 1})},
                      RejectCase{2, true, true, 2, wireMessage(INIT_REJ_NO, {0x55, 0x66, 1})},
                      RejectCase{2, true, false, 0, wireMessage(INIT_SUS_NO, {0x55, 0x66, 2})},
                      RejectCase{2, true, false, 4, wireMessage(INIT_SUS_NO, {0x55, 0x66, 2})},
                      RejectCase{2, false, false, 4, wireMessage(INIT_REJ_NO, {0x55, 0x66, 2})}));

class ServerEndTest : public AbstractServerIfTest, public ::testing::WithParamInterface<bool> {};

// A terminate request (confirmed to its sender) or the client's death ends that client's monitor and
// deletes its record only.
TEST_P(ServerEndTest, TerminateRequestOrClientDownDeletesTheRecordOfThatClientOnly) {
    const bool terminate = GetParam();
    build(2);
    connect(CLIENT_A, 0x11, 0x22);
    connect(CLIENT_B, 0x77, 0x88);
    if (terminate) {
        ASSERT_TRUE(deliver(CLIENT_A, wireMessage(TERM_REQ_NO, {0x33, 0x22})));
        EXPECT_EQ(std::vector<uint32_t>{CLIENT_A}, sentTo());
        EXPECT_EQ(wireMessage(TERM_CFM_NO, {0x33, 0x22}), FakeTavi::sent().front().bytes);
    } else {
        ASSERT_EQ(1u, FakeTavi::fireMonitor(CLIENT_A));
        ASSERT_TRUE(pump());
    }
    EXPECT_EQ(std::vector<uint32_t>{CLIENT_B}, FakeTavi::monitoredPids());
    ASSERT_EQ(1u, server->deletions.size());
    EXPECT_EQ(CLIENT_A, server->deletions[0].clientPid);
    EXPECT_EQ(terminate ? AbstractServerIf::REASON_TERMINATED : AbstractServerIf::REASON_CLIENT_DOWN,
              server->deletions[0].reason);
    ASSERT_EQ(1u, server->getClients().size());
    EXPECT_EQ(CLIENT_B, server->getClients().front()->getClientPid());
    EXPECT_EQ(1u, calls.size());
}

INSTANTIATE_TEST_SUITE_P(Ends, ServerEndTest, ::testing::Bool());

TEST_F(AbstractServerIfTest, PrimitivesFromUnknownSendersReachNobody) {
    build(1);
    connect(CLIENT_A, 1, 2);
    TraceCapture capture;
    for (uint32_t msgno : {SERVICE_NO, TERM_REQ_NO, CLIENT_DOWN_NO})
        EXPECT_TRUE(deliver(STRANGER, wireMessage(msgno, {9, 9, 9})));
    EXPECT_EQ(3u, capture.count(TL_INFO, "No client related to primitive found. Already removed."))
        << capture.dump();
    EXPECT_TRUE(calls.empty() && server->deletions.empty());
    EXPECT_EQ(1u, server->getClients().size());
}

TEST_F(AbstractServerIfTest, ServicePrimitivesFromAClientReachListenersUnlessTerminating) {
    build(1);
    connect(CLIENT_A, 1, 2);
    ASSERT_TRUE(deliver(CLIENT_A, wireMessage(SERVICE_NO, {0x44, 2, 5})));
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(service, calls.front().primitive);
    EXPECT_EQ(0x44u, server->getClients().front()->getProcedureReference());

    server->setState(AbstractServerIf::TERMINATING);
    TraceCapture capture;
    ASSERT_TRUE(deliver(CLIENT_A, wireMessage(SERVICE_NO, {0x45, 2, 5})));
    EXPECT_TRUE(capture.contains(TL_DEBUG, "Service primitive (10) received in wrong terminating state (2)"));
    EXPECT_EQ(1u, calls.size());
    EXPECT_EQ(0x44u, server->getClients().front()->getProcedureReference());
}

TEST_F(AbstractServerIfTest, SendingNeedsAPrimitiveAClientAndTheUpState) {
    build(2);
    TraceCapture capture;
    EXPECT_TRUE(server->sendServicePrimitive(service));  // broadcast to nobody
    EXPECT_TRUE(capture.count(TL_ERROR, "") == 0) << capture.dump();
    EXPECT_TRUE(FakeTavi::sent().empty());

    connect(CLIENT_A, 1, 2);
    connect(CLIENT_B, 3, 4);
    EXPECT_FALSE(server->sendServicePrimitive(service, static_cast<AbstractServiceClient*>(nullptr)));
    EXPECT_TRUE(capture.contains(TL_ERROR, "Coding error: Received null pointer client!"));
    EXPECT_TRUE(server->sendServicePrimitive(service));
    EXPECT_TRUE(server->sendServicePrimitive(service, server->getClients().back()));
    EXPECT_TRUE(server->sendServicePrimitive(service, STRANGER));
    EXPECT_EQ((std::vector<uint32_t>{CLIENT_A, CLIENT_B, CLIENT_B, STRANGER}), sentTo());

    server->detachIf();
    FakeTavi::clearSent();
    EXPECT_FALSE(server->sendServicePrimitive(service));
    EXPECT_FALSE(server->sendServicePrimitive(service, CLIENT_A));
    EXPECT_FALSE(server->sendServicePrimitive(service, server->getClients().front()));
    EXPECT_EQ(3u, capture.count(TL_ERROR, "Coding error: Try to send primitive in wrong state (0)"));
    EXPECT_TRUE(FakeTavi::sent().empty());
}

}  // namespace
}  // namespace Sync
