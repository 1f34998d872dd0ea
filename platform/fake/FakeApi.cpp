// The C API of tavi.h and kolm.h over the in-process fake.
#include "FakeBus.h"
#include "MessageBuffer.h"
#include "kolm.h"
#include "tavi.h"

using Sync::Platform::FakeBus;
using Sync::Platform::MessageBuffer;

namespace {

// Takes the message out of the caller's hands, as the real library does.
void* take(void** msg) {
    if (msg == nullptr) {
        return nullptr;
    }
    void* taken = *msg;
    *msg = nullptr;
    return taken;
}

bool isOwn(uint32_t from) {
    return from == TAVI_OWN_ID || from == FakeBus::instance().ownId();
}

}  // namespace

extern "C" {

int tavi_init(uint32_t count, uint32_t, uint32_t, uint32_t, uint32_t) {
    return count == 0 ? -1 : FakeBus::instance().init();
}

uint32_t tavi_create_mailbox(const char* name, uint32_t) {
    return FakeBus::instance().createMailbox(name);
}
void tavi_delete_mailbox(uint32_t id) {
    FakeBus::instance().deleteMailbox(id);
}
void tavi_exit(void) {
    FakeBus::instance().exit();
}
int tavi_get_fd(void) {
    return FakeBus::instance().fd();
}
void* tavi_alloc(uint32_t size, uint32_t msgno) {
    return MessageBuffer::allocate(size, msgno);
}

void tavi_send(void** msg, uint32_t to, uint32_t from) {
    void* taken = take(msg);
    if (taken != nullptr) {
        FakeBus::instance().send(taken, to, from);
    }
}

void* tavi_receive(const uint32_t*, int32_t, uint32_t) {
    return FakeBus::instance().receive();
}
void tavi_free(void** msg) {
    MessageBuffer::release(take(msg));
}
uint32_t tavi_sender(const void* msg) {
    return MessageBuffer::sender(msg);
}
uint32_t tavi_size(const void* msg) {
    return MessageBuffer::size(msg);
}

uint32_t tavi_monitor(uint32_t pid, void** msg) {
    void* taken = take(msg);
    return taken == nullptr ? 0 : FakeBus::instance().monitor(pid, taken);
}

void tavi_unmonitor(uint32_t ref) {
    FakeBus::instance().unmonitor(ref);
}

void tavi_locate_async(const char* name, void** msg, uint32_t) {
    void* taken = take(msg);
    if (taken != nullptr) {
        FakeBus::instance().locate(name, taken);
    }
}

void tavi_set_warning_callback(tavi_warning_fn fn) {
    FakeBus::instance().setWarningCallback(fn);
}

int kolm_publish(const char* service, const char* domain, uint32_t mailboxId, const char* qualifier) {
    return FakeBus::instance().publish(service, domain, mailboxId, qualifier);
}

int kolm_unpublish(const char* service, const char* domain, uint32_t mailboxId, const char* qualifier) {
    return FakeBus::instance().unpublish(service, domain, mailboxId, qualifier);
}

int kolm_subscribe(const char* service, const char* domain, uint64_t tag, uint32_t from) {
    return isOwn(from) ? FakeBus::instance().subscribe(service, domain, tag) : -1;
}

int kolm_unsubscribe(uint32_t subscriptionId, uint32_t from) {
    return isOwn(from) ? FakeBus::instance().unsubscribe(subscriptionId) : -1;
}

}  // extern "C"
