#ifndef SYNC_PLATFORM_PROCESSMAILBOX_H
#define SYNC_PLATFORM_PROCESSMAILBOX_H

#include <cstdint>
#include <memory>

#include "Mailbox.h"

namespace Sync::Platform {

// The one mailbox behind the C API (tavi.h, kolm.h): the daemon needs exactly one. Between
// tavi_delete_mailbox and tavi_exit the closed mailbox stays, so its descriptor stays open.
class ProcessMailbox {
  public:
    // 0 on success; count 0 is refused. A second call changes nothing and succeeds.
    static int init(uint32_t count);
    // The new mailbox's id; TAVI_NO_ID before init, when one already exists, or when creation fails.
    static uint32_t create(const char* name);
    // Closes the mailbox when id is its id.
    static void remove(uint32_t id);
    // Destroys the mailbox (closing its descriptor) and forgets init.
    static void exit();
    // The open mailbox, or null (before init, without a mailbox, after remove).
    static Mailbox* open();
    // The mailbox's descriptor, -1 without one.
    static int fd();
    // Whether from names the own mailbox (TAVI_OWN_ID or its id).
    static bool isOwn(uint32_t from);
};

}  // namespace Sync::Platform

#endif
