// The daemon binary on a private bus: the names it owns, and how it ends.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>

#include "DaemonProcess.h"
#include "PrivateBus.h"

namespace {

using E2e::DaemonProcess;
using E2e::ExitStatus;

constexpr auto kExitWait = std::chrono::seconds(10);

TEST(DaemonLifecycleTest, OwnsItsNamesOnOneConnectionAbortsAsASecondInstanceAndWhenTheBusGoes) {
    PrivateBus bus;
    ASSERT_TRUE(bus.running()) << "dbus-daemon did not start";
    // argv[0] as the daemon is started, and the mailbox bus name its base name must give.
    const std::pair<const char*, const char*> names[] = {
        {"/usr/sbin/sync-lumov-control", "org.tavi.Mailbox.sync_2dlumov_2dcontrol"},
        {"sync-lumov-control", "org.tavi.Mailbox.sync_2dlumov_2dcontrol"},
        {"a/b\\c", "org.tavi.Mailbox.c"},
        {"./tools/2nd.daemon", "org.tavi.Mailbox._32nd_2edaemon"}};
    for (const auto& [argv0, mailboxBusName] : names) {
        SCOPED_TRACE(argv0);
        DaemonProcess daemon({argv0});
        ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();
        const std::string owner = daemon.ownerOf(DaemonProcess::kServiceBusName);
        ASSERT_FALSE(owner.empty());
        EXPECT_EQ(daemon.processOf(owner), daemon.pid());
        EXPECT_EQ(daemon.ownerOf(mailboxBusName), owner);
        EXPECT_EQ(daemon.ownerOf("org.tavi.Id.m" + std::to_string(daemon.mailboxId())), owner);

        // A second instance of the same name aborts, and the first keeps its names.
        DaemonProcess second({argv0});
        EXPECT_EQ(second.waitExit(kExitWait), ExitStatus::killedBy(SIGABRT)) << second.output();
        EXPECT_TRUE(daemon.running());
        EXPECT_EQ(daemon.ownerOf(DaemonProcess::kServiceBusName), owner);
        EXPECT_EQ(daemon.ownerOf(mailboxBusName), owner);
        EXPECT_EQ(daemon.askId(), daemon.mailboxId());
    }

    DaemonProcess daemon;
    ASSERT_TRUE(daemon.waitUntilReady()) << daemon.output();
    bus.stop();
    EXPECT_EQ(daemon.waitExit(kExitWait), ExitStatus::killedBy(SIGABRT)) << daemon.output();
}

}  // namespace
