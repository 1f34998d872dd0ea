#include "ExitStatus.h"

#include <sys/wait.h>

#include <cstring>

namespace E2e {

ExitStatus ExitStatus::fromWaitStatus(int status) {
    return WIFSIGNALED(status) ? killedBy(WTERMSIG(status)) : exitedWith(WEXITSTATUS(status));
}

std::string ExitStatus::describe() const {
    return exited_ ? "exit " + std::to_string(value_)
                   : "signal " + std::to_string(value_) + " (" + strsignal(value_) + ")";
}

}  // namespace E2e
