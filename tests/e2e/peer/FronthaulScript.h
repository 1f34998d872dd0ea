#ifndef SYNC_E2E_FRONTHAULSCRIPT_H
#define SYNC_E2E_FRONTHAULSCRIPT_H

#include <cstdint>
#include <string>
#include <vector>

#include "PortControlServer.h"

namespace E2e {

// What the simulated node reports in the fronthaul tests, shared by the peers a test runs itself and
// those it runs in a PeerHost process, so that a peer restarted in the other place tells the daemon
// the very same things.
class FronthaulScript {
  public:
    static constexpr size_t kPorts = 4;
    // Clock quality ePRTC, under the default telecom standard option I.
    static constexpr uint32_t kQuality = 20;

    // Four unlocked, enabled fronthaul ports: TnPort-1..4 on fh1..fh4, MAC 02:00:5e:10:00:0n, one
    // network namespace each.
    static std::vector<SyncTools::PortControlServer::Port> ports();
    // The MAC address of a port as the daemon writes it, "02:00:5e:10:00:0n" for n = 1..4.
    static std::string macText(size_t n);
};

}  // namespace E2e

#endif
