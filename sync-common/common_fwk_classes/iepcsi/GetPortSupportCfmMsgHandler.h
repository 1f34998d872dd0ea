#ifndef SYNC_IEPCSI_GETPORTSUPPORTCFMMSGHANDLER_H
#define SYNC_IEPCSI_GETPORTSUPPORTCFMMSGHANDLER_H

#include <cstdint>

#include "control/MessageHandler.h"

namespace Sync {
namespace Iepcsi {

class ServiceHandler;

// The port list arrived: GET_ETH_PORT_SUPPORT_CFM_EVENT, then a trace of every port that has
// neither of the roles this daemon serves.
class GetPortSupportCfmMsgHandler final : public MessageHandler {
  public:
    explicit GetPortSupportCfmMsgHandler(ServiceHandler* serviceHandler) : serviceHandler_(serviceHandler) {}

    void handle(BasePrimitive* primitive, uint32_t senderPid) override;

  private:
    ServiceHandler* serviceHandler_;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
