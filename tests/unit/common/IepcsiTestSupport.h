// The port-control client's tests: the server's message numbers, its port list written byte by byte,
// and the service handler in a process of its own.
#ifndef SYNC_TEST_IEPCSITESTSUPPORT_H
#define SYNC_TEST_IEPCSITESTSUPPORT_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "HandlerTest.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"
#include "control/BasePrimitive.h"

namespace Sync {
namespace Test {

namespace IepcsiNo {
constexpr uint32_t SERVER_UP_IND = 0x1B1041;
constexpr uint32_t SERVER_DOWN_IND = 0x1B1042;
constexpr uint32_t INIT_SERVICE_REQ = 0x1B1043;
constexpr uint32_t INIT_CFM = 0x1B1044;
constexpr uint32_t INIT_REJ = 0x1B1045;
constexpr uint32_t TERM_SERVICE_REQ = 0x1B1046;
constexpr uint32_t TERM_SERVICE_CFM = 0x1B1047;
constexpr uint32_t GET_ETH_PORT_SUPPORT_REQ = 0x1B1048;
constexpr uint32_t GET_ETH_PORT_SUPPORT_CFM = 0x1B1049;
constexpr uint32_t GET_ETH_PORT_SUPPORT_REJ = 0x1B104A;
constexpr uint32_t SUBSCRIBE_ETH_PORT_STATUS_REQ = 0x1B1050;
constexpr uint32_t SUBSCRIBE_ETH_PORT_STATUS_CFM = 0x1B1051;
constexpr uint32_t SUBSCRIBE_ETH_PORT_STATUS_REJ = 0x1B1052;
constexpr uint32_t UNSUBSCRIBE_ETH_PORT_STATUS_REQ = 0x1B1053;
constexpr uint32_t UNSUBSCRIBE_ETH_PORT_STATUS_CFM = 0x1B1054;
constexpr uint32_t ETH_PORT_STATUS_IND = 0x1B1055;
}  // namespace IepcsiNo

// A GET_ETH_PORT_SUPPORT_CFM of 48-byte records from 16: role, rhaiId, MAC at 8, port name at 14 and
// interface name at 30 of each.
inline std::vector<uint8_t> portSupportCfm(
    uint32_t procedureReference, uint32_t connectionReference,
    const std::vector<std::pair<uint32_t, std::string>>& rolesAndNames) {
    Bytes message(IepcsiNo::GET_ETH_PORT_SUPPORT_CFM, 16 + 48 * rolesAndNames.size());
    message.refs(procedureReference, connectionReference)
        .be32(12, static_cast<uint32_t>(rolesAndNames.size()));
    for (size_t i = 0; i < rolesAndNames.size(); ++i) {
        const size_t at = 16 + 48 * i;
        message.be32(at, rolesAndNames[i].first)
            .be32(at + 4, 100 + static_cast<uint32_t>(i))
            .raw(at + 8, {2, 0, 0, 0, 0, uint8_t(i)})
            .chars(at + 14, rolesAndNames[i].second)
            .chars(at + 30, "if" + std::to_string(i));
    }
    return message;
}

// The service handler's events are logged with the procedure reference of the primitive behind them,
// read through the handler while the listeners run ("none" when there is no primitive).
class IepcsiClientTest : public HandlerTest<Iepcsi::ServiceHandler> {
  protected:
    static constexpr uint32_t HANDLER_ID = 4;
    static constexpr uint32_t SERVER = 0x3003;
    static constexpr uint32_t SERVER_CONNECTION = 0x770;
    static constexpr const char* SERVER_NAME = "iepcsi-server";

    Iepcsi::ServiceHandler* createHandler() override {
        return new Iepcsi::ServiceHandler(HANDLER_ID, controller.get());
    }

    void SetUp() override {
        HandlerTest::SetUp();
        listen<Iepcsi::ServiceHandler::INIT_CFM_EVENT>();
        listen<Iepcsi::ServiceHandler::GET_ETH_PORT_SUPPORT_CFM_EVENT>();
        listen<Iepcsi::ServiceHandler::SUBSCRIBE_PORT_STATUS_CFM_EVENT>();
        listen<Iepcsi::ServiceHandler::ETH_PORT_STATUS_IND_EVENT>();
        listen<Iepcsi::ServiceHandler::SERVER_DOWN_EVENT>();
    }

    template <class E>
    void listen() {
        events->listen<E>([this](E&) {
            BasePrimitive* current = client() != nullptr ? client()->getCurrentPrimitive() : nullptr;
            return current != nullptr ? std::to_string(current->getProcedureReference())
                                      : std::string("none");
        });
    }

    Iepcsi::ClientIf* client() { return handler->getClientIf(); }

    // The server appears and confirms the handshake; the client then asks for the port list.
    void connect(uint32_t server = SERVER) {
        ASSERT_EQ(1u, FakeTavi::fireLocate(SERVER_NAME, server));
        ASSERT_EQ(1u, deliverAll());
        ASSERT_EQ(1u, deliver(server, Bytes(IepcsiNo::INIT_CFM, 16).refs(1, SERVER_CONNECTION).be32(12, 1)));
        ASSERT_EQ(AbstractClientIf::INITIATED, client()->getState());
    }
};

}  // namespace Test
}  // namespace Sync

#endif
