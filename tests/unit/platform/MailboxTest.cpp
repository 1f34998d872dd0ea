#include <signal.h>
#include <sys/socket.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "BusNames.h"
#include "BusTestSupport.h"
#include "kolm.h"

namespace {

using namespace BusTest;
using Sync::Platform::BusNames;

constexpr uint32_t kPing = 0x1000;
constexpr uint32_t kDown = 0xD0;
constexpr uint32_t kFound = 0xF0;

class MailboxTest : public BusFixture {};

// Runs the mailbox's library and throws away whatever arrives.
void pump(Mailbox& mailbox) {
    processOthers(&mailbox);
    while (void* msg = mailbox.receive()) {
        tavi_free(&msg);
    }
}

// The bus stops reading for a while, so the sender's socket fills and its library waits for room
// while the receiver takes one message per readiness. Every message arrives, in order, and none stays
// behind in the sender's library once its last send returned.
TEST_F(MailboxTest, BurstBeyondTheSocketArrivesWholeAndInOrder) {
    constexpr uint32_t kCount = 4000;
    constexpr uint32_t kSize = 2048;
    auto a = make("sender");
    auto b = make("receiver");
    ASSERT_TRUE(a && b);
    const uint32_t to = b->id();
    ASSERT_EQ(kill(bus_.pid(), SIGSTOP), 0);
    std::thread sender([&a, to] {
        for (uint32_t i = 0; i < kCount; ++i) {
            sendWord(*a, to, kPing, i, kSize);
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    kill(bus_.pid(), SIGCONT);
    uint32_t arrived = 0;
    uint32_t outOfOrder = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (arrived < kCount && std::chrono::steady_clock::now() < deadline) {
        readable(b->fd(), 100);
        if (void* msg = b->receive()) {
            outOfOrder += word(msg, 4) != arrived || tavi_size(msg) != kSize;
            ++arrived;
            tavi_free(&msg);
        }
    }
    b.reset();  // a sender still waiting for room sees its messages dropped and returns
    sender.join();
    EXPECT_EQ(arrived, kCount);
    EXPECT_EQ(outOfOrder, 0u);
}

// From a bare message number to past 64 KiB, every byte arrives, with its sender.
TEST_F(MailboxTest, MessagesOfAnySizeArriveByteForByteAndShorterOnesNeverLeave) {
    auto a = make("sender");
    auto b = make("receiver");
    ASSERT_TRUE(a && b);
    for (uint32_t size : {4u, 5u, 12u, 255u, 4096u, 65539u}) {
        SCOPED_TRACE(size);
        auto* msg = static_cast<uint8_t*>(tavi_alloc(size, kPing));
        for (uint32_t k = 4; k < size; ++k)
            msg[k] = static_cast<uint8_t>(size * 31 + k);
        const std::vector<uint8_t> sent(msg, msg + size);
        void* sending = msg;
        a->send(&sending, b->id());
        void* got = nullptr;
        for (int turn = 0; turn < 500 && got == nullptr; ++turn) {
            processOthers(b.get());
            got = b->receive(10);
        }
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(tavi_sender(got), a->id());
        const auto* bytes = static_cast<const uint8_t*>(got);
        EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + tavi_size(got)), sent);
        tavi_free(&got);
    }
    // Less than a message number never leaves the sender, so the receiver has nothing to warn about.
    const uint8_t three[3] = {1, 2, 3};
    a->send(three, sizeof three, b->id());
    sendWord(*a, b->id(), kPing, 7);
    EXPECT_EQ(collect(*b, 1), (std::vector<Received>{{kPing, a->id(), 7, 8}}));
    EXPECT_TRUE(warnings().empty());
}

TEST_F(MailboxTest, MessageToOwnIdAndToMissingMailbox) {
    auto a = make("alpha");
    ASSERT_TRUE(a);
    sendWord(*a, 123456, kPing, 1);  // nobody: dropped
    sendWord(*a, a->id(), kPing, 2);
    EXPECT_EQ(collect(*a, 1), (std::vector<Received>{{kPing, a->id(), 2, 8}}));
    EXPECT_TRUE(warnings().empty());
}

// A wait for a deadline never ends before it: a part of a millisecond counts as a whole one.
TEST(MailboxWaitTest, TheWaitReachesTheDeadline) {
    const auto nowUsec = [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
    };
    const uint64_t deadline = nowUsec() + 1500;
    const int waitMs = Mailbox::millisecondsUntil(deadline);
    EXPECT_GE(uint64_t(waitMs) * 1000, deadline - std::min(deadline, nowUsec()));
    EXPECT_EQ(Mailbox::millisecondsUntil(UINT64_MAX), -1);
}

TEST_F(MailboxTest, NamesAreExclusiveAndFreedOnClose) {
    auto a = make("shared name");
    ASSERT_TRUE(a);
    EXPECT_EQ(Mailbox::create("shared name"), nullptr);
    EXPECT_EQ(Mailbox::create(std::string(240, 'x')), nullptr);  // bus name past 255 bytes
    EXPECT_NE(Mailbox::create(std::string(238, 'x')), nullptr);  // exactly 255
    a->close();
    EXPECT_FALSE(a->connected());
    pollfd p{a->fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, kWaitMs), 1);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0);
    EXPECT_TRUE(eventually([] { return Mailbox::create("shared name") != nullptr; }));
}

TEST_F(MailboxTest, MonitorFiresWhenPeerGoesAndNotAfterUnmonitor) {
    auto a = make("watcher");
    auto b = make("watched");
    auto c = make("also-watched");
    ASSERT_TRUE(a && b && c);
    void* first = tavi_alloc(8, kDown);
    void* second = tavi_alloc(8, kDown + 1);
    void* cancelled = tavi_alloc(8, kDown + 2);
    uint32_t ref1 = a->monitor(b->id(), &first);
    uint32_t ref2 = a->monitor(b->id(), &second);
    uint32_t ref3 = a->monitor(c->id(), &cancelled);
    EXPECT_EQ(first, nullptr);
    EXPECT_TRUE(ref1 != 0 && ref2 != 0 && ref3 != 0 && ref1 != ref2 && ref2 != ref3);
    EXPECT_EQ(a->monitor(b->id(), nullptr), 0u);

    EXPECT_EQ(collect(*a, 0), std::vector<Received>{});  // both alive: nothing
    a->unmonitor(ref3);
    uint32_t bId = b->id();
    b.reset();
    c.reset();
    EXPECT_EQ(collect(*a, 2), (std::vector<Received>{{kDown, bId, 0, 8}, {kDown + 1, bId, 0, 8}}));
    EXPECT_EQ(a->watchedNames(), 0u);

    // A mailbox that is not there fires at once.
    void* absent = tavi_alloc(4, kDown);
    EXPECT_NE(a->monitor(777, &absent), 0u);
    EXPECT_EQ(collect(*a, 1), (std::vector<Received>{{kDown, 777, 0, 4}}));
}

TEST_F(MailboxTest, LocateFindsExistingAndLaterMailboxOnce) {
    auto a = make("seeker");
    auto early = make("early");
    ASSERT_TRUE(a && early);
    void* m1 = tavi_alloc(4, kFound);
    void* m2 = tavi_alloc(4, kFound + 1);
    a->locate("early", &m1);
    a->locate("late one", &m2);
    EXPECT_EQ(m1, nullptr);
    EXPECT_EQ(collect(*a, 1), (std::vector<Received>{{kFound, early->id(), 0, 4}}));

    auto late = make("late one");
    ASSERT_TRUE(late);
    EXPECT_EQ(collect(*a, 1), (std::vector<Received>{{kFound + 1, late->id(), 0, 4}}));
    late.reset();
    auto again = make("late one");  // the locate has ended: nothing more
    EXPECT_EQ(collect(*a, 0), std::vector<Received>{});
    EXPECT_EQ(a->watchedNames(), 0u);
}

TEST_F(MailboxTest, LocateWaitsForAnOwnerThatAnswersId) {
    auto a = make("seeker");
    ASSERT_TRUE(a);
    RawConnection impostor;  // owns the name but never answers
    ASSERT_NE(impostor.bus(), nullptr);
    ASSERT_GE(sd_bus_request_name(impostor.bus(), BusNames::mailbox("target").c_str(), 0), 0);
    void* msg = tavi_alloc(4, kFound);
    a->locate("target", &msg);
    EXPECT_EQ(collect(*a, 0, 1500), std::vector<Received>{});
    ASSERT_EQ(warnings().size(), 1u);
    EXPECT_NE(warnings()[0].find("Id()"), std::string::npos) << warnings()[0];

    sd_bus_release_name(impostor.bus(), BusNames::mailbox("target").c_str());
    auto target = make("target");
    ASSERT_TRUE(target);
    EXPECT_EQ(collect(*a, 1), (std::vector<Received>{{kFound, target->id(), 0, 4}}));
}

TEST_F(MailboxTest, SubscriptionFollowsEveryOwner) {
    auto client = make("client");
    auto server1 = make("server1");
    auto server2 = make("server2");
    ASSERT_TRUE(client && server1 && server2);
    uint32_t sub = client->subscribe("sci", "sync", 0xFEEDFACECAFEBEEFull);
    ASSERT_NE(sub, 0u);
    void* rsp = client->receive(kWaitMs);
    ASSERT_NE(rsp, nullptr);
    EXPECT_EQ(tavi_size(rsp), KOLM_SUBSCRIBE_RSP_SIZE);
    EXPECT_EQ(word(rsp, 0), KOLM_SUBSCRIBE_RSP);
    EXPECT_EQ(word(rsp, 4), sub);
    uint64_t tag;
    std::memcpy(&tag, static_cast<char*>(rsp) + 8, sizeof tag);
    EXPECT_EQ(tag, 0xFEEDFACECAFEBEEFull);
    EXPECT_EQ(tavi_sender(rsp), client->id());
    tavi_free(&rsp);

    EXPECT_EQ(server1->publish("sci", "other"), 0);  // another domain: not ours
    EXPECT_EQ(server1->publish("sci", "sync"), 0);
    EXPECT_NE(server2->publish("sci", "sync"), 0);  // taken
    EXPECT_EQ(collect(*client, 1), (std::vector<Received>{{KOLM_SERVICE_ADDED_IND, server1->id(), sub, 8}}));
    EXPECT_EQ(server1->unpublish("sci", "sync"), 0);
    EXPECT_EQ(server2->publish("sci", "sync"), 0);
    EXPECT_EQ(collect(*client, 2), (std::vector<Received>{{KOLM_SERVICE_REMOVED_IND, server1->id(), sub, 8},
                                                          {KOLM_SERVICE_ADDED_IND, server2->id(), sub, 8}}));

    uint32_t later = client->subscribe("sci", "sync", 5);  // service already present
    EXPECT_GT(later, sub);
    EXPECT_EQ(collect(*client, 2),
              (std::vector<Received>{{KOLM_SUBSCRIBE_RSP, client->id(), later, 16},
                                     {KOLM_SERVICE_ADDED_IND, server2->id(), later, 8}}));
    EXPECT_EQ(client->unsubscribe(sub), 0);
    EXPECT_NE(client->unsubscribe(sub), 0);
    uint32_t lastOwner = server2->id();
    server2.reset();
    EXPECT_EQ(collect(*client, 1), (std::vector<Received>{{KOLM_SERVICE_REMOVED_IND, lastOwner, later, 8}}));
}

// The descriptor stays readable while messages wait, also when a blocking call (waiting for the bus's
// answer) has read them off the socket into sd-bus.
TEST_F(MailboxTest, DescriptorStaysReadableWhileMessagesWait) {
    for (bool blockingCall : {false, true}) {
        SCOPED_TRACE(blockingCall);
        auto a = make(blockingCall ? "blocked sender" : "sender");
        auto b = make(blockingCall ? "blocked receiver" : "receiver");
        ASSERT_TRUE(a && b);
        EXPECT_TRUE(eventually([&] { return pump(*b), !readable(b->fd()); }));
        for (uint32_t i = 0; i < 3; ++i) {
            sendWord(*a, b->id(), kPing, i);
        }
        if (blockingCall) {
            ASSERT_TRUE(readable(b->fd(), kWaitMs));
            ASSERT_EQ(b->publish("x", "y"), 0);
        }
        for (uint32_t i = 0; i < 3; ++i) {
            ASSERT_TRUE(readable(b->fd(), kWaitMs)) << i;
            void* msg = nullptr;
            // Bus traffic of its own may make a receive come back empty; a message still follows.
            EXPECT_TRUE(eventually([&] { return (msg = b->receive()) != nullptr; }));
            EXPECT_EQ(word(msg, 4), i);
            tavi_free(&msg);
        }
    }
}

TEST_F(MailboxTest, EveryEndedWatchRemovesItsMatch) {
    auto a = make("watcher");
    auto b = make("watched");
    ASSERT_TRUE(a && b);
    RawConnection observer;
    std::string aName = BusNames::id(a->id());
    int baseline = observer.matchRules(aName);
    if (baseline < 0) {
        GTEST_SKIP() << "the bus offers no statistics";
    }
    void* m1 = tavi_alloc(4, kDown);
    void* m2 = tavi_alloc(4, kDown);
    void* m3 = tavi_alloc(4, kFound);
    void* m4 = tavi_alloc(4, kFound);
    uint32_t ref = a->monitor(b->id(), &m1);
    a->monitor(b->id(), &m2);  // same name: no second match
    a->locate("absent", &m3);
    a->locate("watched", &m4);
    uint32_t sub = a->subscribe("s", "d", 1);
    EXPECT_TRUE(eventually([&] { return pump(*a), observer.matchRules(aName) == baseline + 4; }))
        << observer.matchRules(aName);

    a->unmonitor(ref);
    EXPECT_EQ(a->watchedNames(), 4u);
    EXPECT_TRUE(eventually([&] { return pump(*a), a->watchedNames() == 3u; }));  // "watched" located
    a->unsubscribe(sub);
    b.reset();  // the remaining monitor fires
    auto absent = make("absent");
    EXPECT_TRUE(eventually([&] { return pump(*a), a->watchedNames() == 0u; }));
    EXPECT_TRUE(eventually([&] { return pump(*a), observer.matchRules(aName) == baseline; }))
        << observer.matchRules(aName);
}

}  // namespace
