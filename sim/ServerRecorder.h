#ifndef SYNC_SIM_SERVERRECORDER_H
#define SYNC_SIM_SERVERRECORDER_H

#include <cstdint>
#include <string>
#include <vector>

#include "PortControlServer.h"
#include "SyncControlServer.h"

namespace SyncSim {

// A simulated server's memory: every message its clients sent and every drop with its reason, oldest
// first, for the simulator's printout and the tests.
template <typename Server>
class ServerRecorder : public Server::Listener {
  public:
    using Received = typename Server::Received;

    void arrived(const Received& message) override { received_.push_back(message); }
    void dropped(const std::string& why) override { warnings_.push_back(why); }

    const std::vector<Received>& received() const { return received_; }
    // The received messages of one number, oldest first.
    std::vector<Received> receivedWith(uint32_t msgno) const {
        std::vector<Received> found;
        for (const Received& r : received_)
            if (r.message.msgno() == msgno)
                found.push_back(r);
        return found;
    }
    const std::vector<std::string>& warnings() const { return warnings_; }

  private:
    std::vector<Received> received_;
    std::vector<std::string> warnings_;
};

using PortControlRecorder = ServerRecorder<SyncPeers::PortControlServer>;
using SyncControlRecorder = ServerRecorder<SyncPeers::SyncControlServer>;

}  // namespace SyncSim

#endif
