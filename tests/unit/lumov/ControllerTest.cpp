#include <gtest/gtest.h>
#include <sys/epoll.h>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "Macros.h"
#include "TraceCapture.h"
#include "control/BaseInterface.h"
#include "control/Controller.h"
#include "control/Dispatcher.h"
#include "control/ProcessName.h"
#include "tavi.h"

namespace {

using Sync::Test::TraceCapture;

TEST(ProcessName, KeepsWhatFollowsTheLastSeparator) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a/b\\c", "c"},
        {"/usr/sbin/sync-lumov-control", "sync-lumov-control"},
        {"sync-lumov-control", "sync-lumov-control"},
        {"dir\\name", "name"},
        {"trailing/", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sync::LumovControl::processName(c.first), c.second) << c.first;
    }
}

class ControllerTest : public ::testing::Test {
  protected:
    // The tracing library runs threads of its own; fork-and-re-execute keeps death tests sound.
    static void SetUpTestSuite() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    void SetUp() override { FakeTavi::reset(); }
    void TearDown() override { FakeTavi::reset(); }

    // Handles what the handlers' start-up queued (name-service answers), so a test sees only its own.
    static void drain(Sync::LumovControl::Controller& controller) {
        for (int i = 0; i < 100 && FakeTavi::pending() > 0; ++i) {
            controller.onRead();
        }
        ASSERT_EQ(FakeTavi::pending(), 0u);
    }

    static std::vector<uint8_t> message(uint32_t msgno, size_t size) {
        std::vector<uint8_t> bytes(size, 0);
        std::memcpy(bytes.data(), &msgno, sizeof msgno);
        return bytes;
    }
};

TEST_F(ControllerTest, InitCreatesMailboxPublishesAndDestructionUndoesIt) {
    auto* controller = new Sync::LumovControl::Controller("sync-lumov-control");
    controller->init();

    EXPECT_EQ(FakeTavi::mailboxName(), "sync-lumov-control");
    EXPECT_EQ(controller->getOwnIdentity(), FakeTavi::ownId());
    EXPECT_STREQ(controller->getOwnServiceName(), "SyncLumovControl");
    ASSERT_EQ(FakeTavi::published().size(), 1u);
    EXPECT_EQ(FakeTavi::published()[0].service, "SyncLumovControl");
    EXPECT_EQ(FakeTavi::published()[0].domain, "sync");
    EXPECT_EQ(FakeTavi::published()[0].mailboxId, FakeTavi::ownId());
    EXPECT_EQ(FakeTavi::published()[0].qualifier, "");
    EXPECT_NE(controller->getDispatcher(), nullptr);

    const uint32_t id = FakeTavi::ownId();
    delete controller;
    EXPECT_TRUE(FakeTavi::published().empty());
    ASSERT_FALSE(FakeTavi::publishCalls().empty());
    EXPECT_FALSE(FakeTavi::publishCalls().back().publish);
    EXPECT_EQ(FakeTavi::deletedIds(), std::vector<uint32_t>{id});
    EXPECT_FALSE(FakeTavi::initialised());
}

TEST_F(ControllerTest, UnclaimedMessageIsReportedOnceInDecimalAndHexAndFreed) {
    Sync::LumovControl::Controller controller("daemon");
    controller.init();
    drain(controller);
    TraceCapture capture;
    ASSERT_TRUE(FakeTavi::inject(0x777, message(4660, 12)));
    controller.onRead();
    EXPECT_EQ(capture.count(Sync::TL_WARNING, "Unhandled message"), 1u) << capture.dump();
    EXPECT_TRUE(capture.contains(Sync::TL_WARNING, "Unhandled message, msg.id=4660 [0x00001234]"));
    EXPECT_EQ(FakeTavi::pending(), 0u);
}

TEST_F(ControllerTest, WarningsOfTheMailboxLibraryBecomeWarningTraces) {
    Sync::LumovControl::Controller controller("daemon");
    controller.init();
    TraceCapture capture;
    ASSERT_TRUE(FakeTavi::warn("dropped Deliver from :1.7 (mailbox 9): 0 bytes, less than a message number"));
    EXPECT_EQ(capture.count(Sync::TL_WARNING, ""), 1u) << capture.dump();
    EXPECT_TRUE(capture.contains(Sync::TL_WARNING, "(mailbox 9): 0 bytes, less than a message number"));
}

TEST_F(ControllerTest, OneMessageIsTakenPerReadiness) {
    Sync::LumovControl::Controller controller("daemon");
    controller.init();
    drain(controller);
    ASSERT_TRUE(FakeTavi::inject(0x777, message(1, 4)));
    ASSERT_TRUE(FakeTavi::inject(0x777, message(2, 4)));
    controller.onRead();
    EXPECT_EQ(FakeTavi::pending(), 1u);
    controller.onRead();
    EXPECT_EQ(FakeTavi::pending(), 0u);

    TraceCapture capture;
    controller.onRead();
    EXPECT_TRUE(capture.contains(Sync::TL_WARNING, "TAVI msg received as nullptr"));
}

TEST_F(ControllerTest, MailboxDescriptorIsWatchedByTheLoop) {
    Sync::LumovControl::Controller controller("daemon");
    controller.init();
    // Adding the descriptor a second time must fail: init already registered it.
    const int epfd = epoll_create1(0);
    ASSERT_GE(epfd, 0);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ASSERT_EQ(epoll_ctl(epfd, EPOLL_CTL_ADD, tavi_get_fd(), &ev), 0);
    ASSERT_TRUE(FakeTavi::inject(0x777, message(4660, 4)));
    epoll_event out{};
    EXPECT_EQ(epoll_wait(epfd, &out, 1, 1000), 1);
    close(epfd);
}

TEST_F(ControllerTest, RunWithoutInitDoesNotLoop) {
    Sync::LumovControl::Controller controller("daemon");
    TraceCapture capture;
    controller.run();
    EXPECT_TRUE(capture.contains(Sync::TL_ERROR,
                                 "Attempt to execute run without invoking startup. Preventing execution.."));
}

// The abort paths: the fake's state is printed from the SIGABRT handler of the dying child, so the
// death assertion sees what was cleaned up before the abort.
void reportStateOnAbort(int) {
    const auto deleted = FakeTavi::deletedIds();
    std::fprintf(stderr, "state: deleted=%zu initialised=%d published=%zu\n", deleted.size(),
                 FakeTavi::initialised() ? 1 : 0, FakeTavi::published().size());
    std::signal(SIGABRT, SIG_DFL);
    std::abort();
}

TEST_F(ControllerTest, FailedStartUpUndoesWhatWasDoneBeforeAborting) {
    const struct {
        void (*fail)(bool);
        const char* state;
    } cases[] = {
        {FakeTavi::failPublish, "state: deleted=1 initialised=0 published=0"},
        {FakeTavi::failCreateMailbox, "state: deleted=0 initialised=0 published=0"},
        {FakeTavi::failInit, "state: deleted=0 initialised=0 published=0"},
    };
    for (const auto& c : cases) {
        EXPECT_DEATH(
            {
                std::signal(SIGABRT, reportStateOnAbort);
                c.fail(true);
                Sync::LumovControl::Controller controller("daemon");
                controller.init();
            },
            c.state);
    }
}

TEST_F(ControllerTest, ErrorOnTheMailboxDescriptorCleansUpAndAborts) {
    EXPECT_DEATH(
        {
            std::signal(SIGABRT, reportStateOnAbort);
            Sync::LumovControl::Controller controller("daemon");
            controller.init();
            controller.onError();
        },
        "state: deleted=1 initialised=0 published=0");
}

}  // namespace
