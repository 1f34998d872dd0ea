// Just enough controller for service handlers on the in-process transport: the own mailbox and a
// dispatcher that messages are run through. Shared by the unit tests and the fuzz targets.
#ifndef SYNC_TEST_TESTCONTROLLER_H
#define SYNC_TEST_TESTCONTROLLER_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FakeTavi.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "tavi.h"

namespace Sync {
namespace Test {

// A fresh fake transport with the daemon's mailbox open; false when either step fails.
inline bool openFakeMailbox() {
    FakeTavi::reset();
    return tavi_init(1, 0, 0, 0, 0) == 0 && tavi_create_mailbox("sync-lumov-control", 0) != TAVI_NO_ID;
}

class TestController : public BaseController {
  public:
    // Takes the id of the mailbox that exists when it is built.
    TestController() : BaseController("sync-lumov-control") {
        ownIdentity = FakeTavi::ownId();
        dispatcher = new Dispatcher();
    }
    void init() override {}
    void run() override {}
    void createOwnIdentity() override {}
    void publishYourSelf() override {}
    void createServiceHandlers() override {}

    // Owns the handler from now on.
    template <class Handler>
    Handler* add(Handler* handler) {
        addServiceHandler(handler);
        return handler;
    }

    // Runs every waiting message through the dispatcher; returns how many were claimed.
    size_t deliverAll() {
        size_t claimed = 0;
        for (void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER); msg != nullptr;
             msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER)) {
            claimed += dispatcher->dispatch(msg) ? 1 : 0;
            tavi_free(&msg);
        }
        return claimed;
    }

    // The bytes arrive from sender; then every waiting message is dispatched.
    size_t deliver(uint32_t sender, const std::vector<uint8_t>& bytes) {
        FakeTavi::inject(sender, bytes);
        return deliverAll();
    }
};

}  // namespace Test
}  // namespace Sync

#endif
