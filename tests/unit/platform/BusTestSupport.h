#ifndef SYNC_TEST_BUSTESTSUPPORT_H
#define SYNC_TEST_BUSTESTSUPPORT_H

#include <gtest/gtest.h>
#include <poll.h>
#include <systemd/sd-bus.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Mailbox.h"
#include "PrivateBus.h"
#include "WarningSink.h"
#include "tavi.h"

// Helpers shared by the bus tests: a private bus per test, raw connections that play misbehaving
// peers, and bounded waits.
namespace BusTest {

using Sync::Platform::Mailbox;

constexpr int kWaitMs = 3000;

struct Received {
    uint32_t msgno;
    uint32_t sender;
    uint32_t word4;
    uint32_t size;
};

inline bool operator==(const Received& a, const Received& b) {
    return a.msgno == b.msgno && a.sender == b.sender && a.word4 == b.word4 && a.size == b.size;
}

inline std::ostream& operator<<(std::ostream& os, const Received& r) {
    return os << "{msgno " << std::hex << r.msgno << " sender " << std::dec << r.sender << " word4 "
              << r.word4 << " size " << r.size << "}";
}

inline uint32_t word(const void* msg, std::size_t offset) {
    uint32_t value;
    std::memcpy(&value, static_cast<const char*>(msg) + offset, sizeof value);
    return value;
}

// Every mailbox a test made; each keeps answering the others while a test waits on one.
inline std::vector<std::weak_ptr<Mailbox>>& everyMailbox() {
    static std::vector<std::weak_ptr<Mailbox>> all;
    return all;
}

inline void processOthers(const Mailbox* waiting) {
    for (auto& weak : everyMailbox()) {
        if (auto other = weak.lock(); other && other.get() != waiting) {
            other->process();
        }
    }
}

// The next message of mailbox (waiting up to timeoutMs), summarised and freed.
inline bool next(Mailbox& mailbox, Received& out, int timeoutMs = kWaitMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    void* msg = nullptr;
    while ((msg = mailbox.receive(10)) == nullptr && std::chrono::steady_clock::now() < deadline) {
        processOthers(&mailbox);
    }
    if (msg == nullptr) {
        return false;
    }
    out = {word(msg, 0), tavi_sender(msg), tavi_size(msg) >= 8 ? word(msg, 4) : 0, tavi_size(msg)};
    tavi_free(&msg);
    return true;
}

// Exactly `count` messages, then nothing more within quietMs.
inline std::vector<Received> collect(Mailbox& mailbox, std::size_t count, int quietMs = 200) {
    std::vector<Received> all;
    Received r{};
    while (all.size() < count && next(mailbox, r)) {
        all.push_back(r);
    }
    while (next(mailbox, r, quietMs)) {
        all.push_back(r);
    }
    return all;
}

inline void sendWord(Mailbox& from, uint32_t to, uint32_t msgno, uint32_t value, uint32_t size = 8) {
    void* msg = tavi_alloc(size, msgno);
    std::memcpy(static_cast<char*>(msg) + 4, &value, sizeof value);
    from.send(&msg, to);
}

inline bool readable(int fd, int timeoutMs = 0) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1 && (p.revents & POLLIN) != 0;
}

// Repeats check until it holds or timeoutMs passes, running the given mailboxes' libraries.
template <typename Check>
bool eventually(Check check, int timeoutMs = kWaitMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!check()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// A plain sd-bus connection to the private bus, for peers that do not follow the mailbox rules.
class RawConnection {
  public:
    RawConnection() {
        const char* address = std::getenv("TAVI_BUS_ADDRESS");
        if (sd_bus_new(&bus_) < 0 || address == nullptr || sd_bus_set_address(bus_, address) < 0 ||
            sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_start(bus_) < 0) {
            bus_ = sd_bus_close_unref(bus_);
        }
    }
    ~RawConnection() { sd_bus_flush_close_unref(bus_); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    sd_bus* bus() const { return bus_; }

    // Number of match rules the bus holds for the connection that owns busName; -1 when unknown.
    int matchRules(const std::string& busName) {
        sd_bus_message* reply = nullptr;
        const char* owner = nullptr;
        int rules = -1;
        if (sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                               "GetNameOwner", nullptr, &reply, "s", busName.c_str()) < 0 ||
            sd_bus_message_read(reply, "s", &owner) < 0) {
            sd_bus_message_unref(reply);
            return -1;
        }
        std::string unique = owner;
        reply = sd_bus_message_unref(reply);
        if (sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus.Debug.Stats", "GetConnectionStats", nullptr, &reply, "s",
                               unique.c_str()) >= 0) {
            rules = readMatchRules(reply);
        }
        sd_bus_message_unref(reply);
        return rules;
    }

  private:
    static int readMatchRules(sd_bus_message* reply) {
        if (sd_bus_message_enter_container(reply, 'a', "{sv}") < 0) {
            return -1;
        }
        while (sd_bus_message_enter_container(reply, 'e', "sv") > 0) {
            const char* key = nullptr;
            sd_bus_message_read(reply, "s", &key);
            if (std::strcmp(key, "MatchRules") == 0) {
                uint32_t value = 0;
                if (sd_bus_message_read(reply, "v", "u", &value) >= 0) {
                    return static_cast<int>(value);
                }
                return -1;
            }
            sd_bus_message_skip(reply, "v");
            sd_bus_message_exit_container(reply);
        }
        return -1;
    }

    sd_bus* bus_ = nullptr;
};

// Every test gets a fresh bus and records the library's warnings.
class BusFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus_.running()) << "dbus-daemon did not start";
        warnings().clear();
        everyMailbox().clear();
        Sync::Platform::WarningSink::setCallback([](const char* text) { warnings().push_back(text); });
    }
    void TearDown() override { Sync::Platform::WarningSink::setCallback(nullptr); }

    static std::vector<std::string>& warnings() {
        static std::vector<std::string> all;
        return all;
    }

    static std::shared_ptr<Mailbox> make(const std::string& name) {
        std::shared_ptr<Mailbox> box = Mailbox::create(name);
        EXPECT_NE(box, nullptr) << name;
        everyMailbox().push_back(box);
        return box;
    }

    PrivateBus bus_;
};

}  // namespace BusTest

#endif
