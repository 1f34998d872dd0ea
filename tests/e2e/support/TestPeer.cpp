#include "TestPeer.h"

#include <algorithm>
#include <cstring>

#include "ChildProcess.h"

namespace E2e {

namespace {

// Numbers of the messages a locate brings; far from any number a test sends.
constexpr uint32_t kLocateNumbers = 0xE2E00000u;

}  // namespace

uint32_t TestPeer::Message::msgno() const {
    uint32_t number = 0;
    std::memcpy(&number, bytes.data(), std::min(bytes.size(), sizeof number));
    return number;
}

TestPeer::TestPeer(const std::string& name)
    : mailbox_(Sync::Platform::Mailbox::create(name)), nextLocateNumber_(kLocateNumbers) {}

std::vector<uint8_t> TestPeer::message(uint32_t msgno, std::size_t size,
                                       const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> bytes(std::max<std::size_t>(size, sizeof msgno));
    std::memcpy(bytes.data(), &msgno, sizeof msgno);
    std::copy_n(payload.begin(), std::min(payload.size(), bytes.size() - sizeof msgno), bytes.begin() + 4);
    return bytes;
}

void TestPeer::send(uint32_t to, const std::vector<uint8_t>& bytes, uint32_t from) {
    if (mailbox_) {
        mailbox_->send(bytes.data(), static_cast<uint32_t>(bytes.size()), to, from);
    }
}

std::optional<TestPeer::Message> TestPeer::take(std::chrono::steady_clock::time_point deadline) {
    void* msg = mailbox_ ? mailbox_->receive(ChildProcess::millisecondsLeft(deadline)) : nullptr;
    if (msg == nullptr) {
        return std::nullopt;
    }
    const auto* bytes = static_cast<const uint8_t*>(msg);
    Message message{tavi_sender(msg), std::vector<uint8_t>(bytes, bytes + tavi_size(msg))};
    tavi_free(&msg);
    return message;
}

std::optional<TestPeer::Message> TestPeer::receive(std::chrono::milliseconds timeout) {
    if (!held_.empty()) {
        Message first = std::move(held_.front());
        held_.pop_front();
        return first;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto next = take(deadline);
    while (next && unwanted_.erase(next->msgno()) != 0) {
        next = take(deadline);
    }
    return next;
}

std::optional<uint32_t> TestPeer::locate(const std::string& name, std::chrono::milliseconds timeout) {
    if (!mailbox_) {
        return std::nullopt;
    }
    const uint32_t found = nextLocateNumber_++;
    void* msg = tavi_alloc(sizeof found, found);
    mailbox_->locate(name, &msg);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (auto next = take(deadline)) {
        if (next->msgno() == found) {
            return next->sender;
        }
        if (unwanted_.erase(next->msgno()) == 0) {
            held_.push_back(std::move(*next));
        }
    }
    unwanted_.insert(found);  // an answer that comes after all is dropped
    return std::nullopt;
}

uint32_t TestPeer::monitor(uint32_t pid, uint32_t msgno) {
    void* msg = tavi_alloc(sizeof msgno, msgno);
    return mailbox_ ? mailbox_->monitor(pid, &msg) : (tavi_free(&msg), 0u);
}

}  // namespace E2e
