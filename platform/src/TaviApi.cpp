// The C API of tavi.h over the process's one Mailbox. Without an open mailbox, calls that take a
// message free it, receive returns null and monitor returns 0.
#include "MessageBuffer.h"
#include "ProcessMailbox.h"
#include "WarningSink.h"
#include "tavi.h"

using Sync::Platform::MessageBuffer;
using Sync::Platform::ProcessMailbox;
using Sync::Platform::WarningSink;

namespace {

void drop(void** msg) {
    if (msg != nullptr) {
        MessageBuffer::release(*msg);
        *msg = nullptr;
    }
}

}  // namespace

extern "C" {

int tavi_init(uint32_t count, uint32_t, uint32_t, uint32_t, uint32_t) {
    return ProcessMailbox::init(count);
}
uint32_t tavi_create_mailbox(const char* name, uint32_t) {
    return ProcessMailbox::create(name);
}
void tavi_delete_mailbox(uint32_t id) {
    ProcessMailbox::remove(id);
}
void tavi_exit(void) {
    ProcessMailbox::exit();
}
int tavi_get_fd(void) {
    return ProcessMailbox::fd();
}
void* tavi_alloc(uint32_t size, uint32_t msgno) {
    return MessageBuffer::allocate(size, msgno);
}

void tavi_send(void** msg, uint32_t to, uint32_t from) {
    ProcessMailbox process;
    if (auto* mailbox = process.open()) {
        mailbox->send(msg, to, from);
    } else {
        drop(msg);
    }
}

void* tavi_receive(const uint32_t*, int32_t, uint32_t) {
    ProcessMailbox process;
    auto* mailbox = process.open();
    return mailbox != nullptr ? mailbox->receive() : nullptr;
}

void tavi_free(void** msg) {
    drop(msg);
}
uint32_t tavi_sender(const void* msg) {
    return MessageBuffer::sender(msg);
}
uint32_t tavi_size(const void* msg) {
    return MessageBuffer::size(msg);
}

uint32_t tavi_monitor(uint32_t pid, void** msg) {
    ProcessMailbox process;
    if (auto* mailbox = process.open()) {
        return mailbox->monitor(pid, msg);
    }
    drop(msg);
    return 0;
}

void tavi_unmonitor(uint32_t ref) {
    ProcessMailbox process;
    if (auto* mailbox = process.open()) {
        mailbox->unmonitor(ref);
    }
}

// The located mailbox's message always comes to the own mailbox; `from` names nothing else here.
void tavi_locate_async(const char* name, void** msg, uint32_t) {
    ProcessMailbox process;
    auto* mailbox = process.open();
    if (mailbox != nullptr && name != nullptr) {
        mailbox->locate(name, msg);
    } else {
        drop(msg);
    }
}

void tavi_set_warning_callback(tavi_warning_fn fn) {
    WarningSink::setCallback(fn);
}

}  // extern "C"
