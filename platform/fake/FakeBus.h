#ifndef SYNC_PLATFORM_FAKEBUS_H
#define SYNC_PLATFORM_FAKEBUS_H

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "FakeTavi.h"
#include "tavi.h"

namespace Sync::Platform {

// The one process-wide state behind the fake C API and the FakeTavi test functions: the own
// mailbox's queue, its watches, the simulated name service and everything recorded for the test.
class FakeBus {
  public:
    static FakeBus& instance();

    FakeBus(const FakeBus&) = delete;
    FakeBus& operator=(const FakeBus&) = delete;

    void reset();

    // The application's side (tavi.h, kolm.h).
    int init();
    uint32_t createMailbox(const char* name);
    void deleteMailbox(uint32_t id);
    void exit();
    int fd() const { return eventFd_; }
    void send(void* msg, uint32_t to, uint32_t from);
    void* receive();
    uint32_t monitor(uint32_t pid, void* msg);
    void unmonitor(uint32_t ref);
    void locate(const char* name, void* msg);
    void setWarningCallback(tavi_warning_fn fn) { warningFn_ = fn; }
    int publish(const char* service, const char* domain, uint32_t mailboxId, const char* qualifier);
    int unpublish(const char* service, const char* domain, uint32_t mailboxId, const char* qualifier);
    int subscribe(const char* service, const char* domain, uint64_t tag);
    int unsubscribe(uint32_t subscriptionId);

    // The test's side (FakeTavi.h).
    void setOwnId(uint32_t id) { nextOwnId_ = id; }
    uint32_t ownId() const { return mailbox_ ? ownId_ : TAVI_NO_ID; }
    const std::string& mailboxName() const { return name_; }
    bool initialised() const { return initialised_; }
    bool mailboxExists() const { return mailbox_; }
    const std::vector<uint32_t>& deletedIds() const { return deletedIds_; }
    void failInit(bool on) { failInit_ = on; }
    void failCreateMailbox(bool on) { failCreate_ = on; }
    void failPublish(bool on) { failPublish_ = on; }
    const std::vector<FakeTavi::SentMessage>& sent() const { return sent_; }
    void clearSent() { sent_.clear(); }
    bool inject(uint32_t sender, const void* bytes, std::size_t size);
    std::size_t pending() const { return queue_.size(); }
    std::vector<uint32_t> monitoredPids() const;
    std::size_t fireMonitor(uint32_t pid);
    std::vector<std::string> locatedNames() const;
    std::size_t fireLocate(const std::string& name, uint32_t senderPid);
    std::size_t forgetLocate(const std::string& name);
    void serviceUp(const std::string& service, const std::string& domain, uint32_t pid);
    void serviceDown(const std::string& service, const std::string& domain);
    std::vector<FakeTavi::Subscription> subscriptions() const;
    std::vector<FakeTavi::Publication> published() const;
    const std::vector<FakeTavi::PublishCall>& publishCalls() const { return publishCalls_; }
    bool warn(const char* text) const;

  private:
    using ServiceKey = std::pair<std::string, std::string>;  // domain, service

    struct Watch {
        uint32_t pid;      // monitor: the supervised mailbox
        std::string name;  // locate: the mailbox name
        void* msg;
    };

    FakeBus() = default;
    ~FakeBus();

    void enqueue(void* msg, uint32_t sender);
    void enqueueIndication(uint32_t msgno, uint32_t subscriptionId, uint32_t sender);
    void dropMailboxState();
    void closeFd();

    bool initialised_ = false;
    bool mailbox_ = false;
    uint32_t nextOwnId_ = 0x1001;
    uint32_t ownId_ = TAVI_NO_ID;
    std::string name_;
    int eventFd_ = -1;
    std::deque<void*> queue_;
    std::map<uint32_t, Watch> monitors_;  // by reference
    uint32_t nextMonitorRef_ = 1;
    std::vector<Watch> locates_;
    std::map<uint32_t, FakeTavi::Subscription> subscriptions_;  // by id
    uint32_t nextSubscriptionId_ = 1;
    std::map<ServiceKey, uint32_t> serviceOwners_;
    std::map<ServiceKey, FakeTavi::Publication> published_;
    tavi_warning_fn warningFn_ = nullptr;
    bool failInit_ = false;
    bool failCreate_ = false;
    bool failPublish_ = false;
    std::vector<FakeTavi::SentMessage> sent_;
    std::vector<FakeTavi::PublishCall> publishCalls_;
    std::vector<uint32_t> deletedIds_;
};

}  // namespace Sync::Platform

#endif
