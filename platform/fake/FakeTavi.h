#ifndef SYNC_PLATFORM_FAKETAVI_H
#define SYNC_PLATFORM_FAKETAVI_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The test side of the in-process tavi/kolm double. Code under test calls the C API of tavi.h and
// kolm.h; the test drives and inspects the other side through these functions. Single-threaded.
namespace FakeTavi {

struct SentMessage {
    uint32_t to;
    uint32_t from;  // TAVI_OWN_ID already replaced by the own id
    std::vector<uint8_t> bytes;

    uint32_t msgno() const;
    // The host-order 32-bit word at offset; 0 when the message is shorter.
    uint32_t word(std::size_t offset) const;
};

struct Publication {
    std::string service;
    std::string domain;
    uint32_t mailboxId;
    std::string qualifier;
};

struct PublishCall {
    bool publish;  // false: kolm_unpublish
    Publication what;
    int result;
};

struct Subscription {
    uint32_t id;
    std::string service;
    std::string domain;
    uint64_t tag;
};

// Back to a process that never called tavi_init: drops every queue, watch, record and switch.
void reset();

// The id the next successful tavi_create_mailbox returns (0x1001 after reset()).
void setOwnId(uint32_t id);
// The own mailbox's id; TAVI_NO_ID while no mailbox exists.
uint32_t ownId();
// The name given to the last successful tavi_create_mailbox.
std::string mailboxName();
// True between a successful tavi_init and tavi_exit.
bool initialised();
// True between a successful tavi_create_mailbox and its tavi_delete_mailbox or tavi_exit.
bool mailboxExists();
// Every id passed to tavi_delete_mailbox, in call order.
std::vector<uint32_t> deletedIds();

// Failure switches (all off after reset()): the next calls fail until switched off again.
void failInit(bool on = true);
void failCreateMailbox(bool on = true);
void failPublish(bool on = true);

// Every message given to tavi_send, oldest first (kept across tavi_exit, cleared by reset()).
const std::vector<SentMessage>& sent();
// Forgets the recorded messages.
void clearSent();

// Queues a copy of size bytes (at least 4) as sent by sender; false when too short or no mailbox.
bool inject(uint32_t sender, const void* bytes, std::size_t size);
bool inject(uint32_t sender, const std::vector<uint8_t>& bytes);
// Messages waiting in the own mailbox.
std::size_t pending();

// Pids with an active monitor, in the order the monitors were made (one entry per monitor).
std::vector<uint32_t> monitoredPids();
// Delivers the prepared message of every monitor of pid (sender pid) and ends them; returns how many.
std::size_t fireMonitor(uint32_t pid);

// Names with a pending tavi_locate_async, in call order (one entry per call).
std::vector<std::string> locatedNames();
// Delivers every pending locate of name with senderPid as sender and ends them; returns how many.
std::size_t fireLocate(const std::string& name, uint32_t senderPid);
// Ends every pending locate of name without delivering it; returns how many.
std::size_t forgetLocate(const std::string& name);

// The service gains owner pid: each subscription to it gets KOLM_SERVICE_ADDED_IND sent by pid.
// An owner already present is lost first, as on the bus.
void serviceUp(const std::string& service, const std::string& domain, uint32_t pid);
// The service loses its owner: each subscription gets KOLM_SERVICE_REMOVED_IND sent by that owner.
void serviceDown(const std::string& service, const std::string& domain);
// Active subscriptions, in subscription order.
std::vector<Subscription> subscriptions();

// Services currently published by the code under test.
std::vector<Publication> published();
// Every kolm_publish and kolm_unpublish call with its result, in call order.
const std::vector<PublishCall>& publishCalls();

// Passes text to the warning callback the code under test installed; false when none is installed.
bool warn(const char* text);

}  // namespace FakeTavi

#endif
