// tavi-ping: two mailboxes in one process; one message from the first to the second, and what
// arrived. Exit status 0 when the message came through intact, 1 otherwise.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Mailbox.h"
#include "Options.h"
#include "tavi.h"

using Sync::Platform::Mailbox;
using SyncSys::Options;

namespace {

constexpr uint32_t kPingMsgno = 0x50494E47;  // "PING" read as a number
constexpr uint32_t kPingSize = 16;
constexpr int kWaitMs = 3000;

enum Status { INTACT = 0, NOT_INTACT = 1 };
constexpr Options::Code kStatuses[] = {
    {INTACT, "the message came through intact, or --help or --version answered"},
    {NOT_INTACT, "the mailboxes could not be made, or the message did not arrive intact within 3 s"},
    {Options::BAD, "bad arguments"},
};

}  // namespace

int main(int argc, char** argv) {
    Options options("tavi-ping", "",
                    "Makes two mailboxes on the bus, sends one message from the first to the second and\n"
                    "prints what arrived: a check that the bus carries mailbox messages.");
    options.addText("The bus is $TAVI_BUS_ADDRESS, or the system bus when it is not set.");
    options.addCodes("Exit status:", kStatuses);
    if (const Options::Outcome outcome = options.parse(argc, argv); outcome != Options::RUN)
        return outcome;

    std::string suffix = std::to_string(getpid());
    auto sender = Mailbox::create("tavi-ping-sender-" + suffix);
    auto receiver = Mailbox::create("tavi-ping-receiver-" + suffix);
    if (sender == nullptr || receiver == nullptr) {
        std::fprintf(stderr, "tavi-ping: cannot create the mailboxes (is TAVI_BUS_ADDRESS a running bus?)\n");
        return NOT_INTACT;
    }
    std::printf("sender   %s: id %u\n", sender->name().c_str(), sender->id());
    std::printf("receiver %s: id %u\n", receiver->name().c_str(), receiver->id());

    void* msg = tavi_alloc(kPingSize, kPingMsgno);
    const char payload[] = "ping!";
    std::memcpy(static_cast<char*>(msg) + 4, payload, sizeof payload);
    sender->send(&msg, receiver->id());

    void* got = receiver->receive(kWaitMs);
    if (got == nullptr) {
        std::fprintf(stderr, "tavi-ping: nothing arrived within %d ms\n", kWaitMs);
        return NOT_INTACT;
    }
    uint32_t msgno = 0;
    std::memcpy(&msgno, got, sizeof msgno);
    std::printf("received message 0x%08x from %u, %u bytes, text \"%.*s\"\n", msgno, tavi_sender(got),
                tavi_size(got), static_cast<int>(tavi_size(got) - 4), static_cast<const char*>(got) + 4);
    bool intact = msgno == kPingMsgno && tavi_sender(got) == sender->id() && tavi_size(got) == kPingSize &&
                  std::strcmp(static_cast<const char*>(got) + 4, payload) == 0;
    tavi_free(&got);
    return intact ? INTACT : NOT_INTACT;
}
