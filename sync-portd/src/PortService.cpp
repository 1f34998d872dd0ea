#include "PortService.h"

#include <cstdio>
#include <set>
#include <utility>

#include "Log.h"
#include "MacAddress.h"

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

}  // namespace

PortService::PortService(LinkSources sources) : sources_(std::move(sources)) {
    server_.setListener(this);
}

PortService::~PortService() = default;

bool PortService::start(const std::vector<PortTable::Entry>& table) {
    if (!netnsWatch_.open()) {
        error_ = netnsWatch_.error();
        return false;
    }
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
    if (space.source)
        return;
    std::unique_ptr<SyncSys::LinkSource> source = sources_();
    if (!source->open(netns)) {
        // It is tried again whenever it changes and on every reload: told only when the reason is new.
        if (source->error() != space.refusal)
            Log::warning(source->error() + "; its ports are locked and disabled until it can be entered");
        space.refusal = source->error();
        return;
    }
    space.refusal.clear();
    space.source = std::move(source);
    // The answer to the request for every link replaces whatever was known: links may have gone or
    // swapped names while notifications were lost. The ports are compared once it is all in, so that
    // subscribers hear only of what really changed.
    space.names.clear();
    space.links.clear();
    space.source->read(
        [&](const SyncSys::LinkSource::Link& link, bool present) { record(space, link, present); });
    refreshNamespace(netns);
}

void PortService::forget(Namespace& space, const std::string& netns) {
    space.source.reset();
    space.names.clear();
    space.links.clear();
    refreshNamespace(netns);
}

void PortService::namespaceChanged(const std::string& netns, SyncSys::NetnsWatch::Identity now) {
    const auto found = namespaces_.find(netns);
    if (netns.empty() || found == namespaces_.end())
        return;  // no port of the table is there
    Namespace& space = found->second;
    if (space.source && space.source->identity() == now)
        return;
    if (space.source) {
        Log::warning("network namespace " + netns + (now ? " was made anew" : " was deleted"),
                     {{"SYNC_NETNS", netns}});
        forget(space, netns);
    }
    if (!now)
        return;
    watch(netns);
    if (space.source)
        Log::info("network namespace " + netns + " exists: watching its links", {{"SYNC_NETNS", netns}});
}

std::vector<int> PortService::descriptors() const {
    std::vector<int> fds = {server_.fd()};
    if (netnsWatch_.fd() >= 0)
        fds.push_back(netnsWatch_.fd());
    for (const auto& [netns, space] : namespaces_)
        if (space.source)
            fds.push_back(space.source->fd());
    return fds;
}

void PortService::process() {
    server_.processPending(0);
    for (const std::string& netns : netnsWatch_.read())
        namespaceChanged(netns, netnsWatch_.identity(netns));
    for (auto& [netns, space] : namespaces_) {
        if (!space.source)
            continue;
        const std::string name = netns;
        if (!space.source->read(
                [&](const SyncSys::LinkSource::Link& link, bool present) { onLink(name, link, present); })) {
            // Lost notifications: ask for every link again.
            Log::warning(space.source->error() + " (namespace " + (name.empty() ? "own" : name) +
                         "); reading it anew");
            space.source.reset();
            watch(name);
            if (!space.source)
                forget(space, name);  // what it knew of the namespace's links is no longer true
        }
    }
}

void PortService::onLink(const std::string& netns, const SyncSys::LinkSource::Link& link, bool present) {
    for (const std::string& name : record(namespaces_[netns], link, present))
        refresh(Key(netns, name));
}

std::vector<std::string> PortService::record(Namespace& space, const SyncSys::LinkSource::Link& link,
                                             bool present) {
    std::vector<std::string> touched;
    const auto known = space.names.find(link.index);
    if (known != space.names.end() && (!present || known->second != link.name)) {
        touched.push_back(known->second);
        space.links.erase(known->second);
        space.names.erase(known);
    }
    if (present) {
        space.names[link.index] = link.name;
        space.links[link.name] = link;
        touched.push_back(link.name);
    }
    return touched;
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
    port.link = port.present ? link->second : SyncSys::LinkSource::Link();
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
        std::snprintf(
            line, sizeof line, "status: %-16s %-16s netns %-16s %s %-8s %-8s%s", port.entry.portName.c_str(),
            port.entry.interfaceName.c_str(), port.entry.netns.empty() ? "-" : port.entry.netns.c_str(),
            SyncSys::MacAddress::format(port.link.mac).c_str(), port.adminState ? "unlocked" : "locked",
            port.operState ? "enabled" : "disabled", port.present ? "" : " no such interface");
        lines.push_back(line);
    }
    return lines;
}

std::string PortService::summary() const {
    size_t up = 0;
    for (const Port& port : ports_)
        up += port.operState != 0 ? 1 : 0;
    return std::to_string(ports_.size()) + " ports, " + std::to_string(up) + " up; " +
           std::to_string(server_.subscriptions().size()) + " subscriptions";
}

nlohmann::ordered_json PortService::report() const {
    nlohmann::ordered_json ports = nlohmann::ordered_json::array();
    for (const Port& port : ports_)
        ports.push_back({{"name", port.entry.portName},
                         {"interface", port.entry.interfaceName},
                         {"namespace", port.entry.netns},
                         {"present", port.present},
                         {"mac", SyncSys::MacAddress::format(port.link.mac)},
                         {"unlocked", port.adminState != 0},
                         {"enabled", port.operState != 0}});
    return {{"program", "sync-portd"},
            {"subscriptions", server_.subscriptions().size()},
            {"ports", std::move(ports)}};
}

}  // namespace SyncPortd
