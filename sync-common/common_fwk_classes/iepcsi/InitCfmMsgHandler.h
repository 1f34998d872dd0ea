#ifndef SYNC_IEPCSI_INITCFMMSGHANDLER_H
#define SYNC_IEPCSI_INITCFMMSGHANDLER_H

#include <cstdint>

#include "control/MessageHandler.h"

namespace Sync {
namespace Iepcsi {

class ServiceHandler;

// The connection stands: INIT_CFM_EVENT, then the port list is asked for.
class InitCfmMsgHandler final : public MessageHandler {
  public:
    explicit InitCfmMsgHandler(ServiceHandler* serviceHandler) : serviceHandler_(serviceHandler) {}

    void handle(BasePrimitive* primitive, uint32_t senderPid) override;

  private:
    ServiceHandler* serviceHandler_;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
