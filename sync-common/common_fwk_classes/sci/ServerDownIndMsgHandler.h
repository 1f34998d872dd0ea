#ifndef SYNC_SCI_SERVERDOWNINDMSGHANDLER_H
#define SYNC_SCI_SERVERDOWNINDMSGHANDLER_H

#include <cstdint>

#include "control/MessageHandler.h"

namespace Sync {

class BaseServiceHandler;

namespace Sci {

// The server's mailbox is gone: SERVER_DOWN_IND_EVENT, then CLIENT_NOTIFY_EVENT telling the loss, so
// that the next connection confirmation is known to be a reconnection.
class ServerDownIndMsgHandler : public MessageHandler {
  public:
    explicit ServerDownIndMsgHandler(BaseServiceHandler* serviceHandler);

    void handle(BasePrimitive* primitive, uint32_t senderPid) override;

  private:
    BaseServiceHandler* serviceHandler;
};

}  // namespace Sci
}  // namespace Sync

#endif
