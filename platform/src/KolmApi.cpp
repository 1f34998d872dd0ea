// The C API of kolm.h over the process's one Mailbox. Null texts are refused; the qualifier is
// accepted and not used.
#include "ProcessMailbox.h"
#include "kolm.h"

using Sync::Platform::Mailbox;
using Sync::Platform::ProcessMailbox;

namespace {

Mailbox* mailboxWithId(const ProcessMailbox& process, uint32_t mailboxId) {
    auto* mailbox = process.open();
    return mailbox != nullptr && mailbox->id() == mailboxId ? mailbox : nullptr;
}

}  // namespace

extern "C" {

int kolm_publish(const char* service, const char* domain, uint32_t mailboxId, const char*) {
    ProcessMailbox process;
    auto* mailbox = mailboxWithId(process, mailboxId);
    if (mailbox == nullptr || service == nullptr || domain == nullptr) {
        return -1;
    }
    return mailbox->publish(service, domain);
}

int kolm_unpublish(const char* service, const char* domain, uint32_t mailboxId, const char*) {
    ProcessMailbox process;
    auto* mailbox = mailboxWithId(process, mailboxId);
    if (mailbox == nullptr || service == nullptr || domain == nullptr) {
        return -1;
    }
    return mailbox->unpublish(service, domain);
}

int kolm_subscribe(const char* service, const char* domain, uint64_t tag, uint32_t from) {
    ProcessMailbox process;
    auto* mailbox = process.open();
    if (mailbox == nullptr || !process.isOwn(from) || service == nullptr || domain == nullptr) {
        return -1;
    }
    return mailbox->subscribe(service, domain, tag) != 0 ? 0 : -1;
}

int kolm_unsubscribe(uint32_t subscriptionId, uint32_t from) {
    ProcessMailbox process;
    auto* mailbox = process.open();
    if (mailbox == nullptr || !process.isOwn(from)) {
        return -1;
    }
    return mailbox->unsubscribe(subscriptionId);
}

}  // extern "C"
