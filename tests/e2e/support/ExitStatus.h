#ifndef SYNC_E2E_EXITSTATUS_H
#define SYNC_E2E_EXITSTATUS_H

#include <sys/wait.h>

#include <ostream>
#include <string>

namespace E2e {

// How a child process ended, decoded from waitpid's status.
class ExitStatus {
  public:
    static ExitStatus fromWaitStatus(int status) {
        return WIFSIGNALED(status) ? killedBy(WTERMSIG(status)) : exitedWith(WEXITSTATUS(status));
    }
    static ExitStatus exitedWith(int code) { return ExitStatus(true, code); }
    static ExitStatus killedBy(int signal) { return ExitStatus(false, signal); }

    bool exited() const { return exited_; }
    // "exit 1" or "signal 6 (Aborted)", for assertion messages.
    std::string describe() const;

    bool operator==(const ExitStatus& other) const {
        return exited_ == other.exited_ && value_ == other.value_;
    }

  private:
    ExitStatus(bool exited, int value) : exited_(exited), value_(value) {}

    bool exited_;
    int value_;  // the exit code, or the signal
};

inline std::ostream& operator<<(std::ostream& os, const ExitStatus& status) {
    return os << status.describe();
}

}  // namespace E2e

#endif
