#ifndef SYNC_SCI_CLIENTNOTIFYEVENT_H
#define SYNC_SCI_CLIENTNOTIFYEVENT_H

#include <cstdint>

#include "common_fwk_classes/sci/CentralEvent.h"

namespace Sync {
namespace Sci {

// CLIENT_NOTIFY_EVENT with a fixed value, so that a message handler can raise it by type. Listeners
// hear it as CLIENT_NOTIFY_EVENT.
template <uint32_t Value>
struct ClientNotifyEvent : Control::CentralEvent::CLIENT_NOTIFY_EVENT {
    ClientNotifyEvent() : CLIENT_NOTIFY_EVENT(Value) {}
};

}  // namespace Sci
}  // namespace Sync

#endif
