#include "PacketSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "EsmcPdu.h"

namespace SyncEsmcd {

namespace {

// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

}  // namespace

PacketSocket::~PacketSocket() {
    close();
}

ConfigError PacketSocket::open(const std::string& netns, const std::string& interfaceName) {
    close();
    Fd own{-1};
    Fd target{-1};
    if (!netns.empty()) {
        // A name with '/' or "." or ".." would leave /run/netns.
        if (netns.find('/') != std::string::npos || netns == "." || netns == "..") {
            lastErrno_ = EINVAL;
            return NO_SUCH_NAMESPACE;
        }
        own.fd = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        target.fd = ::open(("/run/netns/" + netns).c_str(), O_RDONLY | O_CLOEXEC);
        if (target.fd < 0 || own.fd < 0 || ::setns(target.fd, CLONE_NEWNET) != 0) {
            lastErrno_ = errno;
            return NO_SUCH_NAMESPACE;
        }
    }
    ConfigError result = CONFIG_OK;
    const unsigned ifindex = ::if_nametoindex(interfaceName.c_str());
    if (interfaceName.empty() || interfaceName.size() >= IF_NAMESIZE || ifindex == 0) {
        lastErrno_ = ENODEV;
        result = NO_SUCH_INTERFACE;
    } else {
        const int fd = ::socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_ll address{};
        address.sll_family = AF_PACKET;
        // Protocol 0 receives nothing: this socket only transmits, so nothing may queue up on it.
        address.sll_protocol = 0;
        address.sll_ifindex = static_cast<int>(ifindex);
        if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            lastErrno_ = errno;
            result = SOCKET_REFUSED;
            if (fd >= 0)
                ::close(fd);
        } else {
            fd_ = fd;
            ifindex_ = static_cast<int>(ifindex);
        }
    }
    if (own.fd >= 0 && ::setns(own.fd, CLONE_NEWNET) != 0)
        ::abort();  // every later socket would open in the wrong namespace
    return result;
}

int PacketSocket::send(const uint8_t* frame, size_t length) {
    if (fd_ < 0)
        return ENOTCONN;
    sockaddr_ll address{};
    address.sll_family = AF_PACKET;
    address.sll_protocol = htons(EsmcPdu::ETHER_TYPE);
    address.sll_ifindex = ifindex_;
    address.sll_halen = 6;
    for (int i = 0; i < 6; ++i)
        address.sll_addr[i] = frame[i];
    if (::sendto(fd_, frame, length, 0, reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
        static_cast<ssize_t>(length))
        return 0;
    return errno != 0 ? errno : EIO;
}

void PacketSocket::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    ifindex_ = 0;
}

}  // namespace SyncEsmcd
