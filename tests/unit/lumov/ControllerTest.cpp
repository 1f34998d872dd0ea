#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "Macros.h"
#include "TraceCapture.h"
#include "WireBytes.h"
#include "control/BaseInterface.h"
#include "control/Controller.h"
#include "control/Dispatcher.h"
#include "journal/PeerStatus.h"
#include "tavi.h"

namespace {

using Sync::Test::TraceCapture;

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
};

// The names a started daemon owns are pinned on the bus; what its end gives back is seen here.
TEST_F(ControllerTest, DestructionUndoesWhatInitDid) {
    auto* controller = new Sync::LumovControl::Controller("sync-lumov-control");
    controller->init();
    ASSERT_EQ(FakeTavi::published().size(), 1u);
    const uint32_t id = FakeTavi::ownId();
    delete controller;
    EXPECT_TRUE(FakeTavi::published().empty());
    ASSERT_FALSE(FakeTavi::publishCalls().empty());
    EXPECT_FALSE(FakeTavi::publishCalls().back().publish);
    EXPECT_EQ(FakeTavi::deletedIds(), std::vector<uint32_t>{id});
    EXPECT_FALSE(FakeTavi::initialised());
}

TEST_F(ControllerTest, OneMessageIsTakenPerReadiness) {
    Sync::LumovControl::Controller controller("daemon");
    controller.init();
    drain(controller);
    ASSERT_TRUE(FakeTavi::inject(0x777, Sync::Test::Bytes(1, 4)));
    ASSERT_TRUE(FakeTavi::inject(0x777, Sync::Test::Bytes(2, 4)));
    controller.onRead();
    EXPECT_EQ(FakeTavi::pending(), 1u);
    controller.onRead();
    EXPECT_EQ(FakeTavi::pending(), 0u);

    TraceCapture capture;
    controller.onRead();
    EXPECT_TRUE(capture.contains(Sync::TL_WARNING, "TAVI msg received as nullptr"));
}

// What systemd's STATUS= will say: nothing before start-up, then outputs, quality and peers.
TEST_F(ControllerTest, TheStatusLineSaysOutputsQualityAndConnectedPeers) {
    Sync::PeerStatus::reset();
    Sync::LumovControl::Controller controller("daemon");
    EXPECT_EQ(controller.statusLine(), "");
    controller.init();
    EXPECT_EQ(controller.statusLine(), "0 outputs (0 enabled), settled quality QL_UNKNOWN, connected: none");
    Sync::PeerStatus::connected(Sync::PeerStatus::SYNC_CONTROL, 5);
    Sync::PeerStatus::connected(Sync::PeerStatus::COMMAND, 6);
    EXPECT_EQ(controller.statusLine(),
              "0 outputs (0 enabled), settled quality QL_UNKNOWN, connected: sync-control command");
    Sync::PeerStatus::reset();
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
