#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

extern char** environ;

namespace E2e {

namespace {

std::vector<std::string> mergedEnvironment(const Environment& overrides) {
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        std::string name = equals != nullptr ? std::string(*entry, static_cast<std::size_t>(equals - *entry))
                                             : std::string(*entry);
        if (overrides.count(name) == 0) {
            merged.emplace_back(*entry);
        }
    }
    for (const auto& [name, value] : overrides) {
        merged.push_back(name + "=" + value);
    }
    return merged;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> all;
    for (auto& s : strings) {
        all.push_back(s.data());
    }
    all.push_back(nullptr);
    return all;
}

}  // namespace

int ChildProcess::millisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

ChildProcess::ChildProcess(Options options) {
    std::vector<std::string> args = options.argv;
    const std::string file = options.file.empty() && !args.empty() ? args.front() : options.file;
    std::vector<std::string> env = mergedEnvironment(options.env);
    std::vector<char*> argv = pointers(args);
    std::vector<char*> envp = pointers(env);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (options.inputFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, options.inputFd, STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const int outputFd = options.outputFd >= 0 ? options.outputFd : fileno(output_);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDERR_FILENO);
    // The test may block signals it waits for; the child starts with none blocked or caught.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    // Children that abort on purpose must not leave core files in the build tree; the limit is
    // inherited, so it is lowered only around the spawn.
    rlimit core{};
    getrlimit(RLIMIT_CORE, &core);
    rlimit noCore{0, core.rlim_max};
    setrlimit(RLIMIT_CORE, &noCore);
    if (posix_spawnp(&pid_, file.c_str(), &actions, &attributes, argv.data(), envp.data()) != 0) {
        pid_ = -1;
        status_ = ExitStatus::exitedWith(127);
    }
    setrlimit(RLIMIT_CORE, &core);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (pid_ > 0) {
        pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    }
}

std::string ChildProcess::Result::describe(const std::vector<std::string>& argv) const {
    std::string text;
    for (const auto& arg : argv) {
        text += (text.empty() ? "" : " ") + arg;
    }
    text += status ? " -> " + status->describe() : " -> did not end in time";
    return text + "\n" + output;
}

ChildProcess::Result ChildProcess::run(const std::vector<std::string>& argv,
                                       std::chrono::milliseconds timeout, const Environment& env, int watchFd,
                                       const OnReadable& onReadable) {
    ChildProcess child(argv, env);
    auto keepWaiting = [&onReadable]() {
        onReadable();
        return false;
    };
    Result result;
    result.status = child.waitExit(timeout, watchFd, onReadable ? OnReadable(keepWaiting) : OnReadable());
    child.stop();  // one that overran
    result.output = child.output();
    return result;
}

ChildProcess::~ChildProcess() {
    stop();
    std::fclose(output_);
    if (pidfd_ >= 0) {
        close(pidfd_);
    }
}

bool ChildProcess::reap(bool block) {
    if (status_) {
        return true;
    }
    int status = 0;
    pid_t r;
    do {
        r = waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == pid_) {
        status_ = ExitStatus::fromWaitStatus(status);
    } else if (r < 0) {
        status_ = ExitStatus::exitedWith(-1);  // not ours to wait for any more: nothing to report
    }
    return status_.has_value();
}

std::string ChildProcess::output() const {
    std::string all;
    char chunk[4096];
    for (ssize_t n; (n = pread(fileno(output_), chunk, sizeof chunk, static_cast<off_t>(all.size()))) > 0;)
        all.append(chunk, static_cast<std::size_t>(n));
    return all;
}

bool ChildProcess::running() {
    return started() && !reap(false);
}

bool ChildProcess::signal(int sig) {
    return running() && ::kill(pid_, sig) == 0;
}

std::optional<ExitStatus> ChildProcess::waitExit(std::chrono::milliseconds timeout, int watchFd,
                                                 const OnReadable& onReadable) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    if (!onReadable) {
        watchFd = -1;
    }
    while (!reap(false)) {
        int left = millisecondsLeft(deadline);
        if (left == 0) {
            return std::nullopt;
        }
        pollfd fds[2] = {{pidfd_, POLLIN, 0}, {watchFd, POLLIN, 0}};
        if (poll(fds, 2, left) > 0 && fds[1].revents != 0) {
            if ((fds[1].revents & POLLIN) == 0) {
                watchFd = -1;  // hung up: nothing more will come from it
            } else if (onReadable && onReadable()) {
                return std::nullopt;
            }
        }
    }
    return status_;
}

ExitStatus ChildProcess::stop(std::chrono::milliseconds grace) {
    if (!started()) {
        return *status_;
    }
    if (grace.count() > 0 && signal(SIGTERM)) {
        waitExit(grace);
    }
    if (!reap(false)) {
        ::kill(pid_, SIGKILL);
        reap(true);
    }
    return *status_;
}

double ChildProcess::cpuSeconds() const {
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t end = text.rfind(')');
    if (end == std::string::npos)
        return 0;
    // After the command's name: state is field 3, utime and stime are fields 14 and 15.
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i >= 14)
            ticks += std::atof(field.c_str());
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace E2e
