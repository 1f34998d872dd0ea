#ifndef SYNC_COLI_SYNCCOLIUPINDMSGHANDLER_H
#define SYNC_COLI_SYNCCOLIUPINDMSGHANDLER_H

#include <cstdint>

#include "control/MessageHandler.h"

namespace Sync {
namespace Coli {

class ServiceHandler;

// The command server is up: watch it, so its loss is noticed, and register the daemon's command.
class SyncColiUpIndMsgHandler : public MessageHandler {
  public:
    explicit SyncColiUpIndMsgHandler(ServiceHandler* serviceHandler);
    void handle(BasePrimitive* primitive, uint32_t senderPid) override;

  private:
    ServiceHandler* serviceHandler;
};

}  // namespace Coli
}  // namespace Sync

#endif
