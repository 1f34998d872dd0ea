// Feeds arbitrary sync-control server messages to the daemon's sync-control client on the in-process
// transport, once the connection is confirmed. The first input byte picks the message number from the
// interface's numbers (received or not, and the name-service ones); the rest is the message after its
// number. An output-feature-like entity subscribes on every confirmation, so requests go out as well.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FakeTavi.h"
#include "common_fwk_classes/sci/ClientEntity.h"
#include "common_fwk_classes/sci/ClientServiceHandler.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "eventHandling/Listener.h"
#include "tavi.h"
#include "trace/TraceHooks.h"

namespace {

constexpr uint32_t SERVER = 0x5005;
constexpr uint32_t HANDLER_ID = 3;
constexpr uint32_t FIRST_SCI_MSGNO = 0x9B900;
constexpr uint32_t LAST_SCI_MSGNO = 0x9B969;
const uint32_t NAME_SERVICE_MSGNOS[] = {0x1900000, 0x1900001, 0x1900002};

class FuzzController : public Sync::BaseController {
  public:
    FuzzController() : BaseController("sync-lumov-control") {
        ownIdentity = FakeTavi::ownId();
        dispatcher = new Sync::Dispatcher();
    }
    void init() override {}
    void run() override {}
    void createOwnIdentity() override {}
    void publishYourSelf() override {}
    void createServiceHandlers() override {}
    void add(Sync::BaseServiceHandler* handler) { addServiceHandler(handler); }
};

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

void deliverAll(Sync::Dispatcher& dispatcher) {
    for (void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER); msg != nullptr;
         msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER)) {
        dispatcher.dispatch(msg);
        tavi_free(&msg);
    }
}

void inject(uint32_t msgno, const uint8_t* rest, size_t size) {
    std::vector<uint8_t> message(4 + size);
    std::memcpy(message.data(), &msgno, 4);
    if (size > 0)
        std::memcpy(message.data() + 4, rest, size);
    FakeTavi::inject(SERVER, message);
}

// The server appears and confirms the connection.
void connect(Sync::Dispatcher& dispatcher) {
    FakeTavi::serviceUp("sci", "sync", SERVER);
    deliverAll(dispatcher);
    const uint8_t confirm[12] = {0, 0, 0, 0x61, 0, 0, 0, 0x62, 0, 0, 0, 1};
    inject(0x9B903, confirm, sizeof confirm);
    deliverAll(dispatcher);
}

void quietSyslog(int, const char*, ...) {}

// One process with its mailbox, controller, client and subscriber for the whole run: building the
// interface costs far more than a message, and every input ends with the connection made afresh.
struct Daemon {
    Daemon() {
        Sync::setTraceSyslog(&quietSyslog);
        FakeTavi::reset();
        tavi_init(1, 0, 0, 0, 0);
        tavi_create_mailbox("sync-lumov-control", 0);
        auto* handler = new Sync::Sci::ClientServiceHandler(HANDLER_ID, &controller);
        controller.add(handler);
        handler->init();
        controller.getDispatcher()->attachInterfaces();
        deliverAll(dispatcher());
        connect(dispatcher());
    }
    Sync::Dispatcher& dispatcher() { return *controller.getDispatcher(); }

    Subscriber subscriber;
    FuzzController controller;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Daemon daemon;
    if (size == 0)
        return 0;
    inject(msgnoFor(data[0]), data + 1, size - 1);
    deliverAll(daemon.dispatcher());

    // Whatever the message did, the server can still go and come back.
    FakeTavi::fireMonitor(SERVER);
    deliverAll(daemon.dispatcher());
    FakeTavi::serviceDown("sci", "sync");
    deliverAll(daemon.dispatcher());
    connect(daemon.dispatcher());
    FakeTavi::clearSent();
    return 0;
}
