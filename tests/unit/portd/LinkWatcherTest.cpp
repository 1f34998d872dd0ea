// The route netlink watcher of one namespace, opened for real in the test's own namespace (no root
// needed): a failed open leaves nothing behind that the next one trips over.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <string>

#include "LinkWatcher.h"

namespace {

using SyncSys::LinkWatcher;

TEST(LinkWatcherTest, AFailedOpenClosesItsSocketAndTheNextOpenStartsClean) {
    const std::string missing = "sync-test-missing-" + std::to_string(getpid());
    LinkWatcher watcher;
    ASSERT_TRUE(watcher.open("")) << watcher.error();
    EXPECT_FALSE(watcher.open(missing));
    EXPECT_EQ(watcher.fd(), -1) << "a watcher that failed to open has no socket to watch";
    EXPECT_NE(watcher.error().find("cannot enter network namespace " + missing), std::string::npos)
        << watcher.error();

    ASSERT_TRUE(watcher.open("")) << "the last failure still counts: " << watcher.error();
    EXPECT_EQ(watcher.error(), "");
    // The answer to its request for every link names the loopback link.
    bool loopback = false;
    for (int tries = 0; tries < 20 && !loopback; ++tries) {
        pollfd ready{watcher.fd(), POLLIN, 0};
        poll(&ready, 1, 100);
        ASSERT_TRUE(
            watcher.read([&](const LinkWatcher::Link& link, bool) { loopback |= link.name == "lo"; }));
    }
    EXPECT_TRUE(loopback);
}

}  // namespace
