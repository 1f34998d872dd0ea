#include "LinkWatcher.h"

#include <libmnl/libmnl.h>
#include <linux/if.h>
#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "NetnsScope.h"

namespace SyncSys {

namespace {

struct Context {
    const LinkWatcher::OnLink* onLink;
};

int attribute(const nlattr* attr, void* data) {
    const nlattr** table = static_cast<const nlattr**>(data);
    const int type = mnl_attr_get_type(attr);
    if (mnl_attr_type_valid(attr, IFLA_MAX) < 0)
        return MNL_CB_OK;  // newer kernels' attributes: not ours to read
    switch (type) {
        case IFLA_IFNAME:
            if (mnl_attr_validate(attr, MNL_TYPE_NUL_STRING) < 0)
                return MNL_CB_OK;
            break;
        case IFLA_ADDRESS:
            if (mnl_attr_get_payload_len(attr) != 6)
                return MNL_CB_OK;  // not an Ethernet address
            break;
        default:
            return MNL_CB_OK;
    }
    table[type] = attr;
    return MNL_CB_OK;
}

int message(const nlmsghdr* header, void* data) {
    const auto* context = static_cast<const Context*>(data);
    if (header->nlmsg_type != RTM_NEWLINK && header->nlmsg_type != RTM_DELLINK)
        return MNL_CB_OK;
    if (header->nlmsg_len < mnl_nlmsg_size(sizeof(ifinfomsg)))
        return MNL_CB_OK;
    const auto* info = static_cast<const ifinfomsg*>(mnl_nlmsg_get_payload(header));
    const nlattr* table[IFLA_MAX + 1] = {};
    if (mnl_attr_parse(header, sizeof(ifinfomsg), attribute, table) != MNL_CB_OK ||
        table[IFLA_IFNAME] == nullptr)
        return MNL_CB_OK;
    LinkWatcher::Link link;
    link.index = info->ifi_index;
    link.name = mnl_attr_get_str(table[IFLA_IFNAME]);
    if (table[IFLA_ADDRESS] != nullptr)
        std::memcpy(link.mac.data(), mnl_attr_get_payload(table[IFLA_ADDRESS]), link.mac.size());
    link.up = (info->ifi_flags & IFF_UP) != 0;
    // Carrier, not the operstate attribute: the kernel batches operstate changes and reports one up
    // to a second after the carrier came, while the flag is current in the first notification.
    link.carrier = (info->ifi_flags & IFF_LOWER_UP) != 0;
    (*context->onLink)(link, header->nlmsg_type == RTM_NEWLINK);
    return MNL_CB_OK;
}

}  // namespace

LinkWatcher::~LinkWatcher() {
    close();
}

bool LinkWatcher::open(const std::string& netns) {
    close();
    error_.clear();
    if (connect(netns) && askForLinks())
        return true;
    close();  // a half-made socket would be watched but never answer
    return false;
}

bool LinkWatcher::connect(const std::string& netns) {
    const NetnsScope inside(netns);
    if (!inside.entered()) {
        error_ = "cannot enter network namespace " + netns + ": " + std::strerror(inside.error());
        return false;
    }
    identity_ = NetnsWatch::identityOf("/proc/thread-self/ns/net");
    socket_ = mnl_socket_open2(NETLINK_ROUTE, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (socket_ == nullptr || mnl_socket_bind(socket_, RTMGRP_LINK, MNL_SOCKET_AUTOPID) < 0) {
        error_ = std::string("cannot open a route netlink socket: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool LinkWatcher::askForLinks() {
    // The kernel may drop notifications when the socket overflows; a big buffer keeps that rare, and
    // read() reports it so that the owner asks for every link again.
    const int buffer = 1 << 20;
    setsockopt(mnl_socket_get_fd(socket_), SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    char request[MNL_SOCKET_BUFFER_SIZE];
    nlmsghdr* header = mnl_nlmsg_put_header(request);
    header->nlmsg_type = RTM_GETLINK;
    header->nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    header->nlmsg_seq = static_cast<unsigned>(time(nullptr));
    auto* info = static_cast<rtgenmsg*>(mnl_nlmsg_put_extra_header(header, sizeof(rtgenmsg)));
    info->rtgen_family = AF_PACKET;
    if (mnl_socket_sendto(socket_, header, header->nlmsg_len) < 0) {
        error_ = std::string("cannot ask for the links: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void LinkWatcher::close() {
    if (socket_ != nullptr)
        mnl_socket_close(socket_);
    socket_ = nullptr;
    identity_ = {};
}

int LinkWatcher::fd() const {
    return socket_ != nullptr ? mnl_socket_get_fd(socket_) : -1;
}

bool LinkWatcher::read(const OnLink& onLink) {
    if (socket_ == nullptr)
        return false;
    // Big enough for one datagram of a link dump, whatever the page size.
    std::vector<char> buffer(32768);
    Context context{&onLink};
    for (;;) {
        const ssize_t got = mnl_socket_recvfrom(socket_, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return true;
            error_ = std::string("route netlink socket: ") + std::strerror(errno);
            return false;  // ENOBUFS: notifications were lost
        }
        // Sequence and port are not checked: notifications carry neither.
        if (mnl_cb_run(buffer.data(), static_cast<size_t>(got), 0, 0, message, &context) < 0 && errno != 0 &&
            errno != EINTR) {
            error_ = std::string("route netlink message: ") + std::strerror(errno);
            return false;
        }
    }
}

}  // namespace SyncSys
