// The per-output automaton of the data-plane service handler: which output event, in which state,
// sends what to the client, and which state the output is in afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "Macros.h"
#include "SyncEthOutputTestFixture.h"
#include "TraceCapture.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "control/secli/ServerIf.h"
#include "control/secli/ServiceHandler.h"
#include "tavi.h"

namespace Sync {
namespace Test {
namespace {

using Handler = EthCentral::Secli::ServiceHandler;
using Operating = Handler::EthOutputSm::ETHOUTPUT_OPERATING;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t HANDLER_ID = 2;
constexpr uint32_t CLIENT = 0x5000;
constexpr uint32_t CLIENT_CONNECTION = 0xC11E47;

constexpr uint32_t CREATE = 0x94010;
constexpr uint32_t CHANGE = 0x94013;
constexpr uint32_t REMOVE = 0x94016;
constexpr uint32_t TRANSMIT_SSM = 0x94018;
constexpr uint32_t ESMC_CONTROL = 0x94019;
constexpr uint32_t NOTHING = 0;

class SecliTestController : public BaseController {
  public:
    explicit SecliTestController(uint32_t ownId) : BaseController("test") {
        ownIdentity = ownId;
        dispatcher = new Dispatcher();
    }
    void init() override {}
    void run() override {}
    void createOwnIdentity() override {}
    void publishYourSelf() override {}
    void createServiceHandlers() override {}
    void add(BaseServiceHandler* handler) { addServiceHandler(handler); }
};

uint32_t msgnoOf(const Bytes& bytes) {
    uint32_t msgno = 0;
    std::memcpy(&msgno, bytes.data(), 4);
    return msgno;
}

uint32_t be32(const Bytes& bytes, size_t offset) {
    return uint32_t(bytes[offset]) << 24 | uint32_t(bytes[offset + 1]) << 16 |
           uint32_t(bytes[offset + 2]) << 8 | bytes[offset + 3];
}

class SecliServiceHandlerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeTavi::reset();
        ASSERT_EQ(0, tavi_init(1, 0, 0, 0, 0));
        controller = std::make_unique<SecliTestController>(tavi_create_mailbox("sync-lumov-control", 0));
        handler = new Handler(HANDLER_ID, controller.get());
        controller->add(handler);
        handler->init();
        controller->getDispatcher()->attachInterfaces();
        model = std::make_unique<OutputModel<>>();
        model->feature->updateRecCreate();
    }

    void TearDown() override {
        model.reset();
        controller.reset();
        tavi_exit();
        FakeTavi::reset();
    }

    void connectClient() {
        Bytes request(24, 0);
        const uint32_t msgno = 0x94002;
        std::memcpy(request.data(), &msgno, 4);
        for (size_t offset : {size_t(8), size_t(12), size_t(16), size_t(20)}) {
            const uint32_t word = offset == 8 ? CLIENT_CONNECTION : 1;
            request[offset] = uint8_t(word >> 24);
            request[offset + 1] = uint8_t(word >> 16);
            request[offset + 2] = uint8_t(word >> 8);
            request[offset + 3] = uint8_t(word);
        }
        ASSERT_TRUE(FakeTavi::inject(CLIENT, request));
        while (void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER)) {
            controller->getDispatcher()->dispatch(msg);
            tavi_free(&msg);
        }
        ASSERT_NE(nullptr, handler->getServerIf()->getClient());
        FakeTavi::clearSent();
    }

    // An output whose port is ready for the data plane; operating when asked, with nothing sent.
    SyncEthOutput* newOutput(bool operating) {
        TestEthernetPort* port = model->addPort("TN_" + std::to_string(++ports));
        SyncEthOutput* output = model->addOutput(port);
        port->makeInitiated();
        if (operating) {
            output->sendEvent(SyncEthOutput::SYNCETHOUTPUT_CONFIGURED_EVENT());
        }
        FakeTavi::clearSent();
        return output;
    }

    bool isOperating(SyncEthOutput* output) { return output->isInState<Operating>(HANDLER_ID); }

    TraceCapture traces;
    std::unique_ptr<SecliTestController> controller;
    Handler* handler = nullptr;
    std::unique_ptr<OutputModel<>> model;
    int ports = 0;
};

struct Row {
    const char* name;
    bool operating;
    std::function<void(SyncEthOutput&)> raise;
    uint32_t sent;
    bool operatingAfter;
};

template <class E>
std::function<void(SyncEthOutput&)> raise() {
    return [](SyncEthOutput& output) { output.sendEvent(E()); };
}

const std::vector<Row> ROWS = {
    {"idle configured", false, raise<SyncEthOutput::SYNCETHOUTPUT_CONFIGURED_EVENT>(), CREATE, true},
    {"idle client up", false, raise<Handler::NOTIFY_SECLI_CLIENT_UP_EVENT>(), CREATE, true},
    {"idle client down", false, raise<Handler::NOTIFY_SECLI_CLIENT_DOWN_EVENT>(), NOTHING, false},
    {"idle transmit", false, raise<SyncEthOutput::SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT>(), NOTHING, false},
    {"idle esmc", false, raise<SyncEthOutput::SYNCETHOUTPUT_ESMC_CONTROL_IND_EVENT>(), NOTHING, false},
    {"idle deleted", false, raise<SyncEthOutput::SYNCETHOUTPUT_DELETED_EVENT>(), NOTHING, false},
    {"operating configured", true, raise<SyncEthOutput::SYNCETHOUTPUT_CONFIGURED_EVENT>(), CHANGE, true},
    {"operating client up", true, raise<Handler::NOTIFY_SECLI_CLIENT_UP_EVENT>(), CREATE, true},
    {"operating client down", true, raise<Handler::NOTIFY_SECLI_CLIENT_DOWN_EVENT>(), NOTHING, true},
    {"operating transmit", true, raise<SyncEthOutput::SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT>(), TRANSMIT_SSM,
     true},
    {"operating esmc", true, raise<SyncEthOutput::SYNCETHOUTPUT_ESMC_CONTROL_IND_EVENT>(), ESMC_CONTROL,
     true},
    {"operating deleted", true, raise<SyncEthOutput::SYNCETHOUTPUT_DELETED_EVENT>(), REMOVE, false},
};

TEST_F(SecliServiceHandlerTest, EachRowSendsItsMessageAboutTheOutputAndMovesTheOutput) {
    connectClient();
    for (const Row& row : ROWS) {
        SyncEthOutput* output = newOutput(row.operating);
        ASSERT_EQ(row.operating, isOperating(output)) << row.name;
        row.raise(*output);
        const auto& sent = FakeTavi::sent();
        if (row.sent == NOTHING) {
            EXPECT_TRUE(sent.empty()) << row.name;
        } else {
            ASSERT_EQ(1u, sent.size()) << row.name;
            EXPECT_EQ(CLIENT, sent[0].to) << row.name;
            EXPECT_EQ(row.sent, msgnoOf(sent[0].bytes)) << row.name;
            // The client's answer finds the output by procedureReference.
            EXPECT_EQ(output->getEntityId(), be32(sent[0].bytes, 4)) << row.name;
            EXPECT_EQ(CLIENT_CONNECTION, be32(sent[0].bytes, 8)) << row.name;
        }
        EXPECT_EQ(row.operatingAfter, isOperating(output)) << row.name;
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

    connectClient();
    output->sendEvent(SyncEthOutput::SYNCETHOUTPUT_CONFIGURED_EVENT());
    ASSERT_EQ(1u, FakeTavi::sent().size());
    EXPECT_EQ(CHANGE, msgnoOf(FakeTavi::sent()[0].bytes));
}

}  // namespace
}  // namespace Test
}  // namespace Sync
