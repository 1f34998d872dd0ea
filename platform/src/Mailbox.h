#ifndef SYNC_PLATFORM_MAILBOX_H
#define SYNC_PLATFORM_MAILBOX_H

#include <systemd/sd-bus.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "NameWatch.h"
#include "tavi.h"

namespace Sync::Platform {

// One mailbox: its own bus connection, the names it owns, the messages waiting for the application
// and the watches (monitors, locates, name-service subscriptions) it keeps on other names.
// Messages are the buffers of tavi_alloc; tavi_free, tavi_sender and tavi_size apply to them.
// Single-threaded; one process may hold several mailboxes.
class Mailbox final : private NameWatch::Observer {
  public:
    // Connects to $TAVI_BUS_ADDRESS (else the system bus), takes a random free id and the name;
    // null when the name is taken, its bus name too long, or the bus unreachable. *error (if given)
    // then says why as a negative errno: -EEXIST the name is taken, -EACCES the bus refused a name
    // (its policy), -ENAMETOOLONG, or what connecting failed with.
    static std::unique_ptr<Mailbox> create(const std::string& name, int* error = nullptr);
    ~Mailbox();
    Mailbox(const Mailbox&) = delete;
    Mailbox& operator=(const Mailbox&) = delete;

    uint32_t id() const { return id_; }
    const std::string& name() const { return name_; }
    // Readable while a message waits; hang-up or error once the connection breaks or is closed.
    // Stays open until the object is destroyed.
    int fd() const { return fd_; }
    bool connected() const;
    // Leaves the bus (its names go with it) and drops waiting messages and watches; fd() stays open.
    void close();

    // Delivers *msg to mailbox `to` as sent by `from` (TAVI_OWN_ID: this mailbox); *msg becomes null.
    void send(void** msg, uint32_t to, uint32_t from = TAVI_OWN_ID);
    // The same for bytes the caller keeps; size below 4 is ignored.
    void send(const void* bytes, uint32_t size, uint32_t to, uint32_t from = TAVI_OWN_ID);
    // The oldest waiting message or null; reads the bus only until one message waits.
    void* receive();
    // As receive(), waiting up to timeoutMs for a message (for tools and tests).
    void* receive(int timeoutMs);
    // Handles what the bus holds for this mailbox (Id() questions, name changes, arriving messages)
    // and hands nothing to the application: a program holding several mailboxes keeps each one
    // answering while it waits on another. At most limit steps; true when the limit stopped it with
    // the bus perhaps holding more.
    bool process(int limit = kProcessBatch);
    // What the connection waits for before process() has more to do: the poll events on fd() (0 once
    // closed), and the CLOCK_MONOTONIC time in microseconds of its next timeout (0: at once,
    // UINT64_MAX: none).
    short events() const;
    uint64_t deadline() const;
    // Whether the mailbox sends itself Wake() so that fd() turns readable again for what is already
    // off the socket (the default). A mailbox whose socket another thread waits on and processes
    // needs none.
    void setSelfWake(bool on) { selfWake_ = on; }
    // Milliseconds until the bus library has a timeout of its own to notice (a call waiting for its
    // reply), rounded up; -1 for none. Whoever waits on fd() waits no longer, then processes.
    int timeoutMs() const;
    // poll()'s timeout for a CLOCK_MONOTONIC time in microseconds (UINT64_MAX: none, -1), rounded up.
    static int millisecondsUntil(uint64_t when);

    // When mailbox pid has no owner (already or later), *msg arrives once with pid as sender.
    // Returns a non-zero reference, or 0 when msg is null or the mailbox is closed.
    uint32_t monitor(uint32_t pid, void** msg);
    void unmonitor(uint32_t ref);
    // Once a mailbox called name exists (already or later), *msg arrives once, sent by its id.
    void locate(const std::string& name, void** msg);

    // Owns the name-service entry; 0 on success, a negative errno when taken or refused.
    int publish(const std::string& service, const std::string& domain);
    int unpublish(const std::string& service, const std::string& domain);
    // Queues KOLM_SUBSCRIBE_RSP at once, then added/removed indications; the subscription id, or 0.
    uint32_t subscribe(const std::string& service, const std::string& domain, uint64_t tag);
    // 0 when the subscription existed.
    int unsubscribe(uint32_t subscriptionId);

    // Whether busName has an owner on the bus now (a blocking call); false when the bus cannot tell.
    bool hasOwner(const std::string& busName);

    // Bus names this mailbox currently watches (one match each).
    std::size_t watchedNames() const { return watches_.size(); }
    // Messages waiting for the application (already taken off the bus).
    std::size_t queued() const { return queue_.size(); }

    // Bus steps process() takes at most: a peer that floods the mailbox cannot hold the caller there.
    static constexpr int kProcessBatch = 1000;

  private:
    enum class Kind { Monitor, Locate, Subscription };

    // Everyone waiting on one bus name; the key orders them as they came.
    struct Watchers {
        Kind kind;
        uint32_t pid;  // Monitor: the supervised id
        std::unique_ptr<NameWatch> watch;
        std::map<uint32_t, void*> waiting;  // monitor ref, locate key or subscription id -> message
    };

    Mailbox(sd_bus* bus, std::string name);
    // 0, or the negative errno that stopped it.
    int start();
    int ownRandomId();
    void finishCall();
    void flush();
    void enqueue(void* msg, uint32_t sender);
    void indicate(uint32_t msgno, uint32_t subscriptionId, uint32_t sender);
    Watchers* watchersOf(const std::string& busName, Kind kind, uint32_t pid);
    void removeWaiting(std::unordered_map<uint32_t, std::string>& index, uint32_t key);
    void retire(const std::string& busName);
    void sendWake();

    static int onMethod(sd_bus_message* m, void* userdata, sd_bus_error* error);
    void onDeliver(sd_bus_message* m);

    void nameGone(const std::string& busName) override;
    void nameIdentified(const std::string& busName, uint32_t id) override;
    void nameLost(const std::string& busName, uint32_t id) override;

    sd_bus* bus_;
    sd_bus_slot* object_ = nullptr;
    std::string name_;
    std::string uniqueName_;
    uint32_t id_ = TAVI_NO_ID;
    int fd_ = -1;
    bool wakeInFlight_ = false;
    bool selfWake_ = true;
    std::deque<void*> queue_;
    std::unordered_map<std::string, Watchers> watches_;     // by bus name
    std::unordered_map<uint32_t, std::string> monitors_;    // ref -> bus name
    std::unordered_map<uint32_t, std::string> subscribed_;  // subscription id -> bus name
    std::vector<std::unique_ptr<NameWatch>> retired_;       // stopped, freed when the call ends
    uint32_t nextLocateKey_ = 1;
};

}  // namespace Sync::Platform

#endif
