#include "PacketSocket.h"

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "EsmcPdu.h"
#include "NetnsScope.h"

namespace SyncEsmcd {

PacketSocket::~PacketSocket() {
    close();
}

ConfigError PacketSocket::open(const std::string& netns, const std::string& interfaceName) {
    close();
    const SyncSys::NetnsScope inside(netns);
    if (!inside.entered()) {
        lastErrno_ = inside.error();
        return NO_SUCH_NAMESPACE;
    }
    const unsigned ifindex = ::if_nametoindex(interfaceName.c_str());
    if (interfaceName.empty() || interfaceName.size() >= IF_NAMESIZE || ifindex == 0) {
        lastErrno_ = ENODEV;
        return NO_SUCH_INTERFACE;
    }
    const int fd = ::socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_ll address{};
    address.sll_family = AF_PACKET;
    // Protocol 0 receives nothing: this socket only transmits, so nothing may queue up on it.
    address.sll_protocol = 0;
    address.sll_ifindex = static_cast<int>(ifindex);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        lastErrno_ = errno;
        if (fd >= 0)
            ::close(fd);
        return SOCKET_REFUSED;
    }
    fd_ = fd;
    ifindex_ = static_cast<int>(ifindex);
    identity_ = SyncSys::NetnsWatch::identityOf("/proc/thread-self/ns/net");
    return CONFIG_OK;
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
    identity_ = {};
}

}  // namespace SyncEsmcd
