#ifndef SYNC_COLI_SYNCCOLIREGCMDRSPMSGHANDLER_H
#define SYNC_COLI_SYNCCOLIREGCMDRSPMSGHANDLER_H

#include <cstdint>

#include "control/MessageHandler.h"

namespace Sync {
namespace Coli {

// The registration answer needs no reaction: a refusal is already traced when it is unpacked.
class SyncColiRegCmdRspMsgHandler : public MessageHandler {
  public:
    void handle(BasePrimitive* primitive, uint32_t senderPid) override;
};

}  // namespace Coli
}  // namespace Sync

#endif
