// A peer in a process of its own for the end-to-end tests: owns the mailbox named by its argument
// on the bus of TAVI_BUS_ADDRESS and sends every message it receives back to the sender, bytes
// unchanged. Runs until it is killed; exits 2 when the bus goes away.
#include <poll.h>

#include <cerrno>
#include <cstdio>

#include "Mailbox.h"
#include "tavi.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s MAILBOX-NAME\n", argv[0]);
        return 64;
    }
    auto mailbox = Sync::Platform::Mailbox::create(argv[1]);
    if (!mailbox) {
        std::fprintf(stderr, "%s: cannot create mailbox '%s'\n", argv[0], argv[1]);
        return 1;
    }
    for (;;) {
        pollfd p{mailbox->fd(), POLLIN, 0};
        if (poll(&p, 1, -1) < 0 && errno != EINTR) {
            return 1;
        }
        while (void* msg = mailbox->receive()) {
            mailbox->send(&msg, tavi_sender(msg));
        }
        if ((p.revents & (POLLHUP | POLLERR)) != 0 || !mailbox->connected()) {
            std::fprintf(stderr, "%s: the bus went away\n", argv[0]);
            return 2;
        }
    }
}
