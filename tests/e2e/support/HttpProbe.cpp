#include "HttpProbe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

#include "ChildProcess.h"
#include "NetnsScope.h"

namespace E2e {

HttpProbe::HttpProbe(std::string netns, std::string address, uint16_t port)
    : netns_(std::move(netns)), address_(std::move(address)), port_(port) {}

int HttpProbe::idle() const {
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    v4.sin_family = AF_INET;
    v4.sin_port = htons(port_);
    v6.sin6_family = AF_INET6;
    v6.sin6_port = htons(port_);
    const bool isV6 = inet_pton(AF_INET6, address_.c_str(), &v6.sin6_addr) == 1;
    if (!isV6 && inet_pton(AF_INET, address_.c_str(), &v4.sin_addr) != 1)
        return -1;
    // The socket belongs to the namespace it was made in, whichever thread uses it later.
    const SyncSys::NetnsScope scope(netns_);
    const int fd = socket(isV6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int made = isV6 ? connect(fd, reinterpret_cast<const sockaddr*>(&v6), sizeof v6)
                          : connect(fd, reinterpret_cast<const sockaddr*>(&v4), sizeof v4);
    if (!scope.entered() || fd < 0 || made != 0) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    return fd;
}

HttpProbe::Reply HttpProbe::get(const std::string& target, std::chrono::milliseconds timeout) const {
    return send("GET " + target + " HTTP/1.0\r\nHost: " + address_ + "\r\n\r\n", timeout);
}

HttpProbe::Reply HttpProbe::send(const std::string& bytes, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Reply reply;
    const int fd = idle();
    if (fd < 0)
        return reply;
    // A server may answer and close before it read everything (a request too large): what it said counts.
    for (size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<size_t>(n);
    }
    std::string raw;
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, ChildProcess::millisecondsLeft(deadline)) != 1)
            break;
        char buffer[65536];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        raw.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    // "HTTP/1.x NNN reason", headers, a blank line, the body.
    if (raw.compare(0, 5, "HTTP/") == 0 && raw.size() > 12)
        reply.status = std::atoi(raw.c_str() + 9);
    const size_t body = raw.find("\r\n\r\n");
    if (body != std::string::npos)
        reply.body = raw.substr(body + 4);
    return reply;
}

}  // namespace E2e
