// Feeds arbitrary command-server messages to the daemon's command service on the in-process transport,
// and arbitrary packed arguments to the argument splitter. The first input byte picks the message
// number from the command numbers (received or not); the rest is the message after its number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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

// The splitter on its own, over a buffer of exactly the input's size so any overread is caught.
void splitPacked(const uint8_t* data, size_t size) {
    if (size == 0)
        return;
    char* text = static_cast<char*>(std::malloc(size));
    std::memcpy(text, data, size);
    int argc = 0;
    char** argv = nullptr;
    if (unpack_args(text, static_cast<uint32_t>(size), &argc, &argv) == UNPACK_OK) {
        size_t total = 0;
        for (int i = 0; i < argc; ++i)
            total += std::strlen(argv[i]) + 1;
        if (total != size)
            std::abort();
        std::free(argv);
    }
    std::free(text);
}

// The command server's side of registration, over the same bytes after a SYNC_COLI_REG_CMD_REQ number.
void unpackRegistration(const uint8_t* data, size_t size) {
    std::vector<uint8_t> message(4 + size);
    std::memcpy(message.data(), &SYNC_COLI_REG_CMD_REQ, 4);
    std::memcpy(message.data() + 4, data, size);
    FakeTavi::inject(SERVER, message);
    void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER);
    int argc = 0;
    char** argv = nullptr;
    if (coli_common_unpack_coli_reg_cmd_req_args(msg, &argc, &argv) == 0)
        std::free(argv);
    tavi_free(&msg);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    FakeTavi::reset();
    coli_common_reset();
    tavi_init(1, 0, 0, 0, 0);
    tavi_create_mailbox("sync-lumov-control", 0);
    {
        Printer printer;
        FuzzController controller;
        auto* handler = new Sync::LumovControl::ColiLumovSpecific(HANDLER_ID, &controller);
        controller.add(handler);
        handler->init();
        controller.getDispatcher()->attachInterfaces();

        std::vector<uint8_t> message(4 + size - 1);
        const uint32_t msgno = MSGNOS[data[0] % (sizeof MSGNOS / sizeof MSGNOS[0])];
        std::memcpy(message.data(), &msgno, 4);
        std::memcpy(message.data() + 4, data + 1, size - 1);
        FakeTavi::inject(SERVER, message);
        deliverAll(*controller.getDispatcher());

        // Whatever the message did, the server can still come and go.
        FakeTavi::fireMonitor(SERVER);
        deliverAll(*controller.getDispatcher());
        FakeTavi::fireLocate(COLI_SERVER_NAME, SERVER);
        deliverAll(*controller.getDispatcher());
    }
    splitPacked(data + 1, size - 1);
    unpackRegistration(data + 1, size - 1);
    tavi_exit();
    coli_common_reset();
    FakeTavi::reset();
    return 0;
}
