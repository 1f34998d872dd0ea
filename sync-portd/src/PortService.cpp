#include "PortService.h"

#include <cstdio>
#include <set>

#include "Log.h"

namespace SyncPortd {

namespace {

using SyncSys::Log;

std::string where(const PortTable::Entry& entry) {
    return entry.netns.empty() ? entry.interfaceName : entry.netns + "/" + entry.interfaceName;
}

// The journal fields of a line about one port: the names the daemon's entries use for it too.
Log::Fields portFields(const PortTable::Entry& entry, bool unlocked, bool enabled) {
    return {{"SYNC_PORT", entry.portName},
            {"SYNC_INTERFACE", entry.interfaceName},
            {"SYNC_NETNS", entry.netns},
            {"SYNC_ADMINISTRATIVE_STATE", unlocked ? "unlocked" : "locked"},
            {"SYNC_OPERATIONAL_STATE", enabled ? "enabled" : "disabled"}};
}

std::string macText(const std::array<uint8_t, 6>& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return text;
}

}  // namespace

PortService::PortService() {
    server_.setListener(this);
}

PortService::~PortService() = default;

bool PortService::start(const std::vector<PortTable::Entry>& table) {
    setTable(table);
    if (!server_.open()) {
        error_ = server_.lastError();
        return false;
    }
    return true;
}

void PortService::reload(const std::vector<PortTable::Entry>& table) {
    std::map<std::string, const PortTable::Entry*> next;
    for (const PortTable::Entry& entry : table)
        next[entry.portName] = &entry;
    bool added = false;
    for (const PortTable::Entry& entry : table) {
        const auto old = portOf_.find(Key(entry.netns, entry.interfaceName));
        added = added || old == portOf_.end() || !(ports_[old->second].entry == entry);
    }
    for (const Port& port : ports_) {
        const auto kept = next.find(port.entry.portName);
        if (kept != next.end() && *kept->second == port.entry)
            continue;
        Log::info(
            "port " + port.entry.portName + " (" + where(port.entry) + ") left the table: locked, disabled",
            portFields(port.entry, false, false));
        server_.setPortState(port.entry.portName, 0, 0);
        server_.sendPortStatus(port.entry.portName);
    }
    setTable(table);
    Log::info("port table reloaded: " + std::to_string(ports_.size()) + " ports");
    if (added) {
        // Clients learn which ports exist when they connect: make them connect again.
        Log::info("ports were added: leaving the bus so that clients ask again");
        server_.close();
        if (!server_.open())
            Log::error("cannot serve again: " + server_.lastError());
    }
}

void PortService::setTable(const std::vector<PortTable::Entry>& table) {
    std::vector<Port> ports;
    std::map<Key, size_t> portOf;
    for (const PortTable::Entry& entry : table) {
        portOf[Key(entry.netns, entry.interfaceName)] = ports.size();
        Port port;
        port.entry = entry;
        // What subscribers of a kept port were told stays what they were told.
        const auto old = portOf_.find(Key(entry.netns, entry.interfaceName));
        if (old != portOf_.end() && ports_[old->second].entry == entry)
            port = ports_[old->second];
        ports.push_back(port);
    }
    std::vector<SyncPeers::PortControlServer::Port> served;
    for (const Port& port : ports) {
        SyncPeers::PortControlServer::Port record;
        record.role = port.entry.role;
        record.rhaiId = port.entry.rhaiId;
        record.macAddress = port.link.mac;
        record.portName = port.entry.portName;
        record.interfaceName = port.entry.interfaceName;
        record.networkNamespace = port.entry.netns;
        record.adminState = port.adminState;
        record.operState = port.operState;
        served.push_back(record);
    }
    ports_ = std::move(ports);
    portOf_ = std::move(portOf);
    server_.setPorts(served);
    std::set<std::string> used;
    for (const Port& port : ports_)
        used.insert(port.entry.netns);
    for (auto it = namespaces_.begin(); it != namespaces_.end();)
        it = used.count(it->first) != 0 ? std::next(it) : namespaces_.erase(it);
    for (const std::string& netns : used)
        watch(netns);
    for (const std::string& netns : used)
        refreshNamespace(netns);
}

void PortService::watch(const std::string& netns) {
    Namespace& space = namespaces_[netns];
    if (space.watcher)
        return;
    auto watcher = std::make_unique<LinkWatcher>();
    if (!watcher->open(netns)) {
        Log::warning(watcher->error() + "; its ports are locked and disabled until it exists");
        return;
    }
    space.watcher = std::move(watcher);
    // The answer to the watcher's request for every link is read with the notifications.
    space.watcher->read([&](const LinkWatcher::Link& link, bool present) { onLink(netns, link, present); });
}

void PortService::forget(Namespace& space, const std::string& netns) {
    space.watcher.reset();
    space.names.clear();
    space.links.clear();
    refreshNamespace(netns);
}

void PortService::checkNamespaces() {
    for (auto& [netns, space] : namespaces_) {
        if (netns.empty())
            continue;
        const ino_t inode = LinkWatcher::currentInode(netns);
        if (space.watcher && inode != space.watcher->inode()) {
            Log::warning("network namespace " + netns + (inode == 0 ? " was deleted" : " was made anew"),
                         {{"SYNC_NETNS", netns}});
            forget(space, netns);
        }
        if (!space.watcher && inode != 0) {
            Log::info("network namespace " + netns + " exists: watching its links", {{"SYNC_NETNS", netns}});
            watch(netns);
        }
    }
}

std::vector<int> PortService::descriptors() const {
    std::vector<int> fds = {server_.fd()};
    for (const auto& [netns, space] : namespaces_)
        if (space.watcher)
            fds.push_back(space.watcher->fd());
    return fds;
}

void PortService::process() {
    server_.processPending(0);
    for (auto& [netns, space] : namespaces_) {
        if (!space.watcher)
            continue;
        const std::string name = netns;
        if (!space.watcher->read(
                [&](const LinkWatcher::Link& link, bool present) { onLink(name, link, present); })) {
            // Lost notifications: ask for every link again.
            Log::warning(space.watcher->error() + " (namespace " + (name.empty() ? "own" : name) +
                         "); reading it anew");
            space.watcher.reset();
            watch(name);
        }
    }
}

void PortService::onLink(const std::string& netns, const LinkWatcher::Link& link, bool present) {
    Namespace& space = namespaces_[netns];
    const auto known = space.names.find(link.index);
    if (known != space.names.end() && (!present || known->second != link.name)) {
        const std::string old = known->second;
        space.names.erase(known);
        space.links.erase(old);
        refresh(Key(netns, old));
    }
    if (present) {
        space.names[link.index] = link.name;
        space.links[link.name] = link;
        refresh(Key(netns, link.name));
    }
}

void PortService::refreshNamespace(const std::string& netns) {
    for (const Port& port : ports_)
        if (port.entry.netns == netns)
            refresh(Key(netns, port.entry.interfaceName));
}

void PortService::refresh(const Key& key) {
    const auto found = portOf_.find(key);
    if (found == portOf_.end())
        return;
    Port& port = ports_[found->second];
    const Namespace& space = namespaces_[key.first];
    const auto link = space.links.find(key.second);
    port.present = link != space.links.end();
    if (port.present && port.link.mac != link->second.mac)
        server_.setPortMac(port.entry.portName, link->second.mac);
    port.link = port.present ? link->second : LinkWatcher::Link();
    const uint32_t admin = port.present && port.link.up ? 1 : 0;
    const uint32_t oper = port.present && port.link.up && port.link.carrier ? 1 : 0;
    if (admin == port.adminState && oper == port.operState)
        return;
    port.adminState = admin;
    port.operState = oper;
    server_.setPortState(port.entry.portName, admin, oper);
    const size_t told = server_.sendPortStatus(port.entry.portName);
    Log::info("port " + port.entry.portName + " (" + where(port.entry) +
                  "): " + (admin ? "unlocked" : "locked") + ", " + (oper ? "enabled" : "disabled") +
                  (port.present ? "" : " (no such interface)") + "; told " + std::to_string(told) +
                  " subscribers",
              portFields(port.entry, admin, oper));
}

void PortService::subscribed(const SyncPeers::PortControlServer::Subscription& subscription) {
    server_.sendPortStatusTo(subscription.subscriptionReference);
}

void PortService::dropped(const std::string& why) {
    Log::warning("bus message dropped: " + why);
}

std::vector<std::string> PortService::status() const {
    std::vector<std::string> lines;
    lines.push_back("status: " + std::to_string(ports_.size()) + " ports, " +
                    std::to_string(server_.subscriptions().size()) + " subscriptions");
    for (const Port& port : ports_) {
        char line[256];
        std::snprintf(line, sizeof line, "status: %-16s %-16s netns %-16s %s %-8s %-8s%s",
                      port.entry.portName.c_str(), port.entry.interfaceName.c_str(),
                      port.entry.netns.empty() ? "-" : port.entry.netns.c_str(),
                      macText(port.link.mac).c_str(), port.adminState ? "unlocked" : "locked",
                      port.operState ? "enabled" : "disabled", port.present ? "" : " no such interface");
        lines.push_back(line);
    }
    return lines;
}

}  // namespace SyncPortd
