#ifndef SYNC_PORTD_LINKWATCHER_H
#define SYNC_PORTD_LINKWATCHER_H

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

struct mnl_socket;

namespace SyncPortd {

// The links of one network namespace as rtnetlink reports them: a socket opened inside the namespace
// (an ip-netns name; empty: the service's own), subscribed to link changes, that first asks for every
// link. The socket keeps the namespace alive, so whoever owns the watcher must drop it when the
// namespace's name goes (see inode()).
class LinkWatcher {
  public:
    struct Link {
        int index = 0;
        std::string name;
        std::array<uint8_t, 6> mac{};
        bool up = false;       // IFF_UP: administratively up
        bool carrier = false;  // IFF_LOWER_UP: the link has carrier
    };
    // A link as it is now (present), or gone from the namespace (renamed links come as present with
    // their new name; the watcher's owner keeps the index's old name to see the rename).
    using OnLink = std::function<void(const Link& link, bool present)>;

    LinkWatcher() = default;
    ~LinkWatcher();
    LinkWatcher(const LinkWatcher&) = delete;
    LinkWatcher& operator=(const LinkWatcher&) = delete;

    // Opens the socket in the namespace and asks for every link; false with error() when it cannot,
    // and then no socket is left open (fd() is -1).
    bool open(const std::string& netns);
    int fd() const;
    // Handles what the kernel has sent; false when the socket failed (the owner then reopens it).
    bool read(const OnLink& onLink);
    // The namespace file's inode when opened (0 for the own namespace): another means it was made anew.
    ino_t inode() const { return inode_; }
    const std::string& error() const { return error_; }

    // The namespace file's inode now, 0 when the name does not exist (or is the own namespace).
    static ino_t currentInode(const std::string& netns);

  private:
    bool connect(const std::string& netns);
    bool askForLinks();
    void close();

    mnl_socket* socket_ = nullptr;
    ino_t inode_ = 0;
    std::string error_;
};

}  // namespace SyncPortd

#endif
