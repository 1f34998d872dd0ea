// Shared by the sync-control client tests: messages written byte by byte (independently of the code
// under test), a controller with the sync-control service handler on the in-process mailbox, a client
// entity, and a recorder of every event the service handler raises.
#ifndef SYNC_TEST_SCITESTSUPPORT_H
#define SYNC_TEST_SCITESTSUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "FakeTavi.h"
#include "TraceCapture.h"
#include "common_fwk_classes/sci/CentralEvent.h"
#include "common_fwk_classes/sci/ClientEntity.h"
#include "common_fwk_classes/sci/ClientIf.h"
#include "common_fwk_classes/sci/ClientServiceHandler.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "eventHandling/Listener.h"
#include "tavi.h"

namespace Sync {
namespace SciTest {

// A message under construction: zero-filled, msgno in host order at 0.
class SciBytes {
  public:
    SciBytes(uint32_t msgno, size_t size) : bytes_(size, 0) { std::memcpy(bytes_.data(), &msgno, 4); }

    SciBytes& be32(size_t offset, uint32_t value) {
        return raw(offset, {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)});
    }
    // procedureReference, connectionReference and entityId.
    SciBytes& header(uint32_t procedureReference, uint32_t connectionReference, uint32_t entityId) {
        return be32(4, procedureReference).be32(8, connectionReference).be32(12, entityId);
    }
    SciBytes& chars(size_t offset, const std::string& text) {
        return raw(offset, std::vector<uint8_t>(text.begin(), text.end()));
    }
    SciBytes& raw(size_t offset, const std::vector<uint8_t>& data) {
        if (bytes_.size() < offset + data.size())
            bytes_.resize(offset + data.size(), 0);
        std::memcpy(bytes_.data() + offset, data.data(), data.size());
        return *this;
    }

    // Cuts (or zero-extends) the message to size bytes.
    SciBytes& resize(size_t size) {
        bytes_.resize(size, 0);
        return *this;
    }

    const std::vector<uint8_t>& get() const { return bytes_; }
    operator const std::vector<uint8_t>&() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
};

inline uint32_t be32At(const std::vector<uint8_t>& bytes, size_t offset) {
    if (offset + 4 > bytes.size())
        return 0;
    const uint8_t* b = bytes.data() + offset;
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

inline uint32_t msgnoOf(const std::vector<uint8_t>& bytes) {
    uint32_t msgno = 0;
    std::memcpy(&msgno, bytes.data(), bytes.size() < 4 ? bytes.size() : 4);
    return msgno;
}

// What the sync-control service handler raised, in order: event names, CLIENT_NOTIFY_EVENT with its
// value in parentheses.
class SciEventLog {
  public:
    SciEventLog() {
        listen<Sci::ClientServiceHandler::CONNECTION_ESTABLISHMENT_CFM_EVENT>();
        listen<Sci::ClientServiceHandler::CONNECTION_ESTABLISHMENT_REJ_EVENT>();
        listen<Sci::ClientServiceHandler::SERVER_DOWN_IND_EVENT>();
        listen<Sci::ClientServiceHandler::RADIO_CLOCK_STATE_IND_EVENT>();
        listen<Sci::ClientServiceHandler::CANDIDATED_REFERENCE_IND_EVENT>();
        listen<Sci::ClientServiceHandler::SELECTED_REFERENCE_IND_EVENT>();
        listen<Sci::ClientServiceHandler::FIXED_POSITION_STATUS_SUBSCRIBED_EVENT>();
        listen<Sci::ClientServiceHandler::FIXED_POSITION_STATUS_IND_EVENT>();
        listen<Sci::ClientServiceHandler::REC_CREATE_IND_EVENT>();
        listen<Sci::ClientServiceHandler::REC_DELETE_IND_EVENT>();
        listen<Sci::ClientServiceHandler::REC_SELECTION_PROCESS_MODE_IND_EVENT>();
        listen<Sci::ClientServiceHandler::REC_CLOCK_SETTLED_QUALITY_IND_EVENT>();
        listen<Sci::ClientServiceHandler::RECR_USE_QL_FROM_IND_EVENT>();
        listen<Sci::ClientServiceHandler::TELECOM_STANDARD_IND_EVENT>();
        listen<Sci::ClientServiceHandler::BFN_JUMP_ALERT_IND_EVENT>();
        listen<Sci::ClientServiceHandler::LOOSE_TIME_STATE_IND_EVENT>();
        listen<Sci::ClientServiceHandler::LOOSE_TIME_DIFF_IND_EVENT>();
        listen<Sci::ClientServiceHandler::DEGRADED_STATUS_IND_EVENT>();
        listen<Sci::ClientServiceHandler::NGS_BFN_ALIGN_RSP_EVENT>();
        listen<Sci::ClientServiceHandler::PORT_SCAN_RSP_EVENT>();
        listen<Sci::ClientServiceHandler::TIME_ERROR_IND_EVENT>();
        listen<Sci::ClientServiceHandler::FRU_DATA_SUBSCRIBED_EVENT>();
        listen<Sci::ClientServiceHandler::FRU_DATA_IND_EVENT>();
        listen<Sci::ClientServiceHandler::RECR_CONFIG_SUBSCRIBED_EVENT>();
        listen<Sci::ClientServiceHandler::RECR_CONFIG_IND_EVENT>();
        listen<Control::CentralEvent::CLIENT_NOTIFY_EVENT>();
        listen<Control::CentralEvent::CLIENT_DATA_EVENT>();
    }

    std::vector<std::string> names;
    std::vector<IEntity*> sources;

  private:
    template <class E>
    class Recorder : public Listener<E> {
      public:
        explicit Recorder(SciEventLog* log) : log(log) { this->startListening(); }
        void onEvent(E& event) override {
            std::string name = event.getName();
            if constexpr (std::is_same<E, Control::CentralEvent::CLIENT_NOTIFY_EVENT>::value)
                name += "(" + std::to_string(event.value) + ")";
            log->names.push_back(name);
            log->sources.push_back(event.getSource());
        }

      private:
        SciEventLog* log;
    };

    template <class E>
    void listen() {
        recorders.push_back(std::make_shared<Recorder<E>>(this));
    }

    std::vector<std::shared_ptr<void>> recorders;
};

class SciTestEntity : public Sci::ClientEntity {
  public:
    explicit SciTestEntity(uint32_t id) : id(id) {}
    uint32_t getClientEntityId() const override { return id; }

  private:
    uint32_t id;
};

// Just enough controller for a service handler: the own mailbox and a dispatcher.
class SciTestController : public BaseController {
  public:
    SciTestController() : BaseController("sync-lumov-control") {
        ownIdentity = FakeTavi::ownId();
        dispatcher = new Dispatcher();
    }
    void init() override {}
    void run() override {}
    void createOwnIdentity() override {}
    void publishYourSelf() override {}
    void createServiceHandlers() override {}
    void add(BaseServiceHandler* handler) { addServiceHandler(handler); }
};

// A process with its own mailbox on the fake transport, a controller and the sync-control service
// handler, initialised and attached as the daemon does it.
class SciClientFixture : public ::testing::Test {
  protected:
    static constexpr uint32_t HANDLER_ID = 3;
    static constexpr uint32_t SERVER = 0x5005;
    static constexpr uint32_t SERVER_PROCEDURE = 0x61;
    static constexpr uint32_t SERVER_CONNECTION = 0x62;

    void SetUp() override {
        FakeTavi::reset();
        ASSERT_EQ(0, tavi_init(1, 0, 0, 0, 0));
        ASSERT_NE(TAVI_NO_ID, tavi_create_mailbox("sync-lumov-control", 0));
        controller = std::make_unique<SciTestController>();
        handler = new Sci::ClientServiceHandler(HANDLER_ID, controller.get());
        controller->add(handler);
        handler->init();
        controller->getDispatcher()->attachInterfaces();
        ASSERT_EQ(1u, deliverAll());
        events = std::make_unique<SciEventLog>();
    }

    void TearDown() override {
        events.reset();
        controller.reset();
        tavi_exit();
        FakeTavi::reset();
    }

    Sci::ClientIf* client() { return dynamic_cast<Sci::ClientIf*>(handler->getInterface()); }

    // Runs every waiting message through the dispatcher; returns how many were claimed.
    size_t deliverAll() {
        size_t claimed = 0;
        for (void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER); msg != nullptr;
             msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER)) {
            claimed += controller->getDispatcher()->dispatch(msg) ? 1 : 0;
            tavi_free(&msg);
        }
        return claimed;
    }

    size_t deliver(const std::vector<uint8_t>& bytes, uint32_t sender = SERVER) {
        EXPECT_TRUE(FakeTavi::inject(sender, bytes));
        return deliverAll();
    }

    // The "sci" service appears: the client asks for a connection.
    void serverUp(uint32_t server = SERVER) {
        FakeTavi::serviceUp("sci", "sync", server);
        ASSERT_EQ(1u, deliverAll());
        ASSERT_EQ(AbstractClientIf::WAIT_FOR_INIT_CFM, client()->getState());
    }

    // The server appears and confirms the connection.
    void connect(uint32_t server = SERVER) {
        serverUp(server);
        ASSERT_EQ(
            1u,
            deliver(SciBytes(0x9B903, 16).be32(4, SERVER_PROCEDURE).be32(8, SERVER_CONNECTION).be32(12, 1),
                    server));
        ASSERT_EQ(AbstractClientIf::INITIATED, client()->getState());
    }

    // Messages the client sent to the server since the last call, oldest first.
    std::vector<std::vector<uint8_t>> takeSentToServer(uint32_t server = SERVER) {
        std::vector<std::vector<uint8_t>> found;
        for (size_t i = sentSeen; i < FakeTavi::sent().size(); ++i)
            if (FakeTavi::sent()[i].to == server)
                found.push_back(FakeTavi::sent()[i].bytes);
        sentSeen = FakeTavi::sent().size();
        return found;
    }

    ::Sync::Test::TraceCapture traces;
    std::unique_ptr<SciTestController> controller;
    Sci::ClientServiceHandler* handler = nullptr;
    std::unique_ptr<SciEventLog> events;
    size_t sentSeen = 0;
};

}  // namespace SciTest
}  // namespace Sync

#endif
