#ifndef SYNC_CONTROL_CENTRALEVENT_H
#define SYNC_CONTROL_CENTRALEVENT_H

#include <cstdint>

#include "eventHandling/Event.h"

namespace Sync {
namespace Control {

// Events that any client interface's service handler raises on itself for listeners that do not care
// which interface they come from.
class CentralEvent {
  public:
    // What CLIENT_NOTIFY_EVENT tells.
    enum ClientNotification : uint32_t {
        SERVER_CONNECTED = 1,  // the connection to the server is established
        SERVER_LOST = 2,       // the server went away; a later SERVER_CONNECTED is a new connection
    };

    struct CLIENT_NOTIFY_EVENT : Event<CLIENT_NOTIFY_EVENT> {
        explicit CLIENT_NOTIFY_EVENT(uint32_t value = 0) : value(value) {}
        uint32_t value;
    };
    // New data arrived that has no event of its own; listeners read the received primitive.
    struct CLIENT_DATA_EVENT : Event<CLIENT_DATA_EVENT> {};
};

}  // namespace Control
}  // namespace Sync

#endif
