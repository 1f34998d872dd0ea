#ifndef SYNC_E2E_FRONTHAULSCRIPT_H
#define SYNC_E2E_FRONTHAULSCRIPT_H

#include <cstdint>
#include <string>
#include <vector>

#include "PortControlServer.h"

namespace E2e {

// What the simulated node reports in the road tests, shared by the peers a test runs itself and
// those it runs in a PeerHost process, so that a peer restarted in the other place tells the daemon
// the very same things.
class FronthaulScript {
  public:
    using Port = SyncPeers::PortControlServer::Port;
    static constexpr size_t kPorts = 4;
    // Clock quality ePRTC, under the default telecom standard option I.
    static constexpr uint32_t kQuality = 20;
    // The port of the table that is not fronthaul (role 0x2): the daemon only traces it as skipped.
    static constexpr const char* kOtherPort = "TnPort-X";

    // Four unlocked, enabled fronthaul ports: TnPort-1..4 on fh1..fh4, MAC 02:00:5e:10:00:0n, one
    // network namespace each; then kOtherPort.
    static std::vector<Port> ports();
    // An unlocked, enabled fronthaul port, rhaiId 10 + n, MAC 02:00:5e:10:00:n.
    static Port port(size_t n, const std::string& name, const std::string& interfaceName,
                     const std::string& networkNamespace);
    // The MAC address of port n as the daemon writes it, "02:00:5e:10:00:0n".
    static std::string macText(size_t n);
};

}  // namespace E2e

#endif
