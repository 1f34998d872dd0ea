#ifndef SYNC_SIM_SYNCCONTROLRECORDER_H
#define SYNC_SIM_SYNCCONTROLRECORDER_H

#include <cstdint>
#include <string>
#include <vector>

#include "SyncControlServer.h"

namespace SyncSim {

// The simulated sync-control server's memory: every message its clients sent and every drop with its
// reason, oldest first, for the simulator's printout and the tests.
class SyncControlRecorder : public SyncPeers::SyncControlServer::Listener {
  public:
    using Received = SyncPeers::SyncControlServer::Received;

    void arrived(const Received& message) override { received_.push_back(message); }
    void dropped(const std::string& why) override { warnings_.push_back(why); }

    const std::vector<Received>& received() const { return received_; }
    // The received messages of one number, oldest first.
    std::vector<Received> receivedWith(uint32_t msgno) const;
    const std::vector<std::string>& warnings() const { return warnings_; }

  private:
    std::vector<Received> received_;
    std::vector<std::string> warnings_;
};

}  // namespace SyncSim

#endif
