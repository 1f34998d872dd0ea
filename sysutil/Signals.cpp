#include "Signals.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>

namespace SyncSys {

int Signals::descriptor(bool hangUp) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGUSR1);
    if (hangUp)
        sigaddset(&signals, SIGHUP);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    return signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
}

int Signals::next(int descriptor) {
    signalfd_siginfo info{};
    return read(descriptor, &info, sizeof info) == sizeof info ? static_cast<int>(info.ssi_signo) : 0;
}

}  // namespace SyncSys
