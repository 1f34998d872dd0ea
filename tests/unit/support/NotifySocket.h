#ifndef SYNC_TEST_NOTIFYSOCKET_H
#define SYNC_TEST_NOTIFYSOCKET_H

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

// A service manager's notification socket of the test's own, exported as NOTIFY_SOCKET while it
// lives (a child started meanwhile inherits it), and removed with its directory on destruction.
class NotifySocket {
  public:
    NotifySocket() {
        char dir[] = "/tmp/sync-notify-XXXXXX";
        dir_ = mkdtemp(dir) != nullptr ? dir : "/tmp";
        path_ = dir_ + "/notify";
        fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path_.copy(address.sun_path, sizeof address.sun_path - 1);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        setenv("NOTIFY_SOCKET", path_.c_str(), 1);
    }
    ~NotifySocket() {
        unsetenv("NOTIFY_SOCKET");
        close(fd_);
        unlink(path_.c_str());
        rmdir(dir_.c_str());
    }
    NotifySocket(const NotifySocket&) = delete;
    NotifySocket& operator=(const NotifySocket&) = delete;

    // The next message, waiting up to timeoutMs; empty when none came.
    std::string next(int timeoutMs = 10000) const {
        pollfd p{fd_, POLLIN, 0};
        char text[512];
        const ssize_t got = poll(&p, 1, timeoutMs) == 1 ? recv(fd_, text, sizeof text, 0) : 0;
        return std::string(text, got > 0 ? static_cast<size_t>(got) : 0);
    }
    // Every message that has arrived, in order.
    std::vector<std::string> messages() const {
        std::vector<std::string> all;
        for (std::string message; !(message = next(0)).empty();)
            all.push_back(message);
        return all;
    }

  private:
    std::string dir_;
    std::string path_;
    int fd_ = -1;
};

#endif
