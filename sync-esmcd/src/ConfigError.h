#ifndef SYNC_ESMCD_CONFIGERROR_H
#define SYNC_ESMCD_CONFIGERROR_H

#include <cstdint>

namespace SyncEsmcd {

// The errorCode of a rejected output create or change request; 0 confirms. The daemon only traces a
// rejection, so each code names one cause an operator can act on (also listed in sync-esmcd --help).
enum ConfigError : uint32_t {
    CONFIG_OK = 0,
    NO_SUCH_NAMESPACE = 1,     // /run/netns/<name> does not exist or cannot be entered
    NO_SUCH_INTERFACE = 2,     // the namespace has no interface of that name
    SOCKET_REFUSED = 3,        // the packet socket could not be opened or bound (permissions)
    UNKNOWN_OUTPUT = 4,        // a change for an output that was never created
    BAD_MAC_ADDRESS = 5,       // the request's MAC address is no "xx:xx:xx:xx:xx:xx"
    INPUTS_NOT_SUPPORTED = 6,  // this data plane transmits only; it recovers no clock from a port
};

const char* describe(ConfigError error);

}  // namespace SyncEsmcd

#endif
