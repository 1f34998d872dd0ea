#ifndef SYNC_SIM_PORTCONTROLRECORDER_H
#define SYNC_SIM_PORTCONTROLRECORDER_H

#include <cstdint>
#include <string>
#include <vector>

#include "PortControlServer.h"

namespace SyncSim {

// The simulated port-control server's memory: every message its clients sent, decoded, and every
// drop with its reason, oldest first, for the simulator's printout and the tests.
class PortControlRecorder : public SyncPeers::PortControlServer::Listener {
  public:
    using Received = SyncPeers::PortControlServer::Received;

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
