#include "MailboxPeer.h"

#include <chrono>
#include <utility>
#include <vector>

#include "Mailbox.h"
#include "MessageBuffer.h"

namespace SyncPeers {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

MailboxPeer::MailboxPeer(std::string mailboxName) : mailboxName_(std::move(mailboxName)) {}

MailboxPeer::~MailboxPeer() = default;

bool MailboxPeer::openMailbox(const std::string& whyNot) {
    if (mailbox_)
        return true;
    mailbox_ = Sync::Platform::Mailbox::create(mailboxName_, &lastErrno_);
    if (!mailbox_) {
        lastError_ = "cannot create mailbox \"" + mailboxName_ + "\" (" + whyNot + ")";
        return false;
    }
    return true;
}

void MailboxPeer::closeMailbox() {
    mailbox_.reset();
}

bool MailboxPeer::busNameOwned(const std::string& busName) const {
    return mailbox_ && mailbox_->hasOwner(busName);
}

bool MailboxPeer::isOpen() const {
    return mailbox_ != nullptr;
}

uint32_t MailboxPeer::id() const {
    return mailbox_ ? mailbox_->id() : 0xFFFFFFFFu;
}

int MailboxPeer::fd() const {
    return mailbox_ ? mailbox_->fd() : -1;
}

int MailboxPeer::timeoutMs() const {
    return mailbox_ ? mailbox_->timeoutMs() : -1;
}

bool MailboxPeer::processOnce(int timeoutMs) {
    if (!mailbox_)
        return false;
    void* msg = mailbox_->receive(timeoutMs);
    if (msg == nullptr)
        return false;
    const uint32_t size = Sync::Platform::MessageBuffer::size(msg);
    const uint32_t sender = Sync::Platform::MessageBuffer::sender(msg);
    const auto* bytes = static_cast<const uint8_t*>(msg);
    WireBuffer message(std::vector<uint8_t>(bytes, bytes + size));
    Sync::Platform::MessageBuffer::release(msg);
    handle(message, sender);
    return true;
}

size_t MailboxPeer::processPending(int timeoutMs) {
    size_t handled = 0;
    while (processOnce(timeoutMs))
        ++handled;
    return handled;
}

bool MailboxPeer::waitFor(const std::function<bool()>& done, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done() && millisecondsLeft(deadline) > 0 && isOpen())
        processOnce(millisecondsLeft(deadline));
    return done();
}

}  // namespace SyncPeers
