#ifndef SYNC_SYS_LINKWATCHER_H
#define SYNC_SYS_LINKWATCHER_H

#include <string>

#include "LinkSource.h"

struct mnl_socket;

namespace SyncSys {

// The links of one network namespace as rtnetlink reports them: a socket opened inside the namespace,
// subscribed to link changes, that first asks for every link. The socket keeps the namespace alive,
// so whoever owns the watcher must drop it when the namespace's name goes or names another one (see
// identity()).
class LinkWatcher : public LinkSource {
  public:
    LinkWatcher() = default;
    ~LinkWatcher() override;
    LinkWatcher(const LinkWatcher&) = delete;
    LinkWatcher& operator=(const LinkWatcher&) = delete;

    // No socket is left open when it fails (fd() is -1).
    bool open(const std::string& netns) override;
    int fd() const override;
    // False when the socket failed (ENOBUFS: notifications were lost).
    bool read(const OnLink& onLink) override;
    NetnsWatch::Identity identity() const override { return identity_; }
    const std::string& error() const override { return error_; }

  private:
    bool connect(const std::string& netns);
    bool askForLinks();
    void close();

    mnl_socket* socket_ = nullptr;
    NetnsWatch::Identity identity_;
    std::string error_;
};

}  // namespace SyncSys

#endif
