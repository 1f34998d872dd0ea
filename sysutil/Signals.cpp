#include "Signals.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

namespace SyncSys {

Signals::Signals() {
    watch(false);
}

Signals::~Signals() {
    if (fd_ >= 0)
        ::close(fd_);
}

void Signals::catchHangUp() {
    watch(true);
}

void Signals::watch(bool hangUp) {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGTERM, SIGINT, SIGUSR1})
        sigaddset(&signals, signal);
    if (hangUp)
        sigaddset(&signals, SIGHUP);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    // An existing descriptor takes the new set.
    const int fd = signalfd(fd_, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd < 0 && fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

int Signals::next() {
    signalfd_siginfo info{};
    if (fd_ < 0 || ::read(fd_, &info, sizeof info) != sizeof info)
        return 0;
    return static_cast<int>(info.ssi_signo);
}

}  // namespace SyncSys
