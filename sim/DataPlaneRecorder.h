#ifndef SYNC_SIM_DATAPLANERECORDER_H
#define SYNC_SIM_DATAPLANERECORDER_H

#include <cstdint>
#include <string>
#include <vector>

#include "DataPlaneClient.h"

namespace SyncSim {

// The simulated data plane: keeps every order the daemon gives, decoded, and every drop with its
// reason, oldest first, for the simulator's printout and the tests. It confirms configuration
// requests unless told to reject them.
class DataPlaneRecorder : public SyncPeers::DataPlaneClient::Listener {
  public:
    using Order = SyncPeers::DataPlaneClient::Order;

    uint32_t ordered(const Order& order) override;
    void dropped(const std::string& why) override { warnings_.push_back(why); }

    // Answers the following create and change requests with a rejection carrying errorCode; 0 returns
    // to confirming them. Remove requests have no rejection and are always confirmed.
    void rejectConfigRequests(uint32_t errorCode) { rejectErrorCode_ = errorCode; }

    const std::vector<Order>& orders() const { return orders_; }
    // Whether the order at this index of orders() was a create or change request answered with a
    // rejection.
    bool rejected(size_t index) const { return rejected_.at(index); }
    // The orders of one kind among those from index `from` on.
    std::vector<Order> ordersOf(Order::Kind kind, size_t from = 0) const;
    const std::vector<std::string>& warnings() const { return warnings_; }

  private:
    uint32_t rejectErrorCode_ = 0;
    std::vector<Order> orders_;
    std::vector<bool> rejected_;
    std::vector<std::string> warnings_;
};

}  // namespace SyncSim

#endif
