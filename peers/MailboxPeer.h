#ifndef SYNC_PEERS_MAILBOXPEER_H
#define SYNC_PEERS_MAILBOXPEER_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "WireBuffer.h"

namespace Sync::Platform {
class Mailbox;
}

namespace SyncPeers {

// What every endpoint shares: one mailbox of its own and the loop that reads it. A peer is
// driven by processOnce(), which hands each received message to handle(); every wait is bounded by
// the caller's timeout.
class MailboxPeer {
  public:
    virtual ~MailboxPeer();
    MailboxPeer(const MailboxPeer&) = delete;
    MailboxPeer& operator=(const MailboxPeer&) = delete;

    bool isOpen() const;
    // The mailbox id, or 0xFFFFFFFF while closed.
    uint32_t id() const;
    // A descriptor that turns readable when the mailbox may have work (poll it, then processPending(0));
    // -1 while closed.
    int fd() const;
    // Milliseconds until the mailbox has a timeout of its own to notice; -1 for none (or closed).
    // A wait on fd() lasts no longer, then processPending(0).
    int timeoutMs() const;

    // Waits up to timeoutMs for one message and handles it; false when none came.
    bool processOnce(int timeoutMs);
    // Handles messages until none arrives within timeoutMs; how many were handled.
    size_t processPending(int timeoutMs);
    // Processes messages until done() holds, at most timeoutMs; whether it holds.
    bool waitFor(const std::function<bool()>& done, int timeoutMs);

    const std::string& lastError() const { return lastError_; }
    // Why the last open failed, as Mailbox::create says (a negative errno); 0 after a success.
    int lastErrno() const { return lastErrno_; }
    // Whether busName has an owner on the bus now; false while closed.
    bool busNameOwned(const std::string& busName) const;

  protected:
    explicit MailboxPeer(std::string mailboxName);

    // Creates the mailbox unless it exists; false, with lastError() naming why, when it cannot.
    bool openMailbox(const std::string& whyNot);
    void closeMailbox();

    // One received message, whole, with its sender's mailbox id.
    virtual void handle(const WireBuffer& message, uint32_t sender) = 0;

    std::string mailboxName_;
    std::unique_ptr<Sync::Platform::Mailbox> mailbox_;
    std::string lastError_;
    int lastErrno_ = 0;
};

}  // namespace SyncPeers

#endif
