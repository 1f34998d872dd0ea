#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "HandlerTest.h"
#include "Macros.h"
#include "SyncEthOutputTestFixture.h"
#include "TraceCapture.h"
#include "WireBytes.h"
#include "control/BasePrimitive.h"
#include "control/secli/ServerIf.h"
#include "control/secli/ServiceHandler.h"

namespace Sync {
namespace EthCentral {
namespace Secli {
namespace {

using Test::be32At;
using Test::Bytes;
using Test::TraceCapture;

constexpr uint32_t HANDLER_ID = 2;
constexpr uint32_t CLIENT = 0x5000;
// The connectionReference a client puts into its connection request.
constexpr uint32_t CLIENT_CONNECTION = 42;

using H = ServiceHandler;
class SecliServerIfTest : public Test::HandlerTest<ServiceHandler> {
  protected:
    ServiceHandler* createHandler() override { return new ServiceHandler(HANDLER_ID, controller.get()); }

    void SetUp() override {
        HandlerTest::SetUp();
        serverIf = handler->getServerIf();
        ASSERT_NE(nullptr, serverIf);
        events->listenAll<H::SECLI_CLIENT_UP_EVENT, H::SECLI_CLIENT_DOWN_EVENT,
                          H::SECLI_INPUT_CONFIG_CREATE_RCFM_EVENT, H::SECLI_INPUT_CONFIG_CREATE_RREJ_EVENT,
                          H::SECLI_INPUT_CONFIG_CHANGE_RCFM_EVENT, H::SECLI_INPUT_CONFIG_CHANGE_RREJ_EVENT,
                          H::SECLI_INPUT_CONFIG_REMOVE_RCFM_EVENT, H::SECLI_INPUT_DEFECT_FWD_EVENT,
                          H::SECLI_INPUT_RECEIVED_SSM_FWD_EVENT, H::SECLI_INPUT_ASSIST_DATA_FWD_EVENT,
                          H::SECLI_OUTPUT_CONFIG_CREATE_RCFM_EVENT, H::SECLI_OUTPUT_CONFIG_CREATE_RREJ_EVENT,
                          H::SECLI_OUTPUT_CONFIG_CHANGE_RCFM_EVENT, H::SECLI_OUTPUT_CONFIG_CHANGE_RREJ_EVENT,
                          H::SECLI_OUTPUT_CONFIG_REMOVE_RCFM_EVENT, H::SECLI_OUTPUT_MAC_ADDRESS_FWD_EVENT>();
        // The primitive each event's listeners can read while they run.
        events->after = [this](PolymorphEvent&) {
            BasePrimitive* current = serverIf->getCurrentPrimitive();
            primitiveIds.push_back(current != nullptr ? current->getPrimitiveId() : 0);
        };
    }

    // Connects CLIENT and returns the connectionReference the confirmation gave it.
    uint32_t connect(uint32_t from = CLIENT) {
        FakeTavi::clearSent();
        deliver(from, Bytes(0x94002, 24).refs(41, CLIENT_CONNECTION).be32(12, 1).be32(16, 1).be32(20, 1));
        EXPECT_EQ(0x94003u, FakeTavi::sent().back().msgno());
        const uint32_t reference = be32At(FakeTavi::sent().back().bytes, 8);
        FakeTavi::clearSent();
        forgetEvents();
        return reference;
    }

    void forgetEvents() {
        events->names.clear();
        primitiveIds.clear();
    }

    ServerIf* serverIf = nullptr;
    std::vector<uint32_t> primitiveIds;
};

TEST_F(SecliServerIfTest, ServicePrimitivesNeedTheClientsMailboxAndTheGivenConnectionReference) {
    const uint32_t reference = connect();
    const struct {
        const char* what;
        uint32_t from;
        uint32_t connectionReference;
        size_t events;
    } cases[] = {
        {"own client, own reference", CLIENT, reference, 1},
        {"own client, foreign reference", CLIENT, reference + 1, 0},
        {"own client, the reference it sent itself", CLIENT, 42, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        forgetEvents();
        TraceCapture trace;
        EXPECT_TRUE(deliver(c.from, Bytes(0x94011, 12).refs(77, c.connectionReference)));
        EXPECT_EQ(c.events, events->names.size());
        EXPECT_EQ(1 - c.events,
                  trace.count(TL_INFO, "No client related to primitive found. Already removed."));
    }
}

TEST_F(SecliServerIfTest, EveryClientMessageRaisesItsEventWithItsPrimitiveCurrent) {
    const uint32_t ref = connect();
    const struct {
        uint32_t msgno;
        size_t size;
        uint32_t primitiveId;
        const char* event;
    } cases[] = {
        {0x94006, 12, 11, "SECLI_INPUT_CONFIG_CREATE_RCFM_EVENT"},
        {0x94007, 16, 12, "SECLI_INPUT_CONFIG_CREATE_RREJ_EVENT"},
        {0x94009, 12, 14, "SECLI_INPUT_CONFIG_CHANGE_RCFM_EVENT"},
        {0x9400A, 16, 15, "SECLI_INPUT_CONFIG_CHANGE_RREJ_EVENT"},
        {0x9400C, 12, 17, "SECLI_INPUT_CONFIG_REMOVE_RCFM_EVENT"},
        {0x9400D, 16, 18, "SECLI_INPUT_DEFECT_FWD_EVENT"},
        {0x9400E, 56, 19, "SECLI_INPUT_RECEIVED_SSM_FWD_EVENT"},
        {0x9400F, 24, 20, "SECLI_INPUT_ASSIST_DATA_FWD_EVENT"},
        {0x94011, 12, 22, "SECLI_OUTPUT_CONFIG_CREATE_RCFM_EVENT"},
        {0x94012, 16, 23, "SECLI_OUTPUT_CONFIG_CREATE_RREJ_EVENT"},
        {0x94014, 12, 25, "SECLI_OUTPUT_CONFIG_CHANGE_RCFM_EVENT"},
        {0x94015, 16, 26, "SECLI_OUTPUT_CONFIG_CHANGE_RREJ_EVENT"},
        {0x94017, 12, 28, "SECLI_OUTPUT_CONFIG_REMOVE_RCFM_EVENT"},
        {0x9401A, 20, 31, "SECLI_OUTPUT_MAC_ADDRESS_FWD_EVENT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.event);
        forgetEvents();
        EXPECT_TRUE(deliver(CLIENT, Bytes(c.msgno, c.size).refs(5, ref)));
        EXPECT_EQ(std::vector<std::string>{c.event}, events->names);
        EXPECT_EQ(std::vector<uint32_t>{c.primitiveId}, primitiveIds);
        EXPECT_EQ(5u, serverIf->getClient()->getProcedureReference());
    }
    EXPECT_TRUE(FakeTavi::sent().empty());
}

TEST_F(SecliServerIfTest, InitWithoutADispatcherReportsAndOwnsNothing) {
    struct WithoutDispatcher : Sync::Test::TestController {
        WithoutDispatcher() { delete dispatcher, dispatcher = nullptr; }
    } bare;
    ServiceHandler orphan(HANDLER_ID + 1, &bare);
    TraceCapture trace;
    orphan.init();
    EXPECT_TRUE(trace.contains(TL_ERROR, "FAILED to add interface"));
    EXPECT_EQ(nullptr, orphan.getServerIf());
}

// The per-output automaton of the service handler: which output event, in which state, sends what to
// the client, and which state the output is in afterwards.
class SecliServiceHandlerTest : public SecliServerIfTest {
  protected:
    using Operating = ServiceHandler::EthOutputSm::ETHOUTPUT_OPERATING;

    void SetUp() override {
        SecliServerIfTest::SetUp();
        model = std::make_unique<Sync::Test::OutputModel<>>();
        model->feature->updateRecCreate();
    }

    void TearDown() override {
        model.reset();
        SecliServerIfTest::TearDown();
    }

    // An output whose port is ready for the data plane; operating when asked, with nothing sent.
    SyncEthOutput* newOutput(bool operating) {
        Sync::Test::TestEthernetPort* port = model->addPort("TN_" + std::to_string(++ports));
        SyncEthOutput* output = model->addOutput(port);
        port->makeInitiated();
        if (operating) {
            output->sendEvent(SyncEthOutput::SYNCETHOUTPUT_CONFIGURED_EVENT());
        }
        FakeTavi::clearSent();
        return output;
    }

    bool isOperating(SyncEthOutput* output) { return output->isInState<Operating>(HANDLER_ID); }

    std::unique_ptr<Sync::Test::OutputModel<>> model;
    int ports = 0;
};

constexpr uint32_t CREATE = 0x94010;
constexpr uint32_t CHANGE = 0x94013;
constexpr uint32_t NOTHING = 0;

template <class E>
std::function<void(SyncEthOutput&)> raise() {
    return [](SyncEthOutput& output) { output.sendEvent(E()); };
}

// An output created, told its codes and its ESMC state, removed with the REC and created again for a
// client that comes back is the road on the bus; these are the other rows.
TEST_F(SecliServiceHandlerTest, EachRowSendsItsMessageAboutTheOutputAndMovesTheOutput) {
    using O = SyncEthOutput;
    using H = ServiceHandler;
    const struct {
        const char* name;
        bool operating;
        std::function<void(SyncEthOutput&)> raise;
        uint32_t sent;
        bool operatingAfter;
    } rows[] = {
        {"idle client up", false, raise<H::NOTIFY_SECLI_CLIENT_UP_EVENT>(), CREATE, true},
        {"idle client down", false, raise<H::NOTIFY_SECLI_CLIENT_DOWN_EVENT>(), NOTHING, false},
        {"idle transmit", false, raise<O::SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT>(), NOTHING, false},
        {"idle esmc", false, raise<O::SYNCETHOUTPUT_ESMC_CONTROL_IND_EVENT>(), NOTHING, false},
        {"idle deleted", false, raise<O::SYNCETHOUTPUT_DELETED_EVENT>(), NOTHING, false},
        {"operating configured", true, raise<O::SYNCETHOUTPUT_CONFIGURED_EVENT>(), CHANGE, true},
        {"operating client down", true, raise<H::NOTIFY_SECLI_CLIENT_DOWN_EVENT>(), NOTHING, true},
    };
    connect();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SyncEthOutput* output = newOutput(row.operating);
        ASSERT_EQ(row.operating, isOperating(output));
        row.raise(*output);
        const auto& sent = FakeTavi::sent();
        if (row.sent == NOTHING) {
            EXPECT_TRUE(sent.empty());
        } else {
            ASSERT_EQ(1u, sent.size());
            EXPECT_EQ(CLIENT, sent[0].to);
            EXPECT_EQ(row.sent, sent[0].msgno());
            // The client's answer finds the output by procedureReference.
            EXPECT_EQ(output->getEntityId(), be32At(sent[0].bytes, 4));
            EXPECT_EQ(CLIENT_CONNECTION, be32At(sent[0].bytes, 8));
        }
        EXPECT_EQ(row.operatingAfter, isOperating(output));
        FakeTavi::clearSent();
    }
}

TEST_F(SecliServiceHandlerTest, WithoutAClientTheOutputMovesOnAndLaterChangesInsteadOfCreating) {
    SyncEthOutput* output = newOutput(false);
    output->sendEvent(SyncEthOutput::SYNCETHOUTPUT_CONFIGURED_EVENT());
    EXPECT_TRUE(traces.contains(TL_DEBUG, "No client is up, ethFreq will be created when client is up"));
    EXPECT_TRUE(isOperating(output));
    output->sendEvent(SyncEthOutput::SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT());
    EXPECT_TRUE(traces.contains(TL_DEBUG, "No client is up, can not send ESMC control indicator"));
    EXPECT_TRUE(FakeTavi::sent().empty());

    connect();
    output->sendEvent(SyncEthOutput::SYNCETHOUTPUT_CONFIGURED_EVENT());
    ASSERT_EQ(1u, FakeTavi::sent().size());
    EXPECT_EQ(CHANGE, FakeTavi::sent()[0].msgno());
}

}  // namespace
}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
