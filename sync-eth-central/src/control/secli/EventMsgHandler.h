#ifndef SYNC_ETHCENTRAL_SECLI_EVENTMSGHANDLER_H
#define SYNC_ETHCENTRAL_SECLI_EVENTMSGHANDLER_H

#include <cstdint>

#include "Macros.h"
#include "control/MessageHandler.h"
#include "control/secli/ServiceHandler.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// What every data-plane message handler does: raise its event E, without data, on the service handler.
// Listeners find the primitive itself as the server interface's current primitive.
template <class E>
class EventMsgHandler : public MessageHandler {
  public:
    explicit EventMsgHandler(ServiceHandler* serviceHandler) : serviceHandler_(serviceHandler) {}

    void handle(BasePrimitive* primitive, uint32_t senderPid) override {
        TRACE_ENTER("prim: %p, senderPid: %u", static_cast<void*>(primitive), senderPid);
        E event;
        serviceHandler_->sendEvent(event);
        TRACE_RETURN("%s", "");
    }

  private:
    ServiceHandler* serviceHandler_;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
