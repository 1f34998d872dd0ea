// The in-process transport the unit tests and fuzz targets run on. What matters is what a test could
// not see for itself: the records it asserts on (sent, monitored, located, subscribed, published) are
// kept, the notices fire once to the right sender, and the descriptor is readable exactly while
// messages wait.
#include <gtest/gtest.h>
#include <poll.h>

#include <cstring>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "kolm.h"
#include "tavi.h"

namespace {

bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

uint32_t word(const void* msg, std::size_t offset) {
    uint32_t value;
    std::memcpy(&value, static_cast<const char*>(msg) + offset, sizeof value);
    return value;
}

// Every waiting message as number, sender and the word at offset 4 (0 when the message ends before).
std::vector<std::vector<uint32_t>> drain() {
    std::vector<std::vector<uint32_t>> all;
    while (void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER)) {
        all.push_back({word(msg, 0), tavi_sender(msg), tavi_size(msg) >= 8 ? word(msg, 4) : 0});
        tavi_free(&msg);
    }
    return all;
}

class FakeTaviTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeTavi::reset();
        FakeTavi::setOwnId(77);
        ASSERT_EQ(tavi_init(1, 0, 0, 0, 0), 0);
        ASSERT_EQ(tavi_create_mailbox("me", 0), 77u);
    }
    void TearDown() override { FakeTavi::reset(); }

    static void* message(uint32_t msgno, uint32_t size = 8) { return tavi_alloc(size, msgno); }
};

TEST_F(FakeTaviTest, InjectedMessagesKeepTheirBytesAndSenderAndMakeTheDescriptorReadable) {
    const int fd = tavi_get_fd();
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(readable(fd));
    const uint8_t bytes[] = {1, 0, 0, 0, 0xAA, 0xBB, 0xCC};
    EXPECT_FALSE(FakeTavi::inject(123, bytes, 3));  // the bus never delivers less than a message number
    ASSERT_TRUE(FakeTavi::inject(123, bytes, sizeof bytes));
    ASSERT_TRUE(FakeTavi::inject(124, bytes, 4));
    EXPECT_TRUE(readable(fd));
    void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER);
    ASSERT_NE(msg, nullptr);
    EXPECT_EQ(tavi_sender(msg), 123u);
    EXPECT_EQ(tavi_size(msg), sizeof bytes);
    EXPECT_EQ(std::memcmp(msg, bytes, sizeof bytes), 0);
    tavi_free(&msg);
    EXPECT_TRUE(readable(fd));
    EXPECT_EQ(drain(), (std::vector<std::vector<uint32_t>>{{1, 124, 0}}));
    EXPECT_FALSE(readable(fd));
}

TEST_F(FakeTaviTest, SendRecordsAndTakesTheMessageAndDeliversToTheOwnMailbox) {
    void* msg = message(0x1234, 12);
    static_cast<uint8_t*>(msg)[11] = 0x5A;
    tavi_send(&msg, 77, TAVI_OWN_ID);
    EXPECT_EQ(msg, nullptr);
    void* onBehalf = message(0x99);
    tavi_send(&onBehalf, 501, 3000);

    const auto& sent = FakeTavi::sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].to, 77u);
    EXPECT_EQ(sent[0].from, 77u);
    EXPECT_EQ(sent[0].msgno(), 0x1234u);
    ASSERT_EQ(sent[0].bytes.size(), 12u);
    EXPECT_EQ(sent[0].bytes[11], 0x5A);
    EXPECT_EQ(sent[1].from, 3000u);
    EXPECT_EQ(sent[1].word(8), 0u);  // past the end reads as 0
    EXPECT_EQ(drain(), (std::vector<std::vector<uint32_t>>{{0x1234, 77, 0}}));
}

// What a monitor and a locate record and deliver is pinned by the interface tests that use them; that a
// monitor fires once, and that ending one leaves another of the same peer, only here.
TEST_F(FakeTaviTest, AMonitorFiresOnceAndEndingOneLeavesTheOthers) {
    void* kept = message(0x10);
    void* ended = message(0x11);
    tavi_monitor(5, &kept);
    tavi_unmonitor(tavi_monitor(5, &ended));
    EXPECT_EQ(FakeTavi::monitoredPids(), (std::vector<uint32_t>{5}));
    EXPECT_EQ(FakeTavi::fireMonitor(5), 1u);
    EXPECT_EQ(FakeTavi::fireMonitor(5), 0u);
    EXPECT_EQ(drain(), (std::vector<std::vector<uint32_t>>{{0x10, 5, 0}}));
}

// What a response holds is pinned by the interface tests that subscribe.
TEST_F(FakeTaviTest, SubscriptionSeesEveryOwnerChange) {
    FakeTavi::serviceUp("sci", "sync", 41);
    ASSERT_EQ(kolm_subscribe("sci", "sync", 1, TAVI_OWN_ID), 0);
    const uint32_t id = FakeTavi::subscriptions().at(0).id;
    FakeTavi::serviceUp("sci", "other-domain", 40);
    FakeTavi::serviceUp("sci", "sync", 42);  // new owner: the old one is lost first
    FakeTavi::serviceDown("sci", "sync");
    FakeTavi::serviceDown("sci", "sync");  // no owner left: nothing
    EXPECT_EQ(drain(), (std::vector<std::vector<uint32_t>>{{KOLM_SUBSCRIBE_RSP, 77, id},
                                                           {KOLM_SERVICE_ADDED_IND, 41, id},
                                                           {KOLM_SERVICE_REMOVED_IND, 41, id},
                                                           {KOLM_SERVICE_ADDED_IND, 42, id},
                                                           {KOLM_SERVICE_REMOVED_IND, 42, id}}));
    EXPECT_EQ(kolm_unsubscribe(id, TAVI_OWN_ID), 0);
    EXPECT_NE(kolm_unsubscribe(id, TAVI_OWN_ID), 0);
    FakeTavi::serviceUp("sci", "sync", 43);
    EXPECT_TRUE(drain().empty());
}

TEST_F(FakeTaviTest, PublishRefusalsAndOwnPublicationSeenBySubscriber) {
    ASSERT_EQ(kolm_subscribe("Me", "sync", 1, TAVI_OWN_ID), 0);
    EXPECT_NE(kolm_publish("Me", "sync", 78, ""), 0);  // not a mailbox of this process
    FakeTavi::failPublish();
    EXPECT_NE(kolm_publish("Me", "sync", 77, ""), 0);
    FakeTavi::failPublish(false);
    EXPECT_EQ(kolm_publish("Me", "sync", 77, "q"), 0);
    EXPECT_NE(kolm_publish("Me", "sync", 77, "q"), 0);  // taken
    ASSERT_EQ(FakeTavi::published().size(), 1u);
    EXPECT_EQ(FakeTavi::published()[0].qualifier, "q");
    EXPECT_EQ(kolm_unpublish("Me", "sync", 77, "q"), 0);
    EXPECT_TRUE(FakeTavi::published().empty());
    EXPECT_EQ(FakeTavi::publishCalls().size(), 5u);
    EXPECT_EQ(drain(), (std::vector<std::vector<uint32_t>>{{KOLM_SUBSCRIBE_RSP, 77, 1},
                                                           {KOLM_SERVICE_ADDED_IND, 77, 1},
                                                           {KOLM_SERVICE_REMOVED_IND, 77, 1}}));
}

TEST_F(FakeTaviTest, DeletingTheMailboxDropsQueueWatchesAndNames) {
    const int fd = tavi_get_fd();
    void* m = message(1);
    tavi_monitor(5, &m);
    ASSERT_EQ(kolm_publish("Me", "sync", 77, ""), 0);
    uint32_t bytes = 3;
    FakeTavi::inject(1, &bytes, sizeof bytes);

    tavi_delete_mailbox(77);
    EXPECT_EQ(FakeTavi::ownId(), TAVI_NO_ID);
    EXPECT_EQ(FakeTavi::deletedIds(), (std::vector<uint32_t>{77}));
    EXPECT_TRUE(FakeTavi::published().empty());
    EXPECT_TRUE(FakeTavi::monitoredPids().empty());
    EXPECT_FALSE(readable(fd));
    EXPECT_FALSE(FakeTavi::inject(1, &bytes, sizeof bytes));
    tavi_exit();
    EXPECT_EQ(tavi_get_fd(), -1);
}

TEST(FakeTaviLifecycle, CallsBeforeInitFailureSwitchesAndAllocation) {
    FakeTavi::reset();
    EXPECT_EQ(tavi_create_mailbox("x", 0), TAVI_NO_ID);
    EXPECT_EQ(tavi_receive(nullptr, 0, TAVI_ANY_SENDER), nullptr);
    FakeTavi::failInit();
    EXPECT_NE(tavi_init(1, 0, 0, 0, 0), 0);
    FakeTavi::failInit(false);
    ASSERT_EQ(tavi_init(1, 0, 0, 0, 0), 0);
    FakeTavi::failCreateMailbox();
    EXPECT_EQ(tavi_create_mailbox("x", 0), TAVI_NO_ID);
    FakeTavi::failCreateMailbox(false);
    EXPECT_EQ(tavi_create_mailbox("x", 0), 0x1001u);
    EXPECT_EQ(tavi_create_mailbox("y", 0), TAVI_NO_ID);  // one mailbox per process

    EXPECT_EQ(tavi_alloc(3, 1), nullptr);
    void* msg = tavi_alloc(24, 0xABCD);
    ASSERT_NE(msg, nullptr);
    EXPECT_EQ(word(msg, 0), 0xABCDu);
    EXPECT_EQ(word(msg, 20), 0u);
    EXPECT_EQ(tavi_size(msg), 24u);
    tavi_free(&msg);
    FakeTavi::reset();
}

}  // namespace
