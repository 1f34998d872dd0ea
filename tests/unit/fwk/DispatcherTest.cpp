#include "control/Dispatcher.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "Macros.h"
#include "MessagingTestDoubles.h"
#include "TraceCapture.h"
#include "control/BaseInterface.h"

namespace Sync {
namespace {

using Test::FakeMailbox;
using Test::TraceCapture;
using Test::wireMessage;

// Claims the message numbers it is given and records what happens to it in a shared journal.
class JournalInterface : public BaseInterface {
  public:
    JournalInterface(int name, std::set<uint32_t> accepted, std::vector<std::string>* journal)
        : BaseInterface(FakeMailbox::OWN_ID), name(name), accepted(std::move(accepted)), journal(journal) {}
    ~JournalInterface() override { note("deleted"); }

    bool dispatchMsg(void* msg) override {
        if (onOffer)
            onOffer();
        const bool taken = accepted.count(getMsgno(msg)) != 0;
        note(taken ? "took" : "declined");
        return taken;
    }
    void attachIf() override { note("attach"); }
    void detachIf() override { note("detach"); }
    void dispatchPrimitive(BasePrimitive*, uint32_t) override {}

    std::function<void()> onOffer;

  private:
    void note(const char* what) { journal->push_back(std::to_string(name) + " " + what); }

    int name;
    std::set<uint32_t> accepted;
    std::vector<std::string>* journal;
};

class DispatcherTest : public ::testing::Test {
  protected:
    ~DispatcherTest() override {
        for (uint32_t id : {1u, 2u, 3u, 5u, 9u})
            dispatcher.removeInterface(id);
    }

    JournalInterface* add(uint32_t id, std::set<uint32_t> accepted) {
        auto* iface = new JournalInterface(static_cast<int>(id), std::move(accepted), &journal);
        EXPECT_TRUE(dispatcher.addInterface(id, iface));
        return iface;
    }
    bool offer(uint32_t msgno) {
        journal.clear();
        return mailbox.deliver(0x2002, wireMessage(msgno, {0, 0}),
                               [this](void* msg) { return dispatcher.dispatch(msg); });
    }

    FakeMailbox mailbox;
    std::vector<std::string> journal;
    Dispatcher dispatcher;
};

TEST_F(DispatcherTest, RefusesNullAndTakenIds) {
    TraceCapture capture;
    EXPECT_FALSE(dispatcher.addInterface(1, nullptr));
    EXPECT_TRUE(capture.contains(TL_ERROR, "Coding error: Try to add a null pointer!"));
    JournalInterface* first = add(1, {});
    JournalInterface second(7, {}, &journal);
    EXPECT_FALSE(dispatcher.addInterface(1, &second));
    EXPECT_EQ(first, dispatcher.getInterface(1));
    EXPECT_EQ(nullptr, dispatcher.getInterface(2));
}

TEST_F(DispatcherTest, LowerHandlerIdIsOfferedFirstAndTheFirstTakerEndsTheSearch) {
    EXPECT_FALSE(offer(0x100));  // no interfaces
    add(5, {0x100, 0x300});
    add(2, {0x100, 0x200});
    add(9, {0x300});
    struct Case {
        uint32_t msgno;
        bool taken;
        std::vector<std::string> journal;
    } cases[] = {
        {0x100, true, {"2 took"}},
        {0x200, true, {"2 took"}},
        {0x300, true, {"2 declined", "5 took"}},
        {0x400, false, {"2 declined", "5 declined", "9 declined"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.taken, offer(c.msgno)) << c.msgno;
        EXPECT_EQ(c.journal, journal) << c.msgno;
    }
}

TEST_F(DispatcherTest, AttachAndDetachRunInAscendingIdOrder) {
    add(3, {});
    add(1, {});
    add(2, {});
    dispatcher.attachInterfaces();
    dispatcher.detachInterfaces();
    EXPECT_EQ(
        (std::vector<std::string>{"1 attach", "2 attach", "3 attach", "1 detach", "2 detach", "3 detach"}),
        journal);
}

TEST_F(DispatcherTest, RemovedInterfaceIsDetachedDeletedAndSkippedEvenMidDispatch) {
    JournalInterface* first = add(1, {});
    add(2, {0x100});
    add(3, {0x100});
    first->onOffer = [this] { dispatcher.removeInterface(2); };
    EXPECT_TRUE(offer(0x100));
    EXPECT_EQ((std::vector<std::string>{"2 detach", "2 deleted", "1 declined", "3 took"}), journal);
    EXPECT_EQ(nullptr, dispatcher.getInterface(2));
    dispatcher.removeInterface(2);  // gone already: nothing happens
    EXPECT_TRUE(offer(0x100));
}

}  // namespace
}  // namespace Sync
