#ifndef SYNC_COLI_SYNCCOLIDOWNINDMSGHANDLER_H
#define SYNC_COLI_SYNCCOLIDOWNINDMSGHANDLER_H

#include <cstdint>

#include "control/MessageHandler.h"

namespace Sync {
namespace Coli {

// The command server is gone: look for it again, so the command is registered anew when it returns.
class SyncColiDownIndMsgHandler : public MessageHandler {
  public:
    void handle(BasePrimitive* primitive, uint32_t senderPid) override;
};

}  // namespace Coli
}  // namespace Sync

#endif
