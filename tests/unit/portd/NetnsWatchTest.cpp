// The namespace watch on a directory of the test's own, in a mount namespace of the test's own, so
// that every mount goes with the test process (root; skipped otherwise). A namespace is made the way
// `ip netns add` makes one: the name's file first, then a namespace file bind-mounted on it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "NetnsWatch.h"

namespace {

using SyncSys::NetnsWatch;
using Names = std::vector<std::string>;

class NetnsWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root: it mounts namespace files";
        ASSERT_EQ(unshare(CLONE_NEWNS), 0) << std::strerror(errno);
        ASSERT_EQ(mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0) << std::strerror(errno);
        char base[] = "/tmp/sync-netns-watch-XXXXXX";
        ASSERT_NE(mkdtemp(base), nullptr);
        base_ = base;
        watch_ = std::make_unique<NetnsWatch>(directory());
    }
    void TearDown() override {
        if (base_.empty())
            return;  // skipped, or no directory was made
        for (const char* name : {"a", "b"})
            remove(name);
        rmdir(directory().c_str());
        rmdir(base_.c_str());
    }
    std::string directory() const { return base_ + "/netns"; }
    std::string path(const std::string& name) const { return directory() + "/" + name; }
    void file(const std::string& name) {
        ::close(::open(path(name).c_str(), O_RDONLY | O_CREAT | O_EXCL, 0));
    }
    void bind(const std::string& name) {
        ASSERT_EQ(mount("/proc/self/ns/net", path(name).c_str(), "none", MS_BIND, nullptr), 0)
            << std::strerror(errno);
    }
    void remove(const std::string& name) {
        umount2(path(name).c_str(), MNT_DETACH);
        unlink(path(name).c_str());
    }
    // What one read says once the descriptor is readable (or a second went by), and whether it was.
    Names changes(bool& woke) {
        pollfd ready{watch_->fd(), POLLIN, 0};
        woke = poll(&ready, 1, 1000) == 1;
        return watch_->read();
    }

    std::string base_;
    std::unique_ptr<NetnsWatch> watch_;
};

TEST_F(NetnsWatchTest, NamespacesAreFollowedFromTheirDirectorysBirthThroughBeingMadeAnew) {
    ASSERT_TRUE(watch_->open()) << watch_->error();
    NetnsWatch::Identity first;
    const struct {
        const char* what;
        std::function<void()> act;
        Names changed;
    } steps[] = {
        {"the directory is made", [&] { mkdir(directory().c_str(), 0755); }, {}},
        {"a name without a namespace yet", [&] { file("a"); }, {}},
        {"the namespace mounted on it", [&] { bind("a"); }, {"a"}},
        {"a second one",
         [&] {
             file("b");
             bind("b");
         },
         {"b"}},
        {"deleted and made anew between two reads",
         [&] {
             first = watch_->identity("a");
             remove("a");
             ASSERT_EQ(unshare(CLONE_NEWNET), 0) << std::strerror(errno);
             file("a");
             bind("a");
         },
         {"a"}},
        {"deleted", [&] { remove("b"); }, {"b"}},
        {"the directory goes and comes back",
         [&] {
             remove("a");
             rmdir(directory().c_str());
             mkdir(directory().c_str(), 0755);
             file("b");
             bind("b");
         },
         {"a", "b"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        bool woke = false;
        EXPECT_EQ(changes(woke), step.changed);
        EXPECT_TRUE(woke);
        pollfd ready{watch_->fd(), POLLIN, 0};
        EXPECT_EQ(poll(&ready, 1, 0), 0) << "readable with nothing new";
    }
    EXPECT_FALSE(watch_->identity("a"));
    EXPECT_TRUE(first);
    EXPECT_EQ(watch_->identity("b"), NetnsWatch::identityOf("/proc/self/ns/net"));
    EXPECT_NE(watch_->identity("b"), first);
}

}  // namespace
