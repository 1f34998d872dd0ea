#include "CommandServer.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "Mailbox.h"
#include "MessageBuffer.h"

namespace SyncPeers {

namespace {

constexpr size_t LEN_OFFSET = 4;
constexpr size_t DATA_OFFSET = 8;
// Delivered to ourselves by the monitor on a registrant; never sent to anyone.
constexpr uint32_t REGISTRANT_GONE = 0x9B6FF;

std::vector<std::string> splitPacked(const std::string& data) {
    std::vector<std::string> strings;
    for (size_t at = 0; at < data.size();) {
        strings.emplace_back(data.c_str() + at);
        at += strings.back().size() + 1;
    }
    return strings;
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

std::string CommandServer::Answer::text() const {
    std::string all;
    for (const std::string& piece : pieces)
        all += piece;
    return all + response;
}

CommandServer::CommandServer(std::string mailboxName) : MailboxPeer(std::move(mailboxName)) {}

CommandServer::~CommandServer() = default;

bool CommandServer::open() {
    return openMailbox("bus unreachable, or another command server is running");
}

// The watches on registrants go with the mailbox; the daemons register again once it is back.
void CommandServer::close() {
    closeMailbox();
    for (Registration& registration : registrations_)
        registration.active = false;
}

void CommandServer::handle(const WireBuffer& message, uint32_t sender) {
    switch (message.msgno()) {
        case SYNC_COLI_REG_CMD_REQ:
            handleRegistration(message, sender);
            break;
        case SYNC_COLI_IND:
        case SYNC_COLI_RSP:
            handleOutput(message, sender);
            break;
        case REGISTRANT_GONE:
            handleRegistrantGone(sender);
            break;
        default:
            listener_->dropped("dropped message " + hex(message.msgno()) + " from " + std::to_string(sender));
            break;
    }
}

bool CommandServer::packedData(const WireBuffer& message, std::string& data) {
    if (message.size() < DATA_OFFSET)
        return false;
    const uint32_t len = message.host32(LEN_OFFSET);
    if (len == 0 || len > message.size() - DATA_OFFSET || message.bytes()[DATA_OFFSET + len - 1] != 0)
        return false;
    data.assign(reinterpret_cast<const char*>(message.bytes().data()) + DATA_OFFSET, len);
    return true;
}

void CommandServer::handleRegistration(const WireBuffer& message, uint32_t sender) {
    std::string data;
    if (!packedData(message, data)) {
        listener_->dropped("dropped SYNC_COLI_REG_CMD_REQ from " + std::to_string(sender) + ": len " +
                           std::to_string(message.host32(LEN_OFFSET)) + " does not fit the " +
                           std::to_string(message.size()) + "-byte message or lacks its final NUL");
        return;
    }
    bool watched = false;
    for (const Registration& registration : registrations_)
        watched = watched || (registration.active && registration.pid == sender);
    if (!watched) {
        void* gone = Sync::Platform::MessageBuffer::allocate(4, REGISTRANT_GONE);
        mailbox_->monitor(sender, &gone);
    }
    registrations_.push_back(Registration{sender, splitPacked(data), registrationResult_ == 0});

    WireBuffer answer(SYNC_COLI_REG_CMD_RSP, DATA_OFFSET);
    answer.putHost32(LEN_OFFSET, registrationResult_);
    mailbox_->send(answer.bytes().data(), static_cast<uint32_t>(answer.size()), sender);
}

void CommandServer::handleOutput(const WireBuffer& message, uint32_t sender) {
    const bool response = message.msgno() == SYNC_COLI_RSP;
    const char* name = response ? "SYNC_COLI_RSP" : "SYNC_COLI_IND";
    std::string data;
    if (sender != answer_.pid || answer_.complete) {
        listener_->dropped(std::string("dropped ") + name + " from " + std::to_string(sender) +
                           ": no request is waiting for it");
        return;
    }
    if (!packedData(message, data)) {
        listener_->dropped(std::string("dropped ") + name + " from " + std::to_string(sender) + ": len " +
                           std::to_string(message.host32(LEN_OFFSET)) + " does not fit the " +
                           std::to_string(message.size()) + "-byte message or lacks its final NUL");
        return;
    }
    data.pop_back();  // the text's NUL
    if (response) {
        answer_.response = data;
        answer_.complete = true;
    } else {
        answer_.pieces.push_back(data);
    }
}

void CommandServer::handleRegistrantGone(uint32_t pid) {
    for (Registration& registration : registrations_)
        if (registration.pid == pid)
            registration.active = false;
    if (answer_.pid == pid && !answer_.complete)
        answer_.lost = true;
}

const CommandServer::Registration* CommandServer::findRegistration(const std::string& name) const {
    for (auto it = registrations_.rbegin(); it != registrations_.rend(); ++it)
        if (it->active && !it->args.empty() && it->args[0] == name)
            return &*it;
    return nullptr;
}

const CommandServer::Registration* CommandServer::waitForRegistration(const std::string& name,
                                                                      int timeoutMs) {
    waitFor([&] { return findRegistration(name) != nullptr; }, timeoutMs);
    return findRegistration(name);
}

void CommandServer::sendRequest(uint32_t pid, const std::vector<std::string>& args) {
    std::string packed;
    for (const std::string& arg : args)
        packed.append(arg.c_str(), arg.size() + 1);
    WireBuffer request(SYNC_COLI_REQ, DATA_OFFSET);
    request.putHost32(LEN_OFFSET, static_cast<uint32_t>(packed.size()));
    request.putBytes(DATA_OFFSET, packed.data(), packed.size());
    sendRaw(pid, request);
}

void CommandServer::sendRaw(uint32_t pid, const WireBuffer& message) {
    answer_ = Answer();
    answer_.pid = pid;
    if (mailbox_)
        mailbox_->send(message.bytes().data(), static_cast<uint32_t>(message.size()), pid);
}

bool CommandServer::runCommand(uint32_t pid, const std::vector<std::string>& args, int timeoutMs) {
    sendRequest(pid, args);
    waitFor([&] { return answer_.complete || answer_.lost; }, timeoutMs);
    return answer_.complete;
}

}  // namespace SyncPeers
