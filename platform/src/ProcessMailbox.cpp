#include "ProcessMailbox.h"

#include <memory>

namespace Sync::Platform {

namespace {

bool initialised = false;
std::unique_ptr<MailboxThread> current;

}  // namespace

ProcessMailbox::ProcessMailbox() : held_(current.get()) {
    if (held_ != nullptr) {
        held_->hold();
    }
}

ProcessMailbox::~ProcessMailbox() {
    if (held_ != nullptr) {
        held_->release();
    }
}

Mailbox* ProcessMailbox::open() const {
    return held_ != nullptr && held_->mailbox().connected() ? &held_->mailbox() : nullptr;
}

bool ProcessMailbox::isOwn(uint32_t from) const {
    return from == TAVI_OWN_ID || (held_ != nullptr && from == held_->mailbox().id());
}

int ProcessMailbox::init(uint32_t count) {
    if (count == 0) {
        return -1;
    }
    initialised = true;
    return 0;
}

uint32_t ProcessMailbox::create(const char* name) {
    if (!initialised || current != nullptr || name == nullptr) {
        return TAVI_NO_ID;
    }
    std::unique_ptr<Mailbox> mailbox = Mailbox::create(name);
    if (mailbox == nullptr) {
        return TAVI_NO_ID;
    }
    const uint32_t id = mailbox->id();
    current = MailboxThread::start(std::move(mailbox));
    return current != nullptr ? id : TAVI_NO_ID;
}

void ProcessMailbox::remove(uint32_t id) {
    if (current != nullptr && current->mailbox().id() == id) {
        current->stop();
    }
}

void ProcessMailbox::exit() {
    current.reset();
    initialised = false;
}

int ProcessMailbox::fd() {
    return current != nullptr ? current->fd() : -1;
}

}  // namespace Sync::Platform
