// A process with its own mailbox on the fake transport, a controller and one service handler,
// initialised and attached as the daemon does it; the interface tests of each service build on it.
#ifndef SYNC_TEST_HANDLERTEST_H
#define SYNC_TEST_HANDLERTEST_H

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "EventLog.h"
#include "FakeTavi.h"
#include "TestController.h"
#include "TraceCapture.h"
#include "WireBytes.h"
#include "tavi.h"

namespace Sync {
namespace Test {

// The messages sent with that number so far.
inline std::vector<FakeTavi::SentMessage> sentWith(uint32_t msgno) {
    std::vector<FakeTavi::SentMessage> found;
    for (const FakeTavi::SentMessage& message : FakeTavi::sent())
        if (message.msgno() == msgno)
            found.push_back(message);
    return found;
}

template <class Handler>
class HandlerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(openFakeMailbox());
        controller = std::make_unique<TestController>();
        handler = controller->add(createHandler());
        handler->init();
        controller->getDispatcher()->attachInterfaces();
    }

    void TearDown() override {
        events.reset();
        controller.reset();
        tavi_exit();
        FakeTavi::reset();
    }

    virtual Handler* createHandler() = 0;

    size_t deliverAll() { return controller->deliverAll(); }

    size_t deliver(uint32_t sender, const std::vector<uint8_t>& bytes) {
        EXPECT_TRUE(FakeTavi::inject(sender, bytes));
        return deliverAll();
    }

    TraceCapture traces;
    std::unique_ptr<TestController> controller;
    Handler* handler = nullptr;
    std::unique_ptr<EventLog> events = std::make_unique<EventLog>();
};

}  // namespace Test
}  // namespace Sync

#endif
