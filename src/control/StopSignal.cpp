#include "control/StopSignal.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "Macros.h"
#include "control/EpollProxy.h"

namespace Sync {
namespace LumovControl {

namespace {

sigset_t terminate() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

StopSignal::StopSignal(std::function<void()> beforeStop) : beforeStop_(std::move(beforeStop)) {}

StopSignal::~StopSignal() {
    if (fd_ >= 0)
        unwatch();
}

bool StopSignal::watch() {
    const sigset_t set = terminate();
    sigprocmask(SIG_BLOCK, &set, nullptr);
    fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) {
        TRACE_ERROR("signalfd() for SIGTERM failed: %s", std::strerror(errno));
        release();
        return false;
    }
    EpollProxy::instance().addFd(fd_, this);
    return true;
}

void StopSignal::onRead() {
    signalfd_siginfo info;
    if (read(fd_, &info, sizeof info) != static_cast<ssize_t>(sizeof info))
        return;
    TRACE_INFO("SIGTERM from pid %u", info.ssi_pid);
    beforeStop_();
    signal(SIGTERM, SIG_DFL);
    raise(SIGTERM);  // pending while blocked
    release();
}

void StopSignal::onError() {
    TRACE_WARNING("SIGTERM descriptor broke: SIGTERM ends the daemon at once from now on");
    unwatch();
}

void StopSignal::unwatch() {
    EpollProxy::instance().removeFd(fd_);
    close(fd_);
    fd_ = -1;
    release();
}

void StopSignal::release() {
    const sigset_t set = terminate();
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace LumovControl
}  // namespace Sync
