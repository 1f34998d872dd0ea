#include "NetnsWatch.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace SyncSys {

namespace {

constexpr uint32_t DIRECTORY_EVENTS =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr uint32_t PARENT_EVENTS = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

NetnsWatch::NetnsWatch(std::string directory) : directory_(std::move(directory)) {}

NetnsWatch::~NetnsWatch() {
    close();
}

void NetnsWatch::close() {
    closeFd(epoll_);
    closeFd(inotify_);
    closeFd(mounts_);
    directoryWatch_ = parentWatch_ = -1;
    known_.clear();
}

NetnsWatch::Identity NetnsWatch::identityOf(const std::string& path) {
    struct statfs system {};
    struct stat status {};
    if (::statfs(path.c_str(), &system) != 0 || static_cast<unsigned long>(system.f_type) != NSFS_MAGIC ||
        ::stat(path.c_str(), &status) != 0)
        return {};
    return {status.st_dev, status.st_ino};
}

bool NetnsWatch::open() {
    close();
    error_.clear();
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    // The mount table signals a change as an exceptional condition (EPOLLPRI); it is always readable.
    mounts_ = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    epoll_event inotifyEvent{EPOLLIN, {}};
    epoll_event mountsEvent{EPOLLPRI, {}};
    if (inotify_ < 0 || mounts_ < 0 || epoll_ < 0 ||
        epoll_ctl(epoll_, EPOLL_CTL_ADD, inotify_, &inotifyEvent) != 0 ||
        epoll_ctl(epoll_, EPOLL_CTL_ADD, mounts_, &mountsEvent) != 0) {
        error_ = std::string("cannot watch the network namespaces: ") + std::strerror(errno);
        close();
        return false;
    }
    arm();
    if (directoryWatch_ < 0 && parentWatch_ < 0) {
        error_ =
            "cannot watch " + directory_ + " nor the directory it would be made in: " + std::strerror(errno);
        close();
        return false;
    }
    known_ = scan();
    return true;
}

bool NetnsWatch::arm() {
    const int before[] = {directoryWatch_, parentWatch_};
    // The parent first: a directory made between the two calls is then seen either way.
    if (directoryWatch_ < 0 && parentWatch_ < 0) {
        const size_t slash = directory_.rfind('/');
        const std::string parent =
            slash == 0 || slash == std::string::npos ? "/" : directory_.substr(0, slash);
        parentWatch_ = inotify_add_watch(inotify_, parent.c_str(), PARENT_EVENTS);
    }
    if (directoryWatch_ < 0)
        directoryWatch_ = inotify_add_watch(inotify_, directory_.c_str(), DIRECTORY_EVENTS);
    if (directoryWatch_ >= 0 && parentWatch_ >= 0) {
        inotify_rm_watch(inotify_, parentWatch_);
        parentWatch_ = -1;
    }
    return before[0] != directoryWatch_ || before[1] != parentWatch_;
}

void NetnsWatch::drain() {
    epoll_event ready[2];
    epoll_wait(epoll_, ready, 2, 0);
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got; (got = ::read(inotify_, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->wd != directoryWatch_)
                continue;
            if (event->mask & IN_MOVE_SELF)
                inotify_rm_watch(inotify_, directoryWatch_);  // it would follow the directory's new name
            if (event->mask & (IN_MOVE_SELF | IN_IGNORED))
                directoryWatch_ = -1;
        }
    }
}

std::map<std::string, NetnsWatch::Identity> NetnsWatch::scan() const {
    std::map<std::string, Identity> found;
    DIR* directory = opendir(directory_.c_str());
    if (directory == nullptr)
        return found;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (const Identity identity = identityOf(directory_ + "/" + name))
            found[name] = identity;
    }
    closedir(directory);
    return found;
}

std::vector<std::string> NetnsWatch::read() {
    if (epoll_ < 0)
        return {};
    // A watch removed queues an event of its own: drained too, so that nothing is left to wake for.
    do
        drain();
    while (arm());
    std::map<std::string, Identity> now = scan();
    std::vector<std::string> changed;
    for (const auto& [name, identity] : now) {
        const auto known = known_.find(name);
        if (known == known_.end() || known->second != identity)
            changed.push_back(name);
    }
    for (const auto& [name, identity] : known_)
        if (now.count(name) == 0)
            changed.push_back(name);
    std::sort(changed.begin(), changed.end());
    known_ = std::move(now);
    return changed;
}

NetnsWatch::Identity NetnsWatch::identity(const std::string& name) const {
    const auto found = known_.find(name);
    return found != known_.end() ? found->second : Identity{};
}

}  // namespace SyncSys
