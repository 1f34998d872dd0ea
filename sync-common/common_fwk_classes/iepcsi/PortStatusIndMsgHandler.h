#ifndef SYNC_IEPCSI_PORTSTATUSINDMSGHANDLER_H
#define SYNC_IEPCSI_PORTSTATUSINDMSGHANDLER_H

#include <cstdint>

#include "control/MessageHandler.h"

namespace Sync {
namespace Iepcsi {

class ServiceHandler;

// A port's status changed: ETH_PORT_STATUS_IND_EVENT.
class PortStatusIndMsgHandler final : public MessageHandler {
  public:
    explicit PortStatusIndMsgHandler(ServiceHandler* serviceHandler) : serviceHandler_(serviceHandler) {}

    void handle(BasePrimitive* primitive, uint32_t senderPid) override;

  private:
    ServiceHandler* serviceHandler_;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
