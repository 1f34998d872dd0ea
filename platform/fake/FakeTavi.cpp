#include "FakeTavi.h"

#include <cstring>

#include "FakeBus.h"

using Sync::Platform::FakeBus;

namespace FakeTavi {

uint32_t SentMessage::msgno() const {
    return word(0);
}

uint32_t SentMessage::word(std::size_t offset) const {
    uint32_t value = 0;
    if (offset + sizeof value <= bytes.size()) {
        std::memcpy(&value, bytes.data() + offset, sizeof value);
    }
    return value;
}

void reset() {
    FakeBus::instance().reset();
}
void setOwnId(uint32_t id) {
    FakeBus::instance().setOwnId(id);
}
uint32_t ownId() {
    return FakeBus::instance().ownId();
}
std::string mailboxName() {
    return FakeBus::instance().mailboxName();
}
bool initialised() {
    return FakeBus::instance().initialised();
}
bool mailboxExists() {
    return FakeBus::instance().mailboxExists();
}
std::vector<uint32_t> deletedIds() {
    return FakeBus::instance().deletedIds();
}
void failInit(bool on) {
    FakeBus::instance().failInit(on);
}
void failCreateMailbox(bool on) {
    FakeBus::instance().failCreateMailbox(on);
}
void failPublish(bool on) {
    FakeBus::instance().failPublish(on);
}
const std::vector<SentMessage>& sent() {
    return FakeBus::instance().sent();
}
void clearSent() {
    FakeBus::instance().clearSent();
}

bool inject(uint32_t sender, const void* bytes, std::size_t size) {
    return FakeBus::instance().inject(sender, bytes, size);
}

bool inject(uint32_t sender, const std::vector<uint8_t>& bytes) {
    return FakeBus::instance().inject(sender, bytes.data(), bytes.size());
}

std::size_t pending() {
    return FakeBus::instance().pending();
}
std::vector<uint32_t> monitoredPids() {
    return FakeBus::instance().monitoredPids();
}
std::size_t fireMonitor(uint32_t pid) {
    return FakeBus::instance().fireMonitor(pid);
}
std::vector<std::string> locatedNames() {
    return FakeBus::instance().locatedNames();
}

std::size_t fireLocate(const std::string& name, uint32_t senderPid) {
    return FakeBus::instance().fireLocate(name, senderPid);
}
std::size_t forgetLocate(const std::string& name) {
    return FakeBus::instance().forgetLocate(name);
}

void serviceUp(const std::string& service, const std::string& domain, uint32_t pid) {
    FakeBus::instance().serviceUp(service, domain, pid);
}

void serviceDown(const std::string& service, const std::string& domain) {
    FakeBus::instance().serviceDown(service, domain);
}

std::vector<Subscription> subscriptions() {
    return FakeBus::instance().subscriptions();
}
std::vector<Publication> published() {
    return FakeBus::instance().published();
}
const std::vector<PublishCall>& publishCalls() {
    return FakeBus::instance().publishCalls();
}
bool warn(const char* text) {
    return FakeBus::instance().warn(text);
}

}  // namespace FakeTavi
