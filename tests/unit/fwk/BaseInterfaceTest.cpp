#include "control/BaseInterface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Macros.h"
#include "MessagingTestDoubles.h"
#include "TraceCapture.h"

namespace Sync {
namespace {

using Test::FakeMailbox;
using Test::RecordingHandler;
using Test::TestPrimitive;
using Test::TraceCapture;
using Test::wireMessage;

// Passes every received primitive straight to its listeners.
class PlainInterface : public BaseInterface {
  public:
    PlainInterface() : BaseInterface(FakeMailbox::OWN_ID) {}
    void attachIf() override {}
    void detachIf() override {}
    void dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) override {
        notifyListeners(primitive, senderPid);
    }
};

constexpr uint32_t PEER = 0x2002;

class BaseInterfaceTest : public ::testing::Test {
  protected:
    bool deliver(const std::vector<uint8_t>& bytes) {
        return mailbox.deliver(PEER, bytes, [this](void* msg) { return iface.dispatchMsg(msg); });
    }
    TestPrimitive* registerFixed() {
        auto* primitive = new TestPrimitive(10, 0x100, 16, "T_FIXED_MSG");
        iface.registerPrimitive(primitive);
        return primitive;
    }

    FakeMailbox mailbox;
    PlainInterface iface;
    std::vector<RecordingHandler::Call> calls;
};

TEST_F(BaseInterfaceTest, RefusedRegistrationsLeaveTheFirstInPlace) {
    TestPrimitive* first = registerFixed();
    TraceCapture capture;
    EXPECT_FALSE(iface.registerPrimitive(nullptr));
    EXPECT_FALSE(iface.registerPrimitive(new TestPrimitive(10, 0x101)));  // same kind
    EXPECT_FALSE(iface.registerPrimitive(new TestPrimitive(11, 0x100)));  // same number
    EXPECT_EQ(1u, capture.count(TL_ERROR, "Coding error: Received null pointer primitive!"));
    EXPECT_EQ(2u, capture.count(TL_ERROR, "Coding error: Primitive already registered!"));
    EXPECT_EQ(first, iface.getPrimitive(10));
    EXPECT_EQ(nullptr, iface.getPrimitive(11));
    EXPECT_TRUE(capture.contains(TL_INFO, "Primitive not registered (11)!"));
    EXPECT_TRUE(deliver(wireMessage(0x100, {1, 2, 3})));
    EXPECT_FALSE(deliver(wireMessage(0x101, {1, 2, 3})));
}

TEST_F(BaseInterfaceTest, RefusedListenersAndNotificationsAreTraced) {
    TestPrimitive* registered = registerFixed();
    TestPrimitive stranger(12, 0x300);
    const struct {
        BasePrimitive* primitive;
        bool withHandler;
        const char* error;
    } cases[] = {
        {nullptr, true, "Coding error: Received null pointer primitive!"},
        {registered, false, "Coding error: Received null pointer listener!"},
        {&stranger, true, "Coding error: Received primitive not registered!"},
    };
    for (const auto& c : cases) {
        TraceCapture capture;
        bool deleted = false;
        iface.addListener(c.primitive, c.withHandler ? new RecordingHandler(&calls, 0, &deleted) : nullptr);
        EXPECT_EQ(1u, capture.count(TL_ERROR, c.error)) << c.error;
        EXPECT_EQ(c.withHandler, deleted) << c.error;  // a refused handler is not leaked
    }
    iface.addListener(registered, new RecordingHandler(&calls));
    TraceCapture capture;
    iface.notifyListeners(registered, 0);
    iface.notifyListeners(&stranger, PEER);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(
        capture.contains(TL_ERROR, "Coding error: Try to notify listener with incorrect sender process id!"));
    EXPECT_TRUE(capture.contains(TL_ERROR, "Coding error: Received primitive not registered!"));
}

TEST_F(BaseInterfaceTest, HandlersRunInInsertionOrderAndATwiceAddedOneOnce) {
    TestPrimitive* primitive = registerFixed();
    auto* first = new RecordingHandler(&calls, 1);
    iface.addListener(primitive, first);
    auto* second = new RecordingHandler(&calls, 2);
    BasePrimitive* current = nullptr;
    second->probe = [&] { current = iface.getCurrentPrimitive(); };
    iface.addListener(primitive, second);
    iface.addListener(primitive, first);
    ASSERT_TRUE(deliver(wireMessage(0x100, {7, 8, 99})));
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(1, calls[0].order);
    EXPECT_EQ(2, calls[1].order);
    EXPECT_EQ(primitive, calls[0].primitive);
    EXPECT_EQ(PEER, calls[0].senderPid);
    EXPECT_EQ(99u, primitive->value);
    EXPECT_EQ(7u, primitive->getProcedureReference());
    // Listeners of the handlers' events read the received primitive here, and only while they run.
    EXPECT_EQ(primitive, current);
    EXPECT_EQ(nullptr, iface.getCurrentPrimitive());
}

}  // namespace
}  // namespace Sync
