#include <fcntl.h>
#include <signal.h>

#include <thread>

#include "BusNames.h"
#include "BusTestSupport.h"
#include "MailboxThread.h"
#include "kolm.h"

namespace {

using namespace BusTest;
using Sync::Platform::BusNames;
using Sync::Platform::MailboxThread;

constexpr uint32_t kPing = 0x1000;

class TaviApiTest : public BusFixture {
  protected:
    void TearDown() override {
        tavi_exit();
        BusFixture::TearDown();
    }

    // The process mailbox "daemon"; its id.
    static uint32_t open() {
        EXPECT_EQ(tavi_init(1, 0, 0, 0, 0), 0);
        const uint32_t id = tavi_create_mailbox("daemon", 0);
        EXPECT_NE(id, TAVI_NO_ID);
        return id;
    }
};

TEST_F(TaviApiTest, CallsWithoutMailboxAreHarmless) {
    EXPECT_EQ(tavi_create_mailbox("early", 0), TAVI_NO_ID);  // before tavi_init
    EXPECT_EQ(tavi_get_fd(), -1);
    EXPECT_EQ(tavi_receive(nullptr, 0, TAVI_ANY_SENDER), nullptr);
    void* msg = tavi_alloc(8, 1);
    tavi_send(&msg, 5, TAVI_OWN_ID);
    EXPECT_EQ(msg, nullptr);
    msg = tavi_alloc(8, 1);
    EXPECT_EQ(tavi_monitor(5, &msg), 0u);
    EXPECT_EQ(msg, nullptr);
    msg = tavi_alloc(8, 1);
    tavi_locate_async("x", &msg, TAVI_OWN_ID);
    EXPECT_EQ(msg, nullptr);
    EXPECT_NE(kolm_publish("s", "d", 1, ""), 0);
    EXPECT_NE(kolm_subscribe("s", "d", 1, TAVI_OWN_ID), 0);
    EXPECT_NE(tavi_init(0, 0, 0, 0, 0), 0);
    EXPECT_EQ(tavi_alloc(3, 1), nullptr);
}

// The process has one mailbox, and the name service takes only its id; messages, publishing and
// subscribing through these calls are the daemon's own road on the bus.
TEST_F(TaviApiTest, OneProcessMailboxAndOnlyItsIdIsServed) {
    ASSERT_EQ(tavi_init(1, 0, 0, 0, 0), 0);
    uint32_t id = tavi_create_mailbox("daemon", 0);
    ASSERT_NE(id, TAVI_NO_ID);
    EXPECT_EQ(tavi_create_mailbox("second", 0), TAVI_NO_ID);
    EXPECT_NE(kolm_publish("Svc", "sync", id + 1, ""), 0);
    EXPECT_EQ(kolm_publish("Svc", "sync", id, ""), 0);
    EXPECT_NE(kolm_subscribe("Svc", "sync", 9, id + 1), 0);
    EXPECT_EQ(kolm_unpublish("Svc", "sync", id, ""), 0);
}

TEST_F(TaviApiTest, DeletedMailboxKeepsDescriptorUntilExit) {
    ASSERT_EQ(tavi_init(1, 0, 0, 0, 0), 0);
    uint32_t id = tavi_create_mailbox("daemon", 0);
    ASSERT_NE(id, TAVI_NO_ID);
    int fd = tavi_get_fd();
    ASSERT_GE(fd, 0);
    tavi_delete_mailbox(id);
    EXPECT_EQ(tavi_get_fd(), fd);
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, kWaitMs), 1);
    EXPECT_NE(p.revents & POLLHUP, 0);
    EXPECT_EQ(tavi_receive(nullptr, 0, TAVI_ANY_SENDER), nullptr);
    EXPECT_TRUE(eventually([] { return Mailbox::create("daemon") != nullptr; }));  // the name went
    tavi_exit();
    EXPECT_EQ(fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(tavi_get_fd(), -1);
}

// The bus traffic of a watch the application starts and of a peer asking the mailbox's Id() is
// handled by the library's thread while the application calls nothing, and never makes the
// descriptor readable; messages do, exactly until the last one is taken; the bus going hangs it up.
TEST_F(TaviApiTest, DescriptorIsReadableOnlyWhileMessagesWaitAndHangsUpWithTheBus) {
    const uint32_t id = open();
    const int fd = tavi_get_fd();
    void* found = tavi_alloc(4, kPing);
    tavi_locate_async("nobody", &found, TAVI_OWN_ID);
    auto peer = make("peer");
    ASSERT_TRUE(peer);
    void* located = tavi_alloc(4, kPing);
    peer->locate("daemon", &located);
    Received r{};
    ASSERT_TRUE(next(*peer, r));
    EXPECT_EQ(r.sender, id);
    EXPECT_FALSE(readable(fd, 100));

    for (uint32_t i = 0; i < 3; ++i) {
        sendWord(*peer, id, kPing, i);
    }
    for (uint32_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(readable(fd, kWaitMs)) << i;
        void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER);
        ASSERT_NE(msg, nullptr) << i;
        EXPECT_EQ(word(msg, 4), i);
        tavi_free(&msg);
    }
    EXPECT_FALSE(readable(fd));
    EXPECT_EQ(tavi_receive(nullptr, 0, TAVI_ANY_SENDER), nullptr);

    bus_.stop();
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, kWaitMs), 1);
    EXPECT_NE(p.revents & POLLHUP, 0);
    EXPECT_TRUE(warnings().empty()) << warnings().front();
}

// The library's thread stops reading the bus once its queue is full and reads on once the
// application took half of it: everything arrives, in order, one message per readiness.
TEST_F(TaviApiTest, BurstBeyondTheQueueArrivesWholeAndInOrder) {
    constexpr uint32_t kCount = MailboxThread::kQueueLimit + 4000;
    const uint32_t id = open();
    auto peer = make("peer");
    ASSERT_TRUE(peer);
    uint32_t sent = 0;
    for (; sent < MailboxThread::kQueueLimit - 1; ++sent) {
        sendWord(*peer, id, kPing, sent);
    }
    // Its Id() answered, the thread has read all of them: the next message fills the queue.
    void* located = tavi_alloc(4, kPing);
    peer->locate("daemon", &located);
    Received r{};
    ASSERT_TRUE(next(*peer, r));
    for (; sent < kCount; ++sent) {
        sendWord(*peer, id, kPing, sent);
    }
    uint32_t arrived = 0;
    uint32_t outOfOrder = 0;
    while (arrived < kCount && readable(tavi_get_fd(), kWaitMs)) {
        void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER);
        ASSERT_NE(msg, nullptr) << "woken for nothing after " << arrived;
        outOfOrder += word(msg, 4) != arrived;
        ++arrived;
        tavi_free(&msg);
    }
    EXPECT_EQ(arrived, kCount);
    EXPECT_EQ(outOfOrder, 0u);
    EXPECT_FALSE(readable(tavi_get_fd()));
}

std::vector<std::thread::id>& warnedOn() {
    static std::vector<std::thread::id> threads;
    return threads;
}

// The library's thread calls nothing of the application: a warning it meets (a malformed Deliver)
// reaches the callback on the application's thread, in the receive the descriptor woke; and a
// signal the application blocks only after the mailbox exists, to read it itself, is not taken by
// the library's thread (where its default action would end the process).
TEST_F(TaviApiTest, TheLibrarysThreadLeavesWarningsAndSignalsToTheApplication) {
    const uint32_t id = open();
    warnedOn().clear();
    tavi_set_warning_callback([](const char* text) {
        warnings().push_back(text);
        warnedOn().push_back(std::this_thread::get_id());
    });
    RawConnection raw;
    ASSERT_NE(raw.bus(), nullptr);
    sd_bus_message* m = nullptr;
    ASSERT_GE(sd_bus_message_new_method_call(raw.bus(), &m, BusNames::id(id).c_str(), "/org/tavi/Mailbox",
                                             "org.tavi.Mailbox", "Deliver"),
              0);
    ASSERT_GE(sd_bus_message_append(m, "u", 7u), 0);
    sd_bus_message_set_expect_reply(m, 0);
    ASSERT_GE(sd_bus_send(raw.bus(), m, nullptr), 0);
    sd_bus_message_unref(m);
    sd_bus_flush(raw.bus());

    ASSERT_TRUE(readable(tavi_get_fd(), kWaitMs));
    EXPECT_TRUE(warnings().empty());
    EXPECT_EQ(tavi_receive(nullptr, 0, TAVI_ANY_SENDER), nullptr);
    ASSERT_EQ(warnings().size(), 1u);
    EXPECT_NE(warnings()[0].find("dropped Deliver"), std::string::npos) << warnings()[0];
    EXPECT_EQ(warnedOn()[0], std::this_thread::get_id());
    EXPECT_FALSE(readable(tavi_get_fd()));

    sigset_t usr1;
    sigset_t previous;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &usr1, &previous), 0);
    ASSERT_EQ(kill(getpid(), SIGUSR1), 0);
    const timespec bound{kWaitMs / 1000, 0};
    EXPECT_EQ(sigtimedwait(&usr1, nullptr, &bound), SIGUSR1);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace
