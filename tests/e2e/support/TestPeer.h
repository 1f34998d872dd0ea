#ifndef SYNC_E2E_TESTPEER_H
#define SYNC_E2E_TESTPEER_H

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Mailbox.h"
#include "tavi.h"

namespace E2e {

// A mailbox of the test process (the platform's own Mailbox class, on $TAVI_BUS_ADDRESS) with
// bounded, event-driven waits: every wait polls the mailbox descriptor against a deadline.
class TestPeer {
  public:
    struct Message {
        uint32_t sender;
        std::vector<uint8_t> bytes;  // the whole message, message number first
        uint32_t msgno() const;
    };
    static constexpr auto kDefaultWait = std::chrono::seconds(10);

    explicit TestPeer(const std::string& name);

    // False when the mailbox could not be made (name taken, no bus).
    bool ok() const { return mailbox_ != nullptr; }
    uint32_t id() const { return mailbox_ ? mailbox_->id() : TAVI_NO_ID; }
    Sync::Platform::Mailbox& mailbox() { return *mailbox_; }

    // Sends the bytes as one message to mailbox `to`, as sent by `from`.
    void send(uint32_t to, const std::vector<uint8_t>& bytes, uint32_t from = TAVI_OWN_ID);
    // The next message for the application, waiting up to timeout.
    std::optional<Message> receive(std::chrono::milliseconds timeout = kDefaultWait);
    // Finds the mailbox called name and returns its id, waiting up to timeout. The id is asked of
    // that mailbox over this peer's own connection, so the answer also shows that it has read
    // everything this peer sent it before. Messages arriving meanwhile stay for receive(). The
    // library gives the mailbox 1 s to answer Id() and then waits for the name's next owner.
    std::optional<uint32_t> locate(const std::string& name, std::chrono::milliseconds timeout = kDefaultWait);
    // Asks for a message numbered msgno, sent by pid, once mailbox pid is gone; the reference.
    uint32_t monitor(uint32_t pid, uint32_t msgno);

    // A message of `size` bytes (at least 4): msgno in host order, then the given bytes, then zeros.
    static std::vector<uint8_t> message(uint32_t msgno, std::size_t size,
                                        const std::vector<uint8_t>& payload = {});

  private:
    std::optional<Message> take(std::chrono::steady_clock::time_point deadline);

    std::unique_ptr<Sync::Platform::Mailbox> mailbox_;
    std::deque<Message> held_;     // came while locate() waited
    std::set<uint32_t> unwanted_;  // answers to locates that gave up: dropped if they come
    uint32_t nextLocateNumber_;
};

}  // namespace E2e

#endif
