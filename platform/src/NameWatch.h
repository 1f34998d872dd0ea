#ifndef SYNC_PLATFORM_NAMEWATCH_H
#define SYNC_PLATFORM_NAMEWATCH_H

#include <systemd/sd-bus.h>

#include <cstdint>
#include <string>

namespace Sync::Platform {

// Follows the owner of one bus name on one connection: one NameOwnerChanged match for the name,
// one GetNameOwner for its state when the watch starts, and, when asked to identify owners, one
// Id() call to each new owner. Reports through its observer in the order the bus events arrive.
class NameWatch {
  public:
    class Observer {
      public:
        // The name has no owner (known at start, or its owner left).
        virtual void nameGone(const std::string& busName) = 0;
        // The current owner answered Id().
        virtual void nameIdentified(const std::string& busName, uint32_t id) = 0;
        // An owner that had answered Id() lost the name.
        virtual void nameLost(const std::string& busName, uint32_t id) = 0;

      protected:
        ~Observer() = default;
    };

    // How long an owner may take to answer Id().
    static constexpr uint64_t kIdTimeoutUsec = 1000000;

    NameWatch(sd_bus* bus, std::string busName, bool identify, Observer& observer);
    ~NameWatch();
    NameWatch(const NameWatch&) = delete;
    NameWatch& operator=(const NameWatch&) = delete;

    // Adds the match, then asks for the current owner; false when the bus refuses either.
    bool start();
    // Ends every bus activity of the watch (the match goes at once); no observer call follows. Safe
    // inside the watch's own callbacks.
    void stop();

    const std::string& busName() const { return busName_; }
    bool knownAbsent() const { return state_ == State::Absent; }
    bool identified() const { return identified_; }
    uint32_t ownerId() const { return ownerId_; }

  private:
    enum class State { Unknown, Absent, Present };

    static int onOwnerChanged(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int onMatchInstalled(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int onOwnerReply(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int onIdReply(sd_bus_message* m, void* userdata, sd_bus_error* error);

    void ownerIs(const std::string& owner);
    void askId();

    sd_bus* bus_;
    std::string busName_;
    bool identify_;
    Observer* observer_;
    sd_bus_slot* match_ = nullptr;
    sd_bus_slot* ownerCall_ = nullptr;
    sd_bus_slot* idCall_ = nullptr;
    State state_ = State::Unknown;
    bool signalSeen_ = false;
    std::string owner_;
    bool identified_ = false;
    uint32_t ownerId_ = 0;
};

}  // namespace Sync::Platform

#endif
