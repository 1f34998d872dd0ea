#include "ProcessMailbox.h"

namespace Sync::Platform {

namespace {

bool initialised = false;
std::unique_ptr<Mailbox> mailbox;

}  // namespace

int ProcessMailbox::init(uint32_t count) {
    if (count == 0) {
        return -1;
    }
    initialised = true;
    return 0;
}

uint32_t ProcessMailbox::create(const char* name) {
    if (!initialised || mailbox != nullptr || name == nullptr) {
        return TAVI_NO_ID;
    }
    mailbox = Mailbox::create(name);
    return mailbox != nullptr ? mailbox->id() : TAVI_NO_ID;
}

void ProcessMailbox::remove(uint32_t id) {
    if (mailbox != nullptr && mailbox->id() == id) {
        mailbox->close();
    }
}

void ProcessMailbox::exit() {
    mailbox.reset();
    initialised = false;
}

Mailbox* ProcessMailbox::open() {
    return mailbox != nullptr && mailbox->connected() ? mailbox.get() : nullptr;
}

int ProcessMailbox::fd() {
    return mailbox != nullptr ? mailbox->fd() : -1;
}

bool ProcessMailbox::isOwn(uint32_t from) {
    return from == TAVI_OWN_ID || (mailbox != nullptr && from == mailbox->id());
}

}  // namespace Sync::Platform
