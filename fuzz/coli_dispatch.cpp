// Feeds arbitrary command-server messages to the daemon's command service on the in-process transport.
// The first input byte picks the message number from the command numbers (received or not); the rest
// is the message after its number. The command service keeps no state of its own between messages, so
// one instance serves the whole run; the transport and the command output start afresh each input.
#include <cstddef>
#include <cstdint>

#include "FakeTavi.h"
#include "TestController.h"
#include "WireBytes.h"
#include "common_fwk_classes/coli/ServiceHandler.h"
#include "control/coli/ColiLumovSpecific.h"
#include "eventHandling/Listener.h"
#include "tavi.h"
#include "utilities/coli_common.h"

namespace {

constexpr uint32_t SERVER = 0x2002;
constexpr uint32_t HANDLER_ID = 5;
const uint32_t MSGNOS[] = {SYNC_COLI_UP_IND, SYNC_COLI_DOWN_IND, SYNC_COLI_REG_CMD_REQ, SYNC_COLI_REG_CMD_RSP,
                           SYNC_COLI_REQ,    SYNC_COLI_IND,      SYNC_COLI_RSP,         0x9B607};

// Stands in for the model: enough output per printout to leave in several pieces.
class Printer : public Sync::Listener<Sync::Coli::ServiceHandler::PRINT_COLI_EVENT> {
  public:
    Printer() { startListening(); }
    void onEvent(Sync::Coli::ServiceHandler::PRINT_COLI_EVENT& event) override {
        for (uint32_t i = 0; i < 40 * event.printType; ++i)
            COLII("printout %u line %u with some padding to fill the output buffer", event.printType, i);
    }
};

// One command service for the whole run: building it costs far more than a message.
struct Daemon {
    Daemon() { controller.add(new Sync::LumovControl::ColiLumovSpecific(HANDLER_ID, &controller))->init(); }
    // Back to a process whose command service has just started looking for its server.
    static bool freshTransport() {
        coli_common_reset();
        return Sync::Test::openFakeMailbox();
    }

    // First: the controller takes the id of the mailbox that exists when it is built.
    const bool transportReady = freshTransport();
    Printer printer;
    Sync::Test::TestController controller;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Daemon daemon;
    if (size == 0)
        return 0;
    Daemon::freshTransport();
    daemon.controller.getDispatcher()->attachInterfaces();
    daemon.controller.deliver(
        SERVER, Sync::Test::wire(MSGNOS[data[0] % (sizeof MSGNOS / sizeof MSGNOS[0])], data + 1, size - 1));

    // Whatever the message did, the server can still come and go.
    FakeTavi::fireMonitor(SERVER);
    daemon.controller.deliverAll();
    FakeTavi::fireLocate(COLI_SERVER_NAME, SERVER);
    daemon.controller.deliverAll();
    return 0;
}
