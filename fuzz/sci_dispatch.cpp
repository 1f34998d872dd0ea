// Feeds arbitrary sync-control server messages to the daemon's sync-control client on the in-process
// transport, once the connection is confirmed. The first input byte picks the message number from the
// interface's numbers (received or not, and the name-service ones); the rest is the message after its
// number. An output-feature-like entity subscribes on every confirmation, so requests go out as well.
#include <cstddef>
#include <cstdint>

#include "FakeTavi.h"
#include "TestController.h"
#include "WireBytes.h"
#include "common_fwk_classes/sci/ClientEntity.h"
#include "common_fwk_classes/sci/ClientServiceHandler.h"
#include "eventHandling/Listener.h"
#include "tavi.h"
#include "trace/TraceHooks.h"

namespace {

using Sync::Test::TestController;

constexpr uint32_t SERVER = 0x5005;
constexpr uint32_t HANDLER_ID = 3;
constexpr uint32_t FIRST_SCI_MSGNO = 0x9B900;
constexpr uint32_t LAST_SCI_MSGNO = 0x9B969;
const uint32_t NAME_SERVICE_MSGNOS[] = {0x1900000, 0x1900001, 0x1900002};

class Subscriber
    : public Sync::Sci::ClientEntity,
      public Sync::Listener<Sync::Sci::ClientServiceHandler::CONNECTION_ESTABLISHMENT_CFM_EVENT> {
  public:
    Subscriber() { startListening(); }
    uint32_t getClientEntityId() const override { return 1; }
    void onEvent(Sync::Sci::ClientServiceHandler::CONNECTION_ESTABLISHMENT_CFM_EVENT&) override {
        ClientEntity::sendEvent(SCIENTITY_REC_DATA_SUBSCRIBE_TO_SERVER_EVENT());
        ClientEntity::sendEvent(SCIENTITY_SELECTED_REFERENCE_SUBSCRIBE_TO_SERVER_EVENT());
        ClientEntity::sendEvent(SCIENTITY_TELECOM_STANDARD_SUBSCRIBE_TO_SERVER_EVENT());
    }
};

uint32_t msgnoFor(uint8_t selector) {
    const uint32_t sciCount = LAST_SCI_MSGNO - FIRST_SCI_MSGNO + 1;
    const uint32_t count = sciCount + sizeof NAME_SERVICE_MSGNOS / sizeof NAME_SERVICE_MSGNOS[0];
    const uint32_t index = selector % count;
    return index < sciCount ? FIRST_SCI_MSGNO + index : NAME_SERVICE_MSGNOS[index - sciCount];
}

void inject(uint32_t msgno, const uint8_t* rest, size_t size) {
    FakeTavi::inject(SERVER, Sync::Test::wire(msgno, rest, size));
}

// The server appears and confirms the connection.
void connect(TestController& controller) {
    FakeTavi::serviceUp("sci", "sync", SERVER);
    controller.deliverAll();
    controller.deliver(SERVER, Sync::Test::Bytes(0x9B903, 16).header(0x61, 0x62, 1));
}

void quietSyslog(int, const char*, ...) {}

// One process with its mailbox, controller, client and subscriber for the whole run: building the
// interface costs far more than a message, and every input ends with the connection made afresh.
struct Daemon {
    Daemon() {
        Sync::setTraceSyslog(&quietSyslog);
        Sync::Test::openFakeMailbox();
        controller.add(new Sync::Sci::ClientServiceHandler(HANDLER_ID, &controller))->init();
        controller.getDispatcher()->attachInterfaces();
        controller.deliverAll();
        connect(controller);
    }

    Subscriber subscriber;
    TestController controller;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Daemon daemon;
    if (size == 0)
        return 0;
    inject(msgnoFor(data[0]), data + 1, size - 1);
    daemon.controller.deliverAll();

    // Whatever the message did, the server can still go and come back.
    FakeTavi::fireMonitor(SERVER);
    daemon.controller.deliverAll();
    FakeTavi::serviceDown("sci", "sync");
    daemon.controller.deliverAll();
    connect(daemon.controller);
    FakeTavi::clearSent();
    return 0;
}
