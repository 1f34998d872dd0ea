#ifndef SYNC_PORTD_PORTSERVICE_H
#define SYNC_PORTD_PORTSERVICE_H

#include <sys/types.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "LinkWatcher.h"
#include "PortControlServer.h"
#include "PortTable.h"

namespace SyncPortd {

// The port-control service over the kernel: the port table says which interface of which namespace
// each port is, rtnetlink says how that interface is. A port whose interface does not exist (yet,
// or any more, renamed or moved away) is locked and disabled; it is picked up when an interface of
// its name appears in its namespace. Only changes of what a subscriber is told (administrative and
// operational state) are indicated, at once; a new subscriber gets its port's status right away.
class PortService : public SyncPeers::PortControlServer::Listener {
  public:
    PortService();
    ~PortService() override;

    // Serves `table` on the bus; false (with error()) when the mailbox cannot be made.
    bool start(const std::vector<PortTable::Entry>& table);
    // Takes `table` without going on the bus (what start() does first).
    void setTable(const std::vector<PortTable::Entry>& table);
    // A new table: removed ports are reported locked and disabled to their subscribers, and when
    // ports were added the service leaves the bus and comes back, so that clients ask again which
    // ports exist.
    void reload(const std::vector<PortTable::Entry>& table);

    // Every descriptor to watch: the mailbox and one route netlink socket per namespace in use.
    std::vector<int> descriptors() const;
    // Handles whatever is pending on the bus and the netlink sockets.
    void process();
    // Follows namespaces that were deleted or made anew (a namespace has no event of its own).
    void checkNamespaces();

    // The status printout: a heading, then one line per port.
    std::vector<std::string> status() const;
    // One line for the service manager: how many ports, how many of them up.
    std::string summary() const;
    SyncPeers::PortControlServer& server() { return server_; }
    const std::string& error() const { return error_; }

    void subscribed(const SyncPeers::PortControlServer::Subscription& subscription) override;
    void dropped(const std::string& why) override;

  private:
    struct Port {
        PortTable::Entry entry;
        LinkWatcher::Link link;
        bool present = false;
        uint32_t adminState = 0;  // what subscribers were told
        uint32_t operState = 0;
    };
    struct Namespace {
        std::unique_ptr<LinkWatcher> watcher;
        std::map<int, std::string> names;                // by link index, to see renames
        std::map<std::string, LinkWatcher::Link> links;  // by name
    };
    using Key = std::pair<std::string, std::string>;  // namespace, interface

    void watch(const std::string& netns);
    void forget(Namespace& space, const std::string& netns);
    void onLink(const std::string& netns, const LinkWatcher::Link& link, bool present);
    // Takes the port's state from its namespace's links; indicates it when it changed.
    void refresh(const Key& key);
    void refreshNamespace(const std::string& netns);

    SyncPeers::PortControlServer server_;
    std::vector<Port> ports_;
    std::map<Key, size_t> portOf_;
    std::map<std::string, Namespace> namespaces_;
    std::string error_;
};

}  // namespace SyncPortd

#endif
