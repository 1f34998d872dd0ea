#ifndef SYNC_E2E_BUSCLIENT_H
#define SYNC_E2E_BUSCLIENT_H

#include <sys/types.h>
#include <systemd/sd-bus.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace E2e {

// A plain sd-bus connection for a test to look at the bus from outside: who owns a name, which
// process that is, what a mailbox answers to Id(); and to wait, event-driven, for a name's owner.
class BusClient {
  public:
    explicit BusClient(const std::string& address);
    ~BusClient();
    BusClient(const BusClient&) = delete;
    BusClient& operator=(const BusClient&) = delete;

    bool connected() const;
    // The unique name (":1.7") owning busName; empty when it has no owner.
    std::string ownerOf(const std::string& busName);
    // The pid of the process whose connection owns busName; -1 when none.
    pid_t processOf(const std::string& busName);
    // The answer of busName's mailbox to Id(); nothing when it does not answer within timeout.
    std::optional<uint32_t> mailboxId(const std::string& busName,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(1));
    // Waits until busName has an owner: true as soon as it has; false when timeout passes or
    // giveUp() (asked at least every 100 ms) turns true, for instance because the process that
    // should take the name has ended.
    bool waitForOwner(const std::string& busName, std::chrono::milliseconds timeout,
                      const std::function<bool()>& giveUp = {});

  private:
    sd_bus* bus_ = nullptr;
};

}  // namespace E2e

#endif
