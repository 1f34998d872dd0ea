#include "InterfaceWatch.h"

#include <utility>

#include "Log.h"

namespace SyncEsmcd {

using SyncSys::Log;

InterfaceWatch::InterfaceWatch(Listener& listener, LinkSources sources)
    : listener_(listener), sources_(std::move(sources)) {}

bool InterfaceWatch::open() {
    return netnsWatch_.open();
}

void InterfaceWatch::follow(const std::set<std::string>& namespaces) {
    auto followed = links_.begin();
    auto wanted = namespaces.begin();
    while (followed != links_.end() || wanted != namespaces.end()) {
        if (wanted == namespaces.end() || (followed != links_.end() && followed->first < *wanted)) {
            followed = links_.erase(followed);
        } else if (followed == links_.end() || *wanted < followed->first) {
            openLinks(*wanted++);
        } else {
            ++followed;
            ++wanted;
        }
    }
}

void InterfaceWatch::openLinks(const std::string& netns) {
    std::unique_ptr<SyncSys::LinkSource> source = sources_();
    // Opened, it names every link of the namespace first: whatever appeared meanwhile is told.
    if (!source->open(netns))
        source.reset();  // the outputs there are refused, and say why
    links_[netns] = std::move(source);
}

std::vector<int> InterfaceWatch::descriptors() const {
    std::vector<int> fds;
    if (netnsWatch_.fd() >= 0)
        fds.push_back(netnsWatch_.fd());
    for (const auto& [netns, source] : links_)
        if (source)
            fds.push_back(source->fd());
    return fds;
}

void InterfaceWatch::process() {
    for (const std::string& name : netnsWatch_.read()) {
        const auto followed = links_.find(name);
        if (followed == links_.end())
            continue;  // no output is there
        const SyncSys::NetnsWatch::Identity now = netnsWatch_.identity(name);
        // The links of a namespace that lost its name are no longer the outputs' (and reading them
        // would keep it alive).
        if (!followed->second || followed->second->identity() != now) {
            followed->second.reset();
            if (now)
                openLinks(name);
        }
        listener_.namespaceChanged(name, now);
    }
    for (auto& [netns, source] : links_) {
        if (!source)
            continue;
        const std::string& name = netns;
        if (!source->read([&](const SyncSys::LinkSource::Link& link, bool present) {
                listener_.linkChanged(name, link, present);
            })) {
            // Lost notifications: read every link again.
            Log::warning(source->error() + " (namespace " + (name.empty() ? "own" : name) +
                         "); reading it anew");
            openLinks(name);
        }
    }
}

}  // namespace SyncEsmcd
