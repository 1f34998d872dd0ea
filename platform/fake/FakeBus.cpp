#include "FakeBus.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstring>

#include "MessageBuffer.h"
#include "kolm.h"

namespace Sync::Platform {

namespace {

std::string text(const char* s) {
    return s == nullptr ? std::string() : std::string(s);
}

}  // namespace

FakeBus& FakeBus::instance() {
    static FakeBus bus;
    return bus;
}

FakeBus::~FakeBus() {
    reset();
}

void FakeBus::reset() {
    dropMailboxState();
    closeFd();
    initialised_ = false;
    nextOwnId_ = 0x1001;
    ownId_ = TAVI_NO_ID;
    name_.clear();
    nextMonitorRef_ = 1;
    nextSubscriptionId_ = 1;
    serviceOwners_.clear();
    warningFn_ = nullptr;
    failInit_ = failCreate_ = failPublish_ = false;
    sent_.clear();
    publishCalls_.clear();
    deletedIds_.clear();
}

int FakeBus::init() {
    if (failInit_) {
        return -1;
    }
    initialised_ = true;
    return 0;
}

uint32_t FakeBus::createMailbox(const char* name) {
    if (!initialised_ || mailbox_ || failCreate_) {
        return TAVI_NO_ID;
    }
    if (eventFd_ < 0) {
        eventFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (eventFd_ < 0) {
            return TAVI_NO_ID;
        }
    }
    mailbox_ = true;
    ownId_ = nextOwnId_;
    name_ = text(name);
    return ownId_;
}

void FakeBus::deleteMailbox(uint32_t id) {
    deletedIds_.push_back(id);
    if (mailbox_ && id == ownId_) {
        dropMailboxState();
    }
}

void FakeBus::exit() {
    dropMailboxState();
    closeFd();
    initialised_ = false;
}

void FakeBus::send(void* msg, uint32_t to, uint32_t from) {
    if (from == TAVI_OWN_ID) {
        from = ownId();
    }
    const auto* bytes = static_cast<const uint8_t*>(msg);
    sent_.push_back({to, from, std::vector<uint8_t>(bytes, bytes + MessageBuffer::size(msg))});
    if (mailbox_ && to == ownId_) {
        enqueue(msg, from);
    } else {
        MessageBuffer::release(msg);
    }
}

void* FakeBus::receive() {
    if (queue_.empty()) {
        return nullptr;
    }
    void* msg = queue_.front();
    queue_.pop_front();
    if (queue_.empty()) {
        uint64_t count = 0;
        // Empties the counter, so the descriptor stops being readable with the queue.
        (void)!read(eventFd_, &count, sizeof count);
    }
    return msg;
}

uint32_t FakeBus::monitor(uint32_t pid, void* msg) {
    if (!mailbox_) {
        MessageBuffer::release(msg);
        return 0;
    }
    uint32_t ref = nextMonitorRef_++;
    monitors_[ref] = {pid, {}, msg};
    return ref;
}

void FakeBus::unmonitor(uint32_t ref) {
    auto it = monitors_.find(ref);
    if (it != monitors_.end()) {
        MessageBuffer::release(it->second.msg);
        monitors_.erase(it);
    }
}

void FakeBus::locate(const char* name, void* msg) {
    if (!mailbox_) {
        MessageBuffer::release(msg);
        return;
    }
    locates_.push_back({0, text(name), msg});
}

int FakeBus::publish(const char* service, const char* domain, uint32_t mailboxId, const char* qualifier) {
    FakeTavi::Publication what{text(service), text(domain), mailboxId, text(qualifier)};
    ServiceKey key{what.domain, what.service};
    int result = 0;
    if (failPublish_ || !mailbox_ || mailboxId != ownId_ || serviceOwners_.count(key) != 0) {
        result = -1;
    } else {
        published_[key] = what;
        serviceUp(what.service, what.domain, mailboxId);
    }
    publishCalls_.push_back({true, what, result});
    return result;
}

int FakeBus::unpublish(const char* service, const char* domain, uint32_t mailboxId, const char* qualifier) {
    FakeTavi::Publication what{text(service), text(domain), mailboxId, text(qualifier)};
    ServiceKey key{what.domain, what.service};
    auto it = published_.find(key);
    int result = -1;
    if (it != published_.end() && it->second.mailboxId == mailboxId) {
        published_.erase(it);
        serviceDown(what.service, what.domain);
        result = 0;
    }
    publishCalls_.push_back({false, what, result});
    return result;
}

int FakeBus::subscribe(const char* service, const char* domain, uint64_t tag) {
    if (!mailbox_) {
        return -1;
    }
    FakeTavi::Subscription sub{nextSubscriptionId_++, text(service), text(domain), tag};
    subscriptions_[sub.id] = sub;

    void* rsp = MessageBuffer::allocate(KOLM_SUBSCRIBE_RSP_SIZE, KOLM_SUBSCRIBE_RSP);
    std::memcpy(static_cast<char*>(rsp) + 4, &sub.id, sizeof sub.id);
    std::memcpy(static_cast<char*>(rsp) + 8, &tag, sizeof tag);
    enqueue(rsp, ownId_);

    auto owner = serviceOwners_.find({sub.domain, sub.service});
    if (owner != serviceOwners_.end()) {
        enqueueIndication(KOLM_SERVICE_ADDED_IND, sub.id, owner->second);
    }
    return 0;
}

int FakeBus::unsubscribe(uint32_t subscriptionId) {
    return subscriptions_.erase(subscriptionId) == 1 ? 0 : -1;
}

bool FakeBus::inject(uint32_t sender, const void* bytes, std::size_t size) {
    if (!mailbox_ || size > MessageBuffer::kMaxSize) {
        return false;
    }
    void* msg = MessageBuffer::copy(bytes, static_cast<uint32_t>(size), sender);
    if (msg == nullptr) {
        return false;
    }
    enqueue(msg, sender);
    return true;
}

std::vector<uint32_t> FakeBus::monitoredPids() const {
    std::vector<uint32_t> pids;
    for (const auto& [ref, watch] : monitors_) {
        pids.push_back(watch.pid);
    }
    return pids;
}

std::size_t FakeBus::fireMonitor(uint32_t pid) {
    std::size_t fired = 0;
    for (auto it = monitors_.begin(); it != monitors_.end();) {
        if (it->second.pid == pid) {
            enqueue(it->second.msg, pid);
            it = monitors_.erase(it);
            ++fired;
        } else {
            ++it;
        }
    }
    return fired;
}

std::vector<std::string> FakeBus::locatedNames() const {
    std::vector<std::string> names;
    for (const auto& watch : locates_) {
        names.push_back(watch.name);
    }
    return names;
}

std::size_t FakeBus::fireLocate(const std::string& name, uint32_t senderPid) {
    std::size_t fired = 0;
    for (auto it = locates_.begin(); it != locates_.end();) {
        if (it->name == name) {
            enqueue(it->msg, senderPid);
            it = locates_.erase(it);
            ++fired;
        } else {
            ++it;
        }
    }
    return fired;
}

std::size_t FakeBus::forgetLocate(const std::string& name) {
    std::size_t forgotten = 0;
    for (auto it = locates_.begin(); it != locates_.end();) {
        if (it->name == name) {
            MessageBuffer::release(it->msg);
            it = locates_.erase(it);
            ++forgotten;
        } else {
            ++it;
        }
    }
    return forgotten;
}

void FakeBus::serviceUp(const std::string& service, const std::string& domain, uint32_t pid) {
    ServiceKey key{domain, service};
    auto owner = serviceOwners_.find(key);
    if (owner != serviceOwners_.end()) {
        if (owner->second == pid) {
            return;
        }
        serviceDown(service, domain);
    }
    serviceOwners_[key] = pid;
    for (const auto& [id, sub] : subscriptions_) {
        if (sub.service == service && sub.domain == domain) {
            enqueueIndication(KOLM_SERVICE_ADDED_IND, id, pid);
        }
    }
}

void FakeBus::serviceDown(const std::string& service, const std::string& domain) {
    auto owner = serviceOwners_.find({domain, service});
    if (owner == serviceOwners_.end()) {
        return;
    }
    uint32_t pid = owner->second;
    serviceOwners_.erase(owner);
    for (const auto& [id, sub] : subscriptions_) {
        if (sub.service == service && sub.domain == domain) {
            enqueueIndication(KOLM_SERVICE_REMOVED_IND, id, pid);
        }
    }
}

std::vector<FakeTavi::Subscription> FakeBus::subscriptions() const {
    std::vector<FakeTavi::Subscription> subs;
    for (const auto& [id, sub] : subscriptions_) {
        subs.push_back(sub);
    }
    return subs;
}

std::vector<FakeTavi::Publication> FakeBus::published() const {
    std::vector<FakeTavi::Publication> list;
    for (const auto& [key, what] : published_) {
        list.push_back(what);
    }
    return list;
}

bool FakeBus::warn(const char* text) const {
    if (warningFn_ == nullptr) {
        return false;
    }
    warningFn_(text);
    return true;
}

void FakeBus::enqueue(void* msg, uint32_t sender) {
    if (!mailbox_) {
        MessageBuffer::release(msg);
        return;
    }
    MessageBuffer::setSender(msg, sender);
    queue_.push_back(msg);
    if (queue_.size() == 1) {
        uint64_t one = 1;
        (void)!write(eventFd_, &one, sizeof one);
    }
}

void FakeBus::enqueueIndication(uint32_t msgno, uint32_t subscriptionId, uint32_t sender) {
    void* ind = MessageBuffer::allocate(KOLM_SERVICE_IND_SIZE, msgno);
    std::memcpy(static_cast<char*>(ind) + 4, &subscriptionId, sizeof subscriptionId);
    enqueue(ind, sender);
}

// What closing the own mailbox takes with it: its queue, its watches and its names.
void FakeBus::dropMailboxState() {
    while (!queue_.empty()) {
        MessageBuffer::release(receive());
    }
    for (auto& [ref, watch] : monitors_) {
        MessageBuffer::release(watch.msg);
    }
    monitors_.clear();
    for (auto& watch : locates_) {
        MessageBuffer::release(watch.msg);
    }
    locates_.clear();
    subscriptions_.clear();
    for (const auto& [key, what] : published_) {
        serviceOwners_.erase(key);
    }
    published_.clear();
    mailbox_ = false;
}

void FakeBus::closeFd() {
    if (eventFd_ >= 0) {
        close(eventFd_);
        eventFd_ = -1;
    }
}

}  // namespace Sync::Platform
