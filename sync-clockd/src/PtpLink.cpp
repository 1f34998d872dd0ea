#include "PtpLink.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <utility>

namespace SyncClockd {

namespace {

constexpr size_t LARGEST_DATAGRAM = 1500;

bool address(const std::string& path, sockaddr_un& out) {
    std::memset(&out, 0, sizeof out);
    out.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof out.sun_path)
        return false;
    std::memcpy(out.sun_path, path.c_str(), path.size());
    return true;
}

}  // namespace

PtpLink::PtpLink(std::string serverPath) : serverPath_(std::move(serverPath)) {}

PtpLink::~PtpLink() {
    close();
}

bool PtpLink::open(std::string& why) {
    const size_t slash = serverPath_.rfind('/');
    ownPath_ = (slash == std::string::npos ? std::string(".") : serverPath_.substr(0, slash)) +
               "/sync-clockd." + std::to_string(getpid());
    sockaddr_un own{};
    sockaddr_un server{};
    if (!address(ownPath_, own) || !address(serverPath_, server)) {
        why = "socket path too long: " + serverPath_;
        return false;
    }
    fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    unlink(ownPath_.c_str());  // left by a process of the same pid that was killed
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&own), sizeof own) != 0) {
        why = "cannot bind " + ownPath_ + ": " + std::strerror(errno);
        close();
        return false;
    }
    return true;
}

void PtpLink::close() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    unlink(ownPath_.c_str());
}

int PtpLink::send(const std::vector<uint8_t>& datagram) {
    sockaddr_un server{};
    address(serverPath_, server);
    if (sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&server),
               sizeof server) < 0)
        return errno;
    return 0;
}

bool PtpLink::receive(std::vector<uint8_t>& datagram, std::string& stranger) {
    datagram.resize(LARGEST_DATAGRAM);
    sockaddr_un from{};
    socklen_t fromSize = sizeof from;
    const ssize_t got =
        recvfrom(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (got < 0) {
        datagram.clear();
        return false;
    }
    datagram.resize(static_cast<size_t>(got));
    const size_t pathSize =
        fromSize > offsetof(sockaddr_un, sun_path) ? fromSize - offsetof(sockaddr_un, sun_path) : 0;
    const std::string sender(from.sun_path, strnlen(from.sun_path, pathSize));
    stranger = sender == serverPath_ ? std::string() : (sender.empty() ? std::string("(unnamed)") : sender);
    return true;
}

}  // namespace SyncClockd
