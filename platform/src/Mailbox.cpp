#include "Mailbox.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

#include "BusNames.h"
#include "DeliverReader.h"
#include "MessageBuffer.h"
#include "WarningSink.h"
#include "kolm.h"

namespace Sync::Platform {

namespace {

const char* kPath = "/org/tavi/Mailbox";
const char* kInterface = "org.tavi.Mailbox";
constexpr uint32_t kMaxId = 0xFFEFFFFFu;
constexpr int kIdTries = 16;

// Process-wide, so references and subscription ids stay unique over every mailbox of the process.
uint32_t nextMonitorRef = 0;
uint32_t nextSubscriptionId = 0;

void* take(void** msg) {
    if (msg == nullptr) {
        return nullptr;
    }
    return std::exchange(*msg, nullptr);
}

sd_bus* connectBus(int* error) {
    sd_bus* bus = nullptr;
    int r;
    const char* address = std::getenv("TAVI_BUS_ADDRESS");
    if (address != nullptr && *address != '\0') {
        r = sd_bus_new(&bus);
        if (r >= 0) {
            r = sd_bus_set_address(bus, address);
        }
        if (r >= 0) {
            r = sd_bus_set_bus_client(bus, 1);
        }
        if (r >= 0) {
            r = sd_bus_start(bus);
        }
    } else {
        r = sd_bus_open_system(&bus);
    }
    if (r < 0) {
        WarningSink::emit("cannot connect to the bus %s: %s", address != nullptr ? address : "(system)",
                          strerror(-r));
        sd_bus_close_unref(bus);
        *error = r;
        return nullptr;
    }
    return bus;
}

}  // namespace

std::unique_ptr<Mailbox> Mailbox::create(const std::string& name, int* error) {
    int ignored = 0;
    int& why = error != nullptr ? *error : ignored;
    why = 0;
    if (!BusNames::fits(BusNames::mailbox(name))) {
        why = -ENAMETOOLONG;
        return nullptr;
    }
    sd_bus* bus = connectBus(&why);
    if (bus == nullptr) {
        return nullptr;
    }
    std::unique_ptr<Mailbox> box(new Mailbox(bus, name));
    why = box->start();
    if (why != 0) {
        return nullptr;
    }
    return box;
}

Mailbox::Mailbox(sd_bus* bus, std::string name) : bus_(bus), name_(std::move(name)) {}

Mailbox::~Mailbox() {
    close();
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

int Mailbox::start() {
    const char* unique = nullptr;
    fd_ = fcntl(sd_bus_get_fd(bus_), F_DUPFD_CLOEXEC, 3);
    if (fd_ < 0) {
        return -errno;
    }
    int r = sd_bus_add_object(bus_, &object_, kPath, onMethod, this);
    if (r >= 0) {
        r = sd_bus_get_unique_name(bus_, &unique);
    }
    if (r < 0) {
        return r;
    }
    uniqueName_ = unique;
    r = ownRandomId();
    if (r == 0) {
        r = std::min(sd_bus_request_name(bus_, BusNames::mailbox(name_).c_str(), 0), 0);
    }
    if (r < 0) {
        return r;
    }
    wakeInFlight_ = false;  // waiting for the bus may have read a Wake off the socket
    finishCall();
    return 0;
}

int Mailbox::ownRandomId() {
    std::random_device random;
    std::uniform_int_distribution<uint32_t> pick(1, kMaxId);
    for (int i = 0; i < kIdTries; ++i) {
        uint32_t candidate = pick(random);
        int r = sd_bus_request_name(bus_, BusNames::id(candidate).c_str(), 0);
        if (r >= 0) {
            id_ = candidate;
            return 0;
        }
        if (r != -EEXIST) {
            return r;
        }
    }
    // Sixteen ids in a row taken: that is no name taken by another command server.
    return -EADDRINUSE;
}

bool Mailbox::hasOwner(const std::string& busName) {
    if (!connected()) {
        return false;
    }
    sd_bus_message* reply = nullptr;
    int owned = 0;
    int r = sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                               "NameHasOwner", nullptr, &reply, "s", busName.c_str());
    if (r >= 0) {
        r = sd_bus_message_read(reply, "b", &owned);
    }
    sd_bus_message_unref(reply);
    finishCall();
    return r >= 0 && owned != 0;
}

bool Mailbox::connected() const {
    return bus_ != nullptr && sd_bus_is_open(bus_) > 0;
}

void Mailbox::close() {
    if (bus_ == nullptr) {
        return;
    }
    for (auto& [busName, watchers] : watches_) {
        watchers.watch->stop();
        for (auto& [key, msg] : watchers.waiting) {
            MessageBuffer::release(msg);
        }
    }
    watches_.clear();
    monitors_.clear();
    subscribed_.clear();
    retired_.clear();
    for (void* msg : queue_) {
        MessageBuffer::release(msg);
    }
    queue_.clear();
    if (connected()) {
        sd_bus_flush(bus_);
    }
    // Our duplicate keeps the socket alive; shutting it down is what makes the bus drop our names.
    shutdown(fd_, SHUT_RDWR);
    object_ = sd_bus_slot_unref(object_);
    bus_ = sd_bus_close_unref(bus_);
}

void Mailbox::send(void** msg, uint32_t to, uint32_t from) {
    void* taken = take(msg);
    if (taken != nullptr) {
        send(taken, MessageBuffer::size(taken), to, from);
        MessageBuffer::release(taken);
    }
}

void Mailbox::send(const void* bytes, uint32_t size, uint32_t to, uint32_t from) {
    // Ids outside the range mailboxes draw from can have no owner, so nothing could arrive.
    if (!connected() || size < TAVI_MIN_MSG_SIZE || to == 0 || to > kMaxId) {
        finishCall();
        return;
    }
    if (from == TAVI_OWN_ID) {
        from = id_;
    }
    sd_bus_message* m = nullptr;
    int r = sd_bus_message_new_method_call(bus_, &m, BusNames::id(to).c_str(), kPath, kInterface, "Deliver");
    if (r >= 0) {
        r = sd_bus_message_append(m, "u", from);
    }
    if (r >= 0) {
        r = sd_bus_message_append_array(m, 'y', bytes, size);
    }
    if (r >= 0) {
        sd_bus_message_set_expect_reply(m, 0);
        sd_bus_message_set_auto_start(m, 0);
        r = sd_bus_send(bus_, m, nullptr);
    }
    sd_bus_message_unref(m);
    if (r < 0) {
        WarningSink::emit("cannot send %u bytes to %u: %s", size, to, strerror(-r));
    }
    finishCall();
}

void* Mailbox::receive() {
    while (queue_.empty() && connected()) {
        int r = sd_bus_process(bus_, nullptr);
        if (r < 0) {
            WarningSink::emit("mailbox %s: processing the bus failed: %s", name_.c_str(), strerror(-r));
        }
        if (r <= 0) {
            break;
        }
    }
    void* msg = nullptr;
    if (!queue_.empty()) {
        msg = queue_.front();
        queue_.pop_front();
    }
    finishCall();
    return msg;
}

void* Mailbox::receive(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (void* msg = receive()) {
            return msg;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (!connected() || left.count() <= 0) {
            return nullptr;
        }
        const int busTimeout = this->timeoutMs();
        const int wait =
            busTimeout >= 0 && busTimeout < left.count() ? busTimeout : static_cast<int>(left.count());
        pollfd p{fd_, POLLIN, 0};
        poll(&p, 1, wait);
    }
}

bool Mailbox::process(int limit) {
    bool more = false;
    for (int i = 0; i < limit && connected(); ++i) {
        more = sd_bus_process(bus_, nullptr) > 0;
        if (!more) {
            break;
        }
    }
    finishCall();
    return more;
}

short Mailbox::events() const {
    int events = connected() ? sd_bus_get_events(bus_) : 0;
    return static_cast<short>(events > 0 ? events : 0);
}

uint64_t Mailbox::deadline() const {
    uint64_t when = UINT64_MAX;
    if (!connected() || sd_bus_get_timeout(bus_, &when) < 0) {
        return UINT64_MAX;
    }
    return when;
}

int Mailbox::timeoutMs() const {
    return millisecondsUntil(deadline());
}

int Mailbox::millisecondsUntil(uint64_t when) {
    if (when == UINT64_MAX) {
        return -1;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t nowUsec =
        static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
    const uint64_t waitMs = when > nowUsec ? (when - nowUsec + 999) / 1000 : 0;
    return waitMs < INT_MAX ? static_cast<int>(waitMs) : INT_MAX;
}

uint32_t Mailbox::monitor(uint32_t pid, void** msg) {
    void* taken = take(msg);
    if (taken == nullptr) {
        return 0;
    }
    std::string busName = BusNames::id(pid);
    Watchers* watchers = connected() ? watchersOf(busName, Kind::Monitor, pid) : nullptr;
    if (watchers == nullptr) {
        MessageBuffer::release(taken);
        finishCall();
        return 0;
    }
    uint32_t ref = ++nextMonitorRef;
    if (ref == 0) {
        ref = ++nextMonitorRef;
    }
    watchers->waiting[ref] = taken;
    monitors_[ref] = busName;
    if (watchers->watch->knownAbsent()) {
        nameGone(busName);
    }
    finishCall();
    return ref;
}

void Mailbox::unmonitor(uint32_t ref) {
    removeWaiting(monitors_, ref);
    finishCall();
}

void Mailbox::locate(const std::string& name, void** msg) {
    void* taken = take(msg);
    if (taken == nullptr) {
        return;
    }
    std::string busName = BusNames::mailbox(name);
    Watchers* watchers = nullptr;
    if (!BusNames::fits(busName)) {
        WarningSink::emit("cannot locate '%s': the name is too long to exist", name.c_str());
    } else if (connected()) {
        watchers = watchersOf(busName, Kind::Locate, 0);
    }
    if (watchers == nullptr) {
        MessageBuffer::release(taken);
    } else {
        watchers->waiting[nextLocateKey_++] = taken;
        if (watchers->watch->identified()) {
            nameIdentified(busName, watchers->watch->ownerId());
        }
    }
    finishCall();
}

int Mailbox::publish(const std::string& service, const std::string& domain) {
    std::string busName = BusNames::service(service, domain);
    int r = -ENAMETOOLONG;
    if (!connected()) {
        r = -ENOTCONN;
    } else if (BusNames::fits(busName)) {
        r = sd_bus_request_name(bus_, busName.c_str(), 0);
        wakeInFlight_ = false;
    }
    finishCall();
    return r < 0 ? r : 0;
}

int Mailbox::unpublish(const std::string& service, const std::string& domain) {
    std::string busName = BusNames::service(service, domain);
    int r = -ENAMETOOLONG;
    if (!connected()) {
        r = -ENOTCONN;
    } else if (BusNames::fits(busName)) {
        r = sd_bus_release_name(bus_, busName.c_str());
        wakeInFlight_ = false;
    }
    finishCall();
    return r < 0 ? r : 0;
}

uint32_t Mailbox::subscribe(const std::string& service, const std::string& domain, uint64_t tag) {
    std::string busName = BusNames::service(service, domain);
    Watchers* watchers = nullptr;
    if (connected() && BusNames::fits(busName)) {
        watchers = watchersOf(busName, Kind::Subscription, 0);
    }
    if (watchers == nullptr) {
        finishCall();
        return 0;
    }
    uint32_t id = ++nextSubscriptionId;
    void* rsp = MessageBuffer::allocate(KOLM_SUBSCRIBE_RSP_SIZE, KOLM_SUBSCRIBE_RSP);
    std::memcpy(static_cast<char*>(rsp) + 4, &id, sizeof id);
    std::memcpy(static_cast<char*>(rsp) + 8, &tag, sizeof tag);
    enqueue(rsp, id_);
    watchers->waiting[id] = nullptr;
    subscribed_[id] = busName;
    if (watchers->watch->identified()) {
        indicate(KOLM_SERVICE_ADDED_IND, id, watchers->watch->ownerId());
    }
    finishCall();
    return id;
}

int Mailbox::unsubscribe(uint32_t subscriptionId) {
    bool known = subscribed_.count(subscriptionId) != 0;
    removeWaiting(subscribed_, subscriptionId);
    finishCall();
    return known ? 0 : -1;
}

// Runs at the end of every public call. The application waits for fd() alone, so whatever is
// already off the socket (our queue, or a message sd-bus has parsed) must make the socket readable
// again: one Wake() to ourselves does.
void Mailbox::finishCall() {
    retired_.clear();
    if (!connected()) {
        return;
    }
    flush();
    uint64_t timeout = UINT64_MAX;
    bool parsed = sd_bus_get_timeout(bus_, &timeout) > 0 && timeout == 0;
    if (selfWake_ && (parsed || !queue_.empty()) && !wakeInFlight_) {
        sendWake();
    }
}

// Writes what sd-bus still holds for the socket, waiting for room. sd_bus_flush() alone waits for
// the socket to turn readable as well as writable (or not at all when it holds a parsed message), so
// whenever a message waits unread, which is the rule while the bus keeps the socket full during a
// burst, it retries the write at once, over and over: a busy loop that takes the CPU the bus and the
// receiver need to drain the socket, and the deeper their queues the longer it spins (failed writes
// per message sent grew from 1 at 8192 ports to 13 at 65535). Waiting for room to write first lets
// its write succeed; only a message larger than the room left spins.
void Mailbox::flush() {
    for (;;) {
        int events = connected() ? sd_bus_get_events(bus_) : 0;
        if (events <= 0 || (events & POLLOUT) == 0) {
            return;
        }
        pollfd p{fd_, POLLOUT, 0};
        if (poll(&p, 1, -1) < 0 && errno != EINTR) {
            return;
        }
        // On a broken socket the flush fails, which closes the connection.
        sd_bus_flush(bus_);
        if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return;
        }
    }
}

void Mailbox::sendWake() {
    sd_bus_message* m = nullptr;
    int r = sd_bus_message_new_method_call(bus_, &m, uniqueName_.c_str(), kPath, kInterface, "Wake");
    if (r >= 0) {
        sd_bus_message_set_expect_reply(m, 0);
        sd_bus_message_set_auto_start(m, 0);
        r = sd_bus_send(bus_, m, nullptr);
    }
    sd_bus_message_unref(m);
    wakeInFlight_ = r >= 0;
}

void Mailbox::enqueue(void* msg, uint32_t sender) {
    MessageBuffer::setSender(msg, sender);
    queue_.push_back(msg);
}

void Mailbox::indicate(uint32_t msgno, uint32_t subscriptionId, uint32_t sender) {
    void* ind = MessageBuffer::allocate(KOLM_SERVICE_IND_SIZE, msgno);
    std::memcpy(static_cast<char*>(ind) + 4, &subscriptionId, sizeof subscriptionId);
    enqueue(ind, sender);
}

Mailbox::Watchers* Mailbox::watchersOf(const std::string& busName, Kind kind, uint32_t pid) {
    auto it = watches_.find(busName);
    if (it != watches_.end()) {
        return &it->second;
    }
    NameWatch::Observer& observer = *this;
    auto watch = std::make_unique<NameWatch>(bus_, busName, kind != Kind::Monitor, observer);
    if (!watch->start()) {
        return nullptr;
    }
    return &(watches_[busName] = Watchers{kind, pid, std::move(watch), {}});
}

void Mailbox::removeWaiting(std::unordered_map<uint32_t, std::string>& index, uint32_t key) {
    auto entry = index.find(key);
    if (entry == index.end()) {
        return;
    }
    std::string busName = std::move(entry->second);
    index.erase(entry);
    auto it = watches_.find(busName);
    if (it == watches_.end()) {
        return;
    }
    auto waiting = it->second.waiting.find(key);
    if (waiting != it->second.waiting.end()) {
        MessageBuffer::release(waiting->second);
        it->second.waiting.erase(waiting);
    }
    if (it->second.waiting.empty()) {
        retire(busName);
    }
}

// The watch stops at once (its match goes), but it may be inside one of its own callbacks, so it
// is freed when the library call ends.
void Mailbox::retire(const std::string& busName) {
    auto it = watches_.find(busName);
    if (it == watches_.end()) {
        return;
    }
    it->second.watch->stop();
    retired_.push_back(std::move(it->second.watch));
    for (auto& [key, msg] : it->second.waiting) {
        MessageBuffer::release(msg);
    }
    watches_.erase(it);
}

void Mailbox::nameGone(const std::string& busName) {
    auto it = watches_.find(busName);
    if (it == watches_.end() || it->second.kind != Kind::Monitor) {
        return;
    }
    uint32_t pid = it->second.pid;
    auto waiting = std::move(it->second.waiting);
    it->second.waiting.clear();
    retire(busName);
    for (auto& [ref, msg] : waiting) {
        monitors_.erase(ref);
        enqueue(msg, pid);
    }
}

void Mailbox::nameIdentified(const std::string& busName, uint32_t id) {
    auto it = watches_.find(busName);
    if (it == watches_.end()) {
        return;
    }
    if (it->second.kind == Kind::Subscription) {
        for (const auto& [subscriptionId, unused] : it->second.waiting) {
            indicate(KOLM_SERVICE_ADDED_IND, subscriptionId, id);
        }
    } else if (it->second.kind == Kind::Locate) {
        auto waiting = std::move(it->second.waiting);
        it->second.waiting.clear();
        retire(busName);
        for (auto& [key, msg] : waiting) {
            enqueue(msg, id);
        }
    }
}

void Mailbox::nameLost(const std::string& busName, uint32_t id) {
    auto it = watches_.find(busName);
    if (it == watches_.end() || it->second.kind != Kind::Subscription) {
        return;
    }
    for (const auto& [subscriptionId, unused] : it->second.waiting) {
        indicate(KOLM_SERVICE_REMOVED_IND, subscriptionId, id);
    }
}

int Mailbox::onMethod(sd_bus_message* m, void* userdata, sd_bus_error*) {
    auto* self = static_cast<Mailbox*>(userdata);
    if (!sd_bus_message_is_method_call(m, kInterface, nullptr)) {
        return 0;
    }
    const char* member = sd_bus_message_get_member(m);
    if (std::strcmp(member, "Deliver") == 0) {
        self->onDeliver(m);
    } else if (std::strcmp(member, "Id") == 0) {
        sd_bus_reply_method_return(m, "u", self->id_);
    } else if (std::strcmp(member, "Wake") == 0) {
        self->wakeInFlight_ = false;
    } else {
        return 0;
    }
    return 1;
}

// Deliver never answers, whatever it carries: callers send it without expecting a reply.
void Mailbox::onDeliver(sd_bus_message* m) {
    if (void* msg = DeliverReader::read(m)) {
        queue_.push_back(msg);
    }
}

}  // namespace Sync::Platform
