#ifndef SYNC_IEPCSI_SUBSCRIBEPORTSTATUSCFMMSGHANDLER_H
#define SYNC_IEPCSI_SUBSCRIBEPORTSTATUSCFMMSGHANDLER_H

#include <cstdint>

#include "control/MessageHandler.h"

namespace Sync {
namespace Iepcsi {

class ServiceHandler;

// A port's subscription is confirmed: SUBSCRIBE_PORT_STATUS_CFM_EVENT.
class SubscribePortStatusCfmMsgHandler final : public MessageHandler {
  public:
    explicit SubscribePortStatusCfmMsgHandler(ServiceHandler* serviceHandler)
        : serviceHandler_(serviceHandler) {}

    void handle(BasePrimitive* primitive, uint32_t senderPid) override;

  private:
    ServiceHandler* serviceHandler_;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
