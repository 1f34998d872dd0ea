#ifndef SYNC_SCI_EVENTMSGHANDLER_H
#define SYNC_SCI_EVENTMSGHANDLER_H

#include <cstdint>

#include "Macros.h"
#include "control/MessageHandler.h"
#include "eventHandling/BaseServiceHandler.h"

namespace Sync {
namespace Sci {

// The reaction to one received sync-control primitive: raises Events, in order, on the service
// handler, which becomes their source. None at all for messages that are only traced. The events
// carry nothing of the primitive; listeners read it from the interface.
template <class... Events>
class EventMsgHandler : public MessageHandler {
  public:
    explicit EventMsgHandler(BaseServiceHandler* serviceHandler) : serviceHandler(serviceHandler) {}

    void handle(BasePrimitive* primitive, uint32_t senderPid) override {
        TRACE_ENTER("prim: %p, senderPid: %u", static_cast<void*>(primitive), senderPid);
        (serviceHandler->sendEvent(Events()), ...);
        TRACE_RETURN("%s", "");
    }

  private:
    BaseServiceHandler* serviceHandler;
};

}  // namespace Sci
}  // namespace Sync

#endif
