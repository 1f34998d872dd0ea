#include <fcntl.h>

#include "BusTestSupport.h"
#include "kolm.h"

namespace {

using namespace BusTest;

class TaviApiTest : public BusFixture {
  protected:
    void TearDown() override {
        tavi_exit();
        BusFixture::TearDown();
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

}  // namespace
