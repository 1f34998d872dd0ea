#ifndef SYNC_SYS_LINKSOURCE_H
#define SYNC_SYS_LINKSOURCE_H

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "NetnsWatch.h"

namespace SyncSys {

// The links of one network namespace as the programs that follow interfaces need them from the
// kernel: opened once, first every link, then each change. LinkWatcher reads them over route
// netlink; tests stand in.
class LinkSource {
  public:
    struct Link {
        int index = 0;
        std::string name;
        std::array<uint8_t, 6> mac{};
        bool up = false;       // IFF_UP: administratively up
        bool carrier = false;  // IFF_LOWER_UP: the link has carrier
    };
    // A link as it is now (present), or gone from the namespace (renamed links come as present with
    // their new name; the source's owner keeps the index's old name to see the rename).
    using OnLink = std::function<void(const Link& link, bool present)>;

    virtual ~LinkSource() = default;

    // Opens the namespace's links (an ip-netns name; empty: the service's own) and asks for every
    // link; false with error() when it cannot.
    virtual bool open(const std::string& netns) = 0;
    // Readable when something arrived; -1 while not open.
    virtual int fd() const = 0;
    // Hands on what arrived; false when the source failed (its owner then opens a new one).
    virtual bool read(const OnLink& onLink) = 0;
    // The namespace it opened, to tell one made anew under the same name.
    virtual NetnsWatch::Identity identity() const = 0;
    virtual const std::string& error() const = 0;
};

}  // namespace SyncSys

#endif
