#include "ConfigError.h"

namespace SyncEsmcd {

const char* describe(ConfigError error) {
    switch (error) {
        case CONFIG_OK:
            return "ok";
        case NO_SUCH_NAMESPACE:
            return "no such network namespace";
        case NO_SUCH_INTERFACE:
            return "no such interface";
        case SOCKET_REFUSED:
            return "packet socket refused";
        case UNKNOWN_OUTPUT:
            return "unknown output";
        case BAD_MAC_ADDRESS:
            return "bad MAC address";
        case INPUTS_NOT_SUPPORTED:
            return "inputs not supported";
    }
    return "unknown error";
}

}  // namespace SyncEsmcd
