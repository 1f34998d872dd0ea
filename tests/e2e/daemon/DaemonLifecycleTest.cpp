// The daemon binary on a private bus: the names it owns, and how it ends.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>

#include "CaseName.h"
#include "DaemonProcess.h"
#include "PrivateBus.h"

namespace {

using E2e::DaemonProcess;
using E2e::ExitStatus;

constexpr auto kExitWait = std::chrono::seconds(10);

std::string idBusName(uint32_t id) {
    return "org.tavi.Id.m" + std::to_string(id);
}

class DaemonLifecycleTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(bus_.running()) << "dbus-daemon did not start"; }

    PrivateBus bus_;
};

// argv[0] as the daemon is started, and the mailbox bus name its base name must give.
struct NameCase {
    const char* what;
    const char* argv0;
    const char* mailboxBusName;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.argv0;
}

class DaemonNamesTest : public DaemonLifecycleTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(DaemonNamesTest, OwnsMailboxServiceAndIdNamesOnOneConnection) {
    DaemonProcess daemon({GetParam().argv0});
    ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();

    E2e::BusClient& view = daemon.bus();
    const std::string owner = view.ownerOf(DaemonProcess::kServiceBusName);
    ASSERT_FALSE(owner.empty());
    EXPECT_EQ(view.processOf(owner), daemon.pid());
    EXPECT_EQ(view.ownerOf(GetParam().mailboxBusName), owner);
    EXPECT_EQ(view.ownerOf(idBusName(daemon.mailboxId())), owner);
    EXPECT_TRUE(daemon.running());
}

INSTANTIATE_TEST_SUITE_P(
    Argv0, DaemonNamesTest,
    ::testing::Values(
        NameCase{"full path", "/usr/sbin/sync-lumov-control", "org.tavi.Mailbox.sync_2dlumov_2dcontrol"},
        NameCase{"no directory", "sync-lumov-control", "org.tavi.Mailbox.sync_2dlumov_2dcontrol"},
        NameCase{"backslash last", "a/b\\c", "org.tavi.Mailbox.c"},
        NameCase{"leading digit and dot", "./tools/2nd.daemon", "org.tavi.Mailbox._32nd_2edaemon"}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return E2e::caseName(info.param.what); });

TEST_F(DaemonLifecycleTest, SecondInstanceOfTheSameNameAbortsAndFirstKeepsItsNames) {
    DaemonProcess first;
    ASSERT_TRUE(first.waitUntilReady()) << first.output();
    const std::string owner = first.bus().ownerOf(DaemonProcess::kServiceBusName);

    DaemonProcess second;
    EXPECT_EQ(second.waitExit(kExitWait), ExitStatus::killedBy(SIGABRT)) << second.output();

    EXPECT_TRUE(first.running());
    EXPECT_EQ(first.bus().ownerOf(DaemonProcess::kServiceBusName), owner);
    EXPECT_EQ(first.bus().ownerOf("org.tavi.Mailbox.sync_2dlumov_2dcontrol"), owner);
    EXPECT_EQ(first.askId(), first.mailboxId());
}

TEST_F(DaemonLifecycleTest, AbortsWhenTheBusGoesAway) {
    DaemonProcess daemon;
    ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();

    bus_.stop();

    EXPECT_EQ(daemon.waitExit(kExitWait), ExitStatus::killedBy(SIGABRT)) << daemon.output();
}

}  // namespace
