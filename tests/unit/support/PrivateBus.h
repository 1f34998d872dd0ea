#ifndef SYNC_TEST_PRIVATEBUS_H
#define SYNC_TEST_PRIVATEBUS_H

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

extern char** environ;

// A dbus-daemon of its own for one test program: started on construction (its address exported as
// TAVI_BUS_ADDRESS), stopped by its pid on destruction. Every wait is bounded.
class PrivateBus {
  public:
    explicit PrivateBus(int startTimeoutMs = 5000) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        // Its complaints about resource limits it may not raise are noise in test output.
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        char* argv[] = {const_cast<char*>("dbus-daemon"), const_cast<char*>("--session"),
                        const_cast<char*>("--print-address"), const_cast<char*>("--nofork"), nullptr};
        if (posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr, argv, environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (pid_ > 0) {
            address_ = readLine(out[0], startTimeoutMs);
            if (!address_.empty()) {
                setenv("TAVI_BUS_ADDRESS", address_.c_str(), 1);
            }
        }
        close(out[0]);
    }

    ~PrivateBus() { stop(); }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool running() const { return pid_ > 0 && !address_.empty(); }
    const std::string& address() const { return address_; }
    pid_t pid() const { return pid_; }

    // Terminates the daemon (SIGKILL after 2 s) and reaps it.
    void stop() {
        if (pid_ <= 0) {
            return;
        }
        kill(pid_, SIGTERM);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (waitpid(pid_, nullptr, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        pid_ = -1;
    }

  private:
    static std::string readLine(int fd, int timeoutMs) {
        std::string line;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return {};
            }
            char c;
            if (read(fd, &c, 1) != 1) {
                return {};
            }
            if (c == '\n') {
                return line;
            }
            line += c;
        }
    }

    pid_t pid_ = -1;
    std::string address_;
};

#endif
