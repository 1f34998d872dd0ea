#ifndef SYNC_IEPCSI_SERVERDOWNMSGHANDLER_H
#define SYNC_IEPCSI_SERVERDOWNMSGHANDLER_H

#include <cstdint>

#include "control/MessageHandler.h"

namespace Sync {
namespace Iepcsi {

class ServiceHandler;

// The server's mailbox is gone: SERVER_DOWN_EVENT.
class ServerDownMsgHandler final : public MessageHandler {
  public:
    explicit ServerDownMsgHandler(ServiceHandler* serviceHandler) : serviceHandler_(serviceHandler) {}

    void handle(BasePrimitive* primitive, uint32_t senderPid) override;

  private:
    ServiceHandler* serviceHandler_;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
