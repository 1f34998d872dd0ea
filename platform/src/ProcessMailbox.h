#ifndef SYNC_PLATFORM_PROCESSMAILBOX_H
#define SYNC_PLATFORM_PROCESSMAILBOX_H

#include <cstdint>

#include "Mailbox.h"
#include "MailboxThread.h"

namespace Sync::Platform {

// The one mailbox behind the C API (tavi.h, kolm.h): the daemon needs exactly one. A thread of the
// library waits on its bus (MailboxThread), so each call of the API holds the mailbox through one
// object of this class for as long as it uses it:
//     ProcessMailbox process;
//     if (Mailbox* mailbox = process.open()) mailbox->send(...);
// Between tavi_delete_mailbox and tavi_exit the closed mailbox stays, so its descriptor stays open.
class ProcessMailbox {
  public:
    ProcessMailbox();
    // Its descriptor then tells what waits; warnings the thread met go to the application here.
    ~ProcessMailbox();
    ProcessMailbox(const ProcessMailbox&) = delete;
    ProcessMailbox& operator=(const ProcessMailbox&) = delete;

    // The open mailbox, or null (before init, without a mailbox, after remove).
    Mailbox* open() const;
    // Whether from names the own mailbox (TAVI_OWN_ID or its id).
    bool isOwn(uint32_t from) const;

    // 0 on success; count 0 is refused. A second call changes nothing and succeeds.
    static int init(uint32_t count);
    // The new mailbox's id; TAVI_NO_ID before init, when one already exists, or when creation fails.
    static uint32_t create(const char* name);
    // Closes the mailbox when id is its id.
    static void remove(uint32_t id);
    // Destroys the mailbox (closing its descriptor) and forgets init.
    static void exit();
    // The descriptor the application waits on, -1 without one.
    static int fd();

  private:
    MailboxThread* held_;
};

}  // namespace Sync::Platform

#endif
