#include "TransportCeiling.h"

#include <poll.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "Mailbox.h"
#include "MessageBuffer.h"

namespace Sync {
namespace Bench {

namespace {

using Clock = std::chrono::steady_clock;
using Platform::Mailbox;
using Platform::MessageBuffer;

constexpr auto kLimit = std::chrono::seconds(300);

// The road's numbers and sizes: what the daemon receives, and what it sends in answer.
constexpr uint32_t PORT_SUPPORT_CFM = 0x1B1049;
constexpr uint32_t SUBSCRIBE_CFM = 0x1B1051;
constexpr uint32_t STATUS_IND = 0x1B1055;
constexpr uint32_t CREATE_RCFM = 0x94011;
constexpr uint32_t SUBSCRIBE_REQ = 0x1B1050;
constexpr uint32_t CREATE_RREQ = 0x94010;
constexpr uint32_t TRANSMIT_SSM_IND = 0x94018;
constexpr uint32_t ESMC_CONTROL_IND = 0x94019;
constexpr uint32_t SUBSCRIBE_CFM_SIZE = 16;
constexpr uint32_t STATUS_IND_SIZE = 100;
constexpr uint32_t CREATE_RCFM_SIZE = 12;
constexpr uint32_t SUBSCRIBE_REQ_SIZE = 32;
constexpr uint32_t CREATE_RREQ_SIZE = 544;
constexpr uint32_t TRANSMIT_SSM_IND_SIZE = 48;
constexpr uint32_t ESMC_CONTROL_IND_SIZE = 16;

void sendNew(Mailbox& mailbox, uint32_t msgno, uint32_t size, uint32_t to) {
    void* msg = MessageBuffer::allocate(size, msgno);
    mailbox.send(&msg, to);
}

// The daemon's stand-in: one receive per readiness, the daemon's answers to each message.
void standIn(std::atomic<uint32_t>& id, std::atomic<bool>& stop, size_t expected, uint32_t ports,
             size_t& received, size_t& sent) {
    std::unique_ptr<Mailbox> mailbox = Mailbox::create("bench-ceiling-daemon");
    if (!mailbox) {
        id = TAVI_NO_ID;
        return;
    }
    id = mailbox->id();
    while (!stop && received < expected) {
        pollfd ready{mailbox->fd(), POLLIN, 0};
        if (poll(&ready, 1, 50) <= 0) {
            continue;
        }
        void* msg = mailbox->receive();
        if (msg == nullptr) {
            continue;
        }
        ++received;
        const uint32_t peer = MessageBuffer::sender(msg);
        switch (MessageBuffer::msgno(msg)) {
            case PORT_SUPPORT_CFM:
                for (uint32_t i = 0; i < ports; ++i) {
                    sendNew(*mailbox, SUBSCRIBE_REQ, SUBSCRIBE_REQ_SIZE, peer);
                }
                sent += ports;
                break;
            case STATUS_IND:
                sendNew(*mailbox, CREATE_RREQ, CREATE_RREQ_SIZE, peer);
                ++sent;
                break;
            case CREATE_RCFM:
                sendNew(*mailbox, TRANSMIT_SSM_IND, TRANSMIT_SSM_IND_SIZE, peer);
                sendNew(*mailbox, ESMC_CONTROL_IND, ESMC_CONTROL_IND_SIZE, peer);
                sent += 2;
                break;
            default:
                break;
        }
        MessageBuffer::release(msg);
    }
    // Whatever is still queued for the bus goes out before the connection closes.
    mailbox->process();
}

}  // namespace

TransportCeiling::Result TransportCeiling::run(uint32_t ports) {
    Result result;
    const size_t toStandIn = 1 + 3 * size_t(ports);
    const size_t answers = 4 * size_t(ports);
    std::atomic<uint32_t> standInId{0};
    std::atomic<bool> stop{false};
    size_t received = 0;
    size_t sent = 0;
    std::thread daemon(standIn, std::ref(standInId), std::ref(stop), toStandIn, ports, std::ref(received),
                       std::ref(sent));
    auto finish = [&](const std::string& error) {
        stop = true;
        daemon.join();
        result.error = error;
        return result;
    };

    std::unique_ptr<Mailbox> peer = Mailbox::create("bench-ceiling-peer");
    const Clock::time_point deadline = Clock::now() + kLimit;
    while (standInId == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!peer || standInId == 0 || standInId == TAVI_NO_ID) {
        return finish("no mailboxes on the bus");
    }
    const uint32_t to = standInId;

    // Answers are taken as they come, as the road's peers (each in a thread of its own) take theirs;
    // left unread until the stream is sent, all 4n of them would wait in the bus.
    size_t collected = 0;
    auto stream = [&](uint32_t msgno, uint32_t size) {
        sendNew(*peer, msgno, size, to);
        while (void* msg = peer->receive()) {
            ++collected;
            MessageBuffer::release(msg);
        }
    };
    const Clock::time_point start = Clock::now();
    stream(PORT_SUPPORT_CFM, 16 + 48 * ports);
    for (uint32_t i = 0; i < ports; ++i) {
        stream(SUBSCRIBE_CFM, SUBSCRIBE_CFM_SIZE);
    }
    for (uint32_t i = 0; i < ports; ++i) {
        stream(STATUS_IND, STATUS_IND_SIZE);
    }
    for (uint32_t i = 0; i < ports; ++i) {
        stream(CREATE_RCFM, CREATE_RCFM_SIZE);
    }
    while (collected < answers && Clock::now() < deadline) {
        if (void* msg = peer->receive(100)) {
            ++collected;
            MessageBuffer::release(msg);
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    stop = true;
    daemon.join();
    if (collected != answers || received != toStandIn || sent != answers) {
        result.error = "stream incomplete: " + std::to_string(received) + " of " + std::to_string(toStandIn) +
                       " received, " + std::to_string(collected) + " of " + std::to_string(answers) +
                       " answers collected";
        return result;
    }
    result.ok = true;
    result.messages = received + sent;
    result.seconds = seconds;
    return result;
}

}  // namespace Bench
}  // namespace Sync
