#ifndef SYNC_PORTD_PORTSERVICE_H
#define SYNC_PORTD_PORTSERVICE_H

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "LinkWatcher.h"
#include "NetnsWatch.h"
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
    // Opens the links of one namespace each; the kernel's by default.
    using LinkSources = std::function<std::unique_ptr<SyncSys::LinkSource>()>;

    explicit PortService(LinkSources sources = [] { return std::make_unique<SyncSys::LinkWatcher>(); });
    ~PortService() override;

    // Serves `table` on the bus; false (with error()) when the mailbox cannot be made.
    bool start(const std::vector<PortTable::Entry>& table);
    // Takes `table` without going on the bus (what start() does first).
    void setTable(const std::vector<PortTable::Entry>& table);
    // A new table: removed ports are reported locked and disabled to their subscribers, and when
    // ports were added the service leaves the bus and comes back, so that clients ask again which
    // ports exist.
    void reload(const std::vector<PortTable::Entry>& table);

    // Every descriptor to watch: the mailbox, the namespace watch and one link source per namespace
    // in use. None is readable while nothing changes.
    std::vector<int> descriptors() const;
    // Handles whatever is pending on the bus, in the namespaces and on the link sources.
    void process();
    // A namespace appeared (its identity), went (none) or was made anew under its name (another
    // identity): its links are read from the namespace that has the name now.
    void namespaceChanged(const std::string& netns, SyncSys::NetnsWatch::Identity now);

    // The status printout: a heading, then one line per port.
    std::vector<std::string> status() const;
    // One line for the service manager: how many ports, how many of them up.
    std::string summary() const;
    // The status as a document for programs: every port with what its subscribers are told.
    nlohmann::ordered_json report() const;
    SyncPeers::PortControlServer& server() { return server_; }
    const std::string& error() const { return error_; }

    void subscribed(const SyncPeers::PortControlServer::Subscription& subscription) override;
    void dropped(const std::string& why) override;

  private:
    struct Port {
        PortTable::Entry entry;
        SyncSys::LinkSource::Link link;
        bool present = false;
        uint32_t adminState = 0;  // what subscribers were told
        uint32_t operState = 0;
    };
    struct Namespace {
        std::unique_ptr<SyncSys::LinkSource> source;
        std::map<int, std::string> names;                        // by link index, to see renames
        std::map<std::string, SyncSys::LinkSource::Link> links;  // by name
        std::string refusal;                                     // why it could not be entered, as last told
    };
    using Key = std::pair<std::string, std::string>;  // namespace, interface

    void watch(const std::string& netns);
    void forget(Namespace& space, const std::string& netns);
    void onLink(const std::string& netns, const SyncSys::LinkSource::Link& link, bool present);
    // Takes in one link's news; the interface names it touched (a renamed link's old one too).
    static std::vector<std::string> record(Namespace& space, const SyncSys::LinkSource::Link& link,
                                           bool present);
    // Takes the port's state from its namespace's links; indicates it when it changed.
    void refresh(const Key& key);
    void refreshNamespace(const std::string& netns);

    LinkSources sources_;
    SyncSys::NetnsWatch netnsWatch_;
    SyncPeers::PortControlServer server_;
    std::vector<Port> ports_;
    std::map<Key, size_t> portOf_;
    std::map<std::string, Namespace> namespaces_;
    std::string error_;
};

}  // namespace SyncPortd

#endif
