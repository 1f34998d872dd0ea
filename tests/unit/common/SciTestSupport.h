// The sync-control client's tests: the service handler in a process of its own, a client entity, and
// every event the handler raises logged (CLIENT_NOTIFY_EVENT with its value).
#ifndef SYNC_TEST_SCITESTSUPPORT_H
#define SYNC_TEST_SCITESTSUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "HandlerTest.h"
#include "common_fwk_classes/sci/CentralEvent.h"
#include "common_fwk_classes/sci/ClientEntity.h"
#include "common_fwk_classes/sci/ClientIf.h"
#include "common_fwk_classes/sci/ClientServiceHandler.h"

namespace Sync {
namespace Test {

class SciTestEntity : public Sci::ClientEntity {
  public:
    explicit SciTestEntity(uint32_t id) : id(id) {}
    uint32_t getClientEntityId() const override { return id; }

  private:
    uint32_t id;
};

class SciClientFixture : public HandlerTest<Sci::ClientServiceHandler> {
  protected:
    using H = Sci::ClientServiceHandler;
    static constexpr uint32_t HANDLER_ID = 3;
    static constexpr uint32_t SERVER = 0x5005;
    static constexpr uint32_t SERVER_PROCEDURE = 0x61;
    static constexpr uint32_t SERVER_CONNECTION = 0x62;

    H* createHandler() override { return new H(HANDLER_ID, controller.get()); }

    void SetUp() override {
        HandlerTest::SetUp();
        ASSERT_EQ(1u, deliverAll());
        events->listenAll<
            H::CONNECTION_ESTABLISHMENT_CFM_EVENT, H::CONNECTION_ESTABLISHMENT_REJ_EVENT,
            H::SERVER_DOWN_IND_EVENT, H::RADIO_CLOCK_STATE_IND_EVENT, H::CANDIDATED_REFERENCE_IND_EVENT,
            H::SELECTED_REFERENCE_IND_EVENT, H::FIXED_POSITION_STATUS_SUBSCRIBED_EVENT,
            H::FIXED_POSITION_STATUS_IND_EVENT, H::REC_CREATE_IND_EVENT, H::REC_DELETE_IND_EVENT,
            H::REC_SELECTION_PROCESS_MODE_IND_EVENT, H::REC_CLOCK_SETTLED_QUALITY_IND_EVENT,
            H::RECR_USE_QL_FROM_IND_EVENT, H::TELECOM_STANDARD_IND_EVENT, H::BFN_JUMP_ALERT_IND_EVENT,
            H::LOOSE_TIME_STATE_IND_EVENT, H::LOOSE_TIME_DIFF_IND_EVENT, H::DEGRADED_STATUS_IND_EVENT,
            H::NGS_BFN_ALIGN_RSP_EVENT, H::PORT_SCAN_RSP_EVENT, H::TIME_ERROR_IND_EVENT,
            H::FRU_DATA_SUBSCRIBED_EVENT, H::FRU_DATA_IND_EVENT, H::RECR_CONFIG_SUBSCRIBED_EVENT,
            H::RECR_CONFIG_IND_EVENT>();
        events->listen<Control::CentralEvent::CLIENT_NOTIFY_EVENT>(
            [](Control::CentralEvent::CLIENT_NOTIFY_EVENT& event) { return std::to_string(event.value); });
        events->listen<Control::CentralEvent::CLIENT_DATA_EVENT>();
    }

    Sci::ClientIf* client() { return dynamic_cast<Sci::ClientIf*>(handler->getInterface()); }

    using HandlerTest::deliver;
    size_t deliver(const std::vector<uint8_t>& bytes) { return deliver(SERVER, bytes); }

    // The "sci" service appears: the client asks for a connection.
    void serverUp(uint32_t server = SERVER) {
        FakeTavi::serviceUp("sci", "sync", server);
        ASSERT_EQ(1u, deliverAll());
        ASSERT_EQ(AbstractClientIf::WAIT_FOR_INIT_CFM, client()->getState());
    }

    // The server appears and confirms the connection.
    void connect(uint32_t server = SERVER) {
        serverUp(server);
        ASSERT_EQ(1u, deliver(server, Bytes(0x9B903, 16).header(SERVER_PROCEDURE, SERVER_CONNECTION, 1)));
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

    size_t sentSeen = 0;
};

}  // namespace Test
}  // namespace Sync

#endif
