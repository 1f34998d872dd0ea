#include "NetnsScope.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace SyncSys {

NetnsScope::NetnsScope(const std::string& netns) {
    if (netns.empty())
        return;
    if (netns.find('/') != std::string::npos || netns == "." || netns == "..") {
        error_ = EINVAL;
        return;
    }
    own_ = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
    const int target = ::open(("/run/netns/" + netns).c_str(), O_RDONLY | O_CLOEXEC);
    if (own_ < 0 || target < 0 || ::setns(target, CLONE_NEWNET) != 0) {
        error_ = errno != 0 ? errno : ENOENT;
        if (own_ >= 0)
            ::close(own_);
        own_ = -1;
    }
    if (target >= 0)
        ::close(target);
}

NetnsScope::~NetnsScope() {
    if (own_ < 0)
        return;
    if (::setns(own_, CLONE_NEWNET) != 0)
        std::abort();  // every later socket would open in the wrong namespace
    ::close(own_);
}

}  // namespace SyncSys
