#ifndef SYNC_PLATFORM_MAILBOXTHREAD_H
#define SYNC_PLATFORM_MAILBOXTHREAD_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Mailbox.h"

namespace Sync::Platform {

// Waits on one mailbox's bus connection on a thread of its own and handles everything that arrives
// there (Id() questions, name owner changes, replies, timeouts, messages), so that the descriptor
// the application waits on, fd(), is readable only while a message (or a warning) waits for it, and
// shows hang-up once the connection broke or the mailbox closed.
//
// The application uses the mailbox only between hold() and release(), which keep the thread off it.
// The thread takes no signal and never calls the application: the warnings it meets are passed on
// in the application's next release(), and fd() turns readable for them.
class MailboxThread {
  public:
    // Messages queued before the thread stops reading the bus: a peer that floods the mailbox fills
    // the bus's buffers and meets its limits, as it would if the application read the socket itself.
    // The thread reads again once the application has taken the queue down to half.
    static constexpr std::size_t kQueueLimit = 1024;

    // Starts the thread on mailbox; null when its descriptors or the thread cannot be made.
    static std::unique_ptr<MailboxThread> start(std::unique_ptr<Mailbox> mailbox);
    ~MailboxThread();
    MailboxThread(const MailboxThread&) = delete;
    MailboxThread& operator=(const MailboxThread&) = delete;

    // Open until the object goes.
    int fd() const { return readEnd_; }
    // Its calls only between hold() and release(); its id at any time.
    Mailbox& mailbox() { return *mailbox_; }
    void hold();
    // Makes fd() tell what now waits, wakes the thread when the call left it something to do, and
    // passes on the warnings held meanwhile.
    void release();
    // Leaves the bus and ends the thread; fd() stays open and shows hang-up. Not between hold() and
    // release().
    void stop();

  private:
    explicit MailboxThread(std::unique_ptr<Mailbox> mailbox);
    void run();
    bool full();
    void settle();
    void poke();
    void hangUp();

    std::unique_ptr<Mailbox> mailbox_;
    std::mutex mutex_;               // guards the mailbox and the members below, but for the descriptors
    int readEnd_ = -1;               // of a pipe: the application's
    int writeEnd_ = -1;              // closed on hang-up
    int poke_ = -1;                  // an eventfd: the application left the thread something to do
    bool signalled_ = false;         // a byte is in the pipe
    bool poked_ = false;             // poke_ is readable
    bool paused_ = false;            // the queue is full: the thread reads nothing until it drains
    bool stopping_ = false;          // stop() was called
    uint64_t waitUntil_ = 0;         // the deadline the thread waits for
    std::vector<std::string> held_;  // warnings met on the thread
    std::thread thread_;
};

}  // namespace Sync::Platform

#endif
