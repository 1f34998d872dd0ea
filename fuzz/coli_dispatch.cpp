// Feeds arbitrary command-server messages to the daemon's command service on the in-process transport.
// The first input byte picks the message number from the command numbers (received or not); the rest
// is the message after its number. The command service keeps no state of its own between messages, so
// one instance serves the whole run; the transport and the command output start afresh each input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "FakeTavi.h"
#include "common_fwk_classes/coli/ServiceHandler.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "control/coli/ColiLumovSpecific.h"
#include "eventHandling/Listener.h"
#include "tavi.h"
#include "utilities/coli_common.h"

namespace {

constexpr uint32_t SERVER = 0x2002;
constexpr uint32_t HANDLER_ID = 5;
const uint32_t MSGNOS[] = {SYNC_COLI_UP_IND, SYNC_COLI_DOWN_IND, SYNC_COLI_REG_CMD_REQ, SYNC_COLI_REG_CMD_RSP,
                           SYNC_COLI_REQ,    SYNC_COLI_IND,      SYNC_COLI_RSP,         0x9B607};

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

// Stands in for the model: enough output per printout to leave in several pieces.
class Printer : public Sync::Listener<Sync::Coli::ServiceHandler::PRINT_COLI_EVENT> {
  public:
    Printer() { startListening(); }
    void onEvent(Sync::Coli::ServiceHandler::PRINT_COLI_EVENT& event) override {
        for (uint32_t i = 0; i < 40 * event.printType; ++i)
            COLII("printout %u line %u with some padding to fill the output buffer", event.printType, i);
    }
};

void deliverAll(Sync::Dispatcher& dispatcher) {
    for (void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER); msg != nullptr;
         msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER)) {
        dispatcher.dispatch(msg);
        tavi_free(&msg);
    }
}

// One command service for the whole run: building it costs far more than a message.
struct Daemon {
    Daemon() {
        handler = new Sync::LumovControl::ColiLumovSpecific(HANDLER_ID, &controller);
        controller.add(handler);
        handler->init();
    }
    // Back to a process whose command service has just started looking for its server.
    static void freshTransport() {
        FakeTavi::reset();
        coli_common_reset();
        tavi_init(1, 0, 0, 0, 0);
        tavi_create_mailbox("sync-lumov-control", 0);
    }
    Sync::Dispatcher& dispatcher() { return *controller.getDispatcher(); }

    // First: the controller takes the id of the mailbox that exists when it is built.
    const bool transportReady = (freshTransport(), true);
    Printer printer;
    FuzzController controller;
    Sync::LumovControl::ColiLumovSpecific* handler = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Daemon daemon;
    if (size == 0)
        return 0;
    Daemon::freshTransport();
    daemon.dispatcher().attachInterfaces();

    std::vector<uint8_t> message(4 + size - 1);
    const uint32_t msgno = MSGNOS[data[0] % (sizeof MSGNOS / sizeof MSGNOS[0])];
    std::memcpy(message.data(), &msgno, 4);
    std::memcpy(message.data() + 4, data + 1, size - 1);
    FakeTavi::inject(SERVER, message);
    deliverAll(daemon.dispatcher());

    // Whatever the message did, the server can still come and go.
    FakeTavi::fireMonitor(SERVER);
    deliverAll(daemon.dispatcher());
    FakeTavi::fireLocate(COLI_SERVER_NAME, SERVER);
    deliverAll(daemon.dispatcher());
    return 0;
}
