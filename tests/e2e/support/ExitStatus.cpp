#include "ExitStatus.h"

#include <sys/wait.h>

#include <cstring>

namespace E2e {

ExitStatus ExitStatus::fromWaitStatus(int status) {
    if (WIFSIGNALED(status)) {
        return killedBy(WTERMSIG(status));
    }
    return exitedWith(WEXITSTATUS(status));
}

std::string ExitStatus::describe() const {
    if (exited_) {
        return "exit " + std::to_string(code_);
    }
    return "signal " + std::to_string(signal_) + " (" + strsignal(signal_) + ")";
}

}  // namespace E2e
