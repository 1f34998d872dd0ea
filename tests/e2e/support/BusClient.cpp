#include "BusClient.h"

#include <algorithm>

namespace E2e {

namespace {

const char* const kBus = "org.freedesktop.DBus";
const char* const kBusPath = "/org/freedesktop/DBus";
constexpr auto kGiveUpCheck = std::chrono::milliseconds(100);

int onOwnerChanged(sd_bus_message* m, void* userdata, sd_bus_error*) {
    const char* name = nullptr;
    const char* oldOwner = nullptr;
    const char* newOwner = nullptr;
    if (sd_bus_message_read(m, "sss", &name, &oldOwner, &newOwner) >= 0 && newOwner != nullptr &&
        *newOwner != '\0') {
        *static_cast<bool*>(userdata) = true;
    }
    return 0;
}

}  // namespace

BusClient::BusClient(const std::string& address) {
    if (sd_bus_new(&bus_) < 0 || sd_bus_set_address(bus_, address.c_str()) < 0 ||
        sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_start(bus_) < 0) {
        bus_ = sd_bus_close_unref(bus_);
    }
}

BusClient::~BusClient() {
    sd_bus_flush_close_unref(bus_);
}

bool BusClient::connected() const {
    return bus_ != nullptr && sd_bus_is_open(bus_) > 0;
}

std::string BusClient::ownerOf(const std::string& busName) {
    sd_bus_message* reply = nullptr;
    const char* owner = nullptr;
    std::string result;
    if (connected() &&
        sd_bus_call_method(bus_, kBus, kBusPath, kBus, "GetNameOwner", nullptr, &reply, "s",
                           busName.c_str()) >= 0 &&
        sd_bus_message_read(reply, "s", &owner) >= 0) {
        result = owner;
    }
    sd_bus_message_unref(reply);
    return result;
}

pid_t BusClient::processOf(const std::string& busName) {
    sd_bus_message* reply = nullptr;
    uint32_t pid = 0;
    bool found = connected() &&
                 sd_bus_call_method(bus_, kBus, kBusPath, kBus, "GetConnectionUnixProcessID", nullptr, &reply,
                                    "s", busName.c_str()) >= 0 &&
                 sd_bus_message_read(reply, "u", &pid) >= 0;
    sd_bus_message_unref(reply);
    return found ? static_cast<pid_t>(pid) : -1;
}

std::optional<uint32_t> BusClient::mailboxId(const std::string& busName, std::chrono::milliseconds timeout) {
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    uint32_t id = 0;
    bool answered =
        connected() &&
        sd_bus_message_new_method_call(bus_, &call, busName.c_str(), "/org/tavi/Mailbox", "org.tavi.Mailbox",
                                       "Id") >= 0 &&
        sd_bus_call(bus_, call, std::chrono::duration_cast<std::chrono::microseconds>(timeout).count(),
                    nullptr, &reply) >= 0 &&
        sd_bus_message_read(reply, "u", &id) >= 0;
    sd_bus_message_unref(reply);
    sd_bus_message_unref(call);
    return answered ? std::optional<uint32_t>(id) : std::nullopt;
}

bool BusClient::waitForOwner(const std::string& busName, std::chrono::milliseconds timeout,
                             const std::function<bool()>& giveUp) {
    if (!connected()) {
        return false;
    }
    auto deadline = std::chrono::steady_clock::now() + timeout;
    bool owned = false;
    sd_bus_slot* slot = nullptr;
    std::string rule =
        "type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged',arg0='" + busName + "'";
    // The match is in place before the first look, so an owner that comes in between is not missed.
    if (sd_bus_add_match(bus_, &slot, rule.c_str(), onOwnerChanged, &owned) < 0) {
        return false;
    }
    owned = !ownerOf(busName).empty();
    while (!owned && connected()) {
        while (sd_bus_process(bus_, nullptr) > 0 && !owned) {
        }
        auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (owned || left.count() <= 0 || (giveUp && giveUp())) {
            break;
        }
        sd_bus_wait(bus_,
                    static_cast<uint64_t>(std::min<std::chrono::microseconds>(left, kGiveUpCheck).count()));
    }
    sd_bus_slot_unref(slot);
    return owned;
}

}  // namespace E2e
