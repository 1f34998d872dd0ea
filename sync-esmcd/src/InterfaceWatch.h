#ifndef SYNC_ESMCD_INTERFACEWATCH_H
#define SYNC_ESMCD_INTERFACEWATCH_H

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "LinkSource.h"
#include "LinkWatcher.h"
#include "NetnsWatch.h"

namespace SyncEsmcd {

// What the outputs' places are made of, as it comes and goes: the named network namespaces (one
// NetnsWatch on /run/netns) and the links of each namespace the outputs are in (one LinkSource each,
// over route netlink). Its descriptors wake the program only when one of them changed, so an output
// that waits for its interface costs nothing while nothing happens.
class InterfaceWatch {
  public:
    class Listener {
      public:
        virtual ~Listener() = default;
        // The namespace behind the name `netns` is another one now (its identity), or none.
        virtual void namespaceChanged(const std::string& netns, SyncSys::NetnsWatch::Identity now) = 0;
        // A link of `netns` as it is now (present), or gone from it; every link when the namespace's
        // links are read afresh.
        virtual void linkChanged(const std::string& netns, const SyncSys::LinkSource::Link& link,
                                 bool present) = 0;
    };
    // Opens the links of one namespace each; the kernel's by default.
    using LinkSources = std::function<std::unique_ptr<SyncSys::LinkSource>()>;

    explicit InterfaceWatch(
        Listener& listener, LinkSources sources = [] { return std::make_unique<SyncSys::LinkWatcher>(); });

    // Starts watching the named namespaces; false (with error()) when it cannot.
    bool open();
    // Follows the links of exactly these namespaces from now on ("" the own one). A namespace that
    // cannot be entered is tried again when it changes.
    void follow(const std::set<std::string>& namespaces);
    // The namespace watch and one descriptor per namespace followed.
    std::vector<int> descriptors() const;
    // Reads what changed and tells the listener.
    void process();
    const std::string& error() const { return netnsWatch_.error(); }

  private:
    void openLinks(const std::string& netns);

    Listener& listener_;
    LinkSources sources_;
    SyncSys::NetnsWatch netnsWatch_;
    std::map<std::string, std::unique_ptr<SyncSys::LinkSource>> links_;  // none while it cannot be entered
};

}  // namespace SyncEsmcd

#endif
