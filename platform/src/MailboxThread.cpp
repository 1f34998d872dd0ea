#include "MailboxThread.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <system_error>
#include <utility>

#include "WarningSink.h"

namespace Sync::Platform {

namespace {

// Bus steps per hold of the lock, so that the application's calls are not kept waiting long.
constexpr int kBatch = 16;

void passOn(const std::vector<std::string>& warnings) {
    for (const std::string& text : warnings) {
        WarningSink::emit("%s", text.c_str());
    }
}

}  // namespace

std::unique_ptr<MailboxThread> MailboxThread::start(std::unique_ptr<Mailbox> mailbox) {
    std::unique_ptr<MailboxThread> self(new MailboxThread(std::move(mailbox)));
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) < 0) {
        WarningSink::emit("mailbox %s: no descriptor for the application: %s", self->mailbox_->name().c_str(),
                          strerror(errno));
        return nullptr;
    }
    self->readEnd_ = ends[0];
    self->writeEnd_ = ends[1];
    self->poke_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (self->poke_ < 0) {
        WarningSink::emit("mailbox %s: no descriptor for its thread: %s", self->mailbox_->name().c_str(),
                          strerror(errno));
        return nullptr;
    }
    self->mailbox_->setSelfWake(false);
    // Signals stay the application's, whichever it blocks and reads later: the thread takes none.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
        self->thread_ = std::thread(&MailboxThread::run, self.get());
    } catch (const std::system_error& error) {
        WarningSink::emit("mailbox %s: cannot start its thread: %s", self->mailbox_->name().c_str(),
                          error.what());
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (!self->thread_.joinable()) {
        return nullptr;
    }
    return self;
}

MailboxThread::MailboxThread(std::unique_ptr<Mailbox> mailbox) : mailbox_(std::move(mailbox)) {}

MailboxThread::~MailboxThread() {
    stop();
    for (int fd : {poke_, readEnd_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void MailboxThread::hold() {
    mutex_.lock();
}

void MailboxThread::release() {
    std::vector<std::string> warnings;
    warnings.swap(held_);
    settle();
    const bool open = mailbox_->connected();
    if (!open) {
        hangUp();
    }
    // The call may have left the thread work its wait does not see: a drained queue to refill,
    // messages sd-bus read off the socket while the call waited for an answer, an earlier timeout.
    const bool resume = paused_ && mailbox_->queued() <= kQueueLimit / 2;
    if (!stopping_ && (!open || resume || mailbox_->deadline() < waitUntil_)) {
        poke();
    }
    mutex_.unlock();
    passOn(warnings);
}

void MailboxThread::stop() {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
            poke();
        }
        thread_.join();
    }
    mailbox_->close();
    hangUp();
    passOn(std::exchange(held_, {}));
}

void MailboxThread::run() {
    WarningSink::holdOnThisThread(&held_);
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_ && mailbox_->connected()) {
        const bool reading = !full();
        pollfd ready[] = {{mailbox_->fd(), reading ? mailbox_->events() : short{0}, 0}, {poke_, POLLIN, 0}};
        waitUntil_ = reading ? mailbox_->deadline() : UINT64_MAX;
        const int timeout = Mailbox::millisecondsUntil(waitUntil_);
        lock.unlock();
        poll(ready, 2, timeout);
        lock.lock();
        if ((ready[1].revents & POLLIN) != 0) {
            eventfd_t count = 0;
            eventfd_read(poke_, &count);
            poked_ = false;
        }
        // A broken connection is read even with the queue full: reading is how sd-bus learns of it.
        const bool broken = (ready[0].revents & (POLLHUP | POLLERR)) != 0;
        if (!stopping_ && (broken || !full())) {
            mailbox_->process(kBatch);
        }
        settle();
    }
    if (!mailbox_->connected()) {
        hangUp();
    }
    lock.unlock();
    WarningSink::holdOnThisThread(nullptr);
}

// Whether the queue is too full to read more; keeps paused_ from the limit down to half of it.
bool MailboxThread::full() {
    const std::size_t queued = mailbox_->queued();
    if (queued >= kQueueLimit) {
        paused_ = true;
    } else if (queued <= kQueueLimit / 2) {
        paused_ = false;
    }
    return paused_;
}

// The pipe holds one byte while anything waits for the application, and none otherwise.
void MailboxThread::settle() {
    const bool waiting = mailbox_->queued() > 0 || !held_.empty();
    if (waiting == signalled_ || writeEnd_ < 0) {
        return;
    }
    char byte = 0;
    if (waiting ? write(writeEnd_, &byte, 1) == 1 : read(readEnd_, &byte, 1) == 1) {
        signalled_ = waiting;
    }
}

void MailboxThread::poke() {
    if (!poked_ && eventfd_write(poke_, 1) == 0) {
        poked_ = true;
    }
}

// With the write end closed, the application's end reports hang-up for good.
void MailboxThread::hangUp() {
    if (writeEnd_ >= 0) {
        ::close(writeEnd_);
        writeEnd_ = -1;
    }
}

}  // namespace Sync::Platform
