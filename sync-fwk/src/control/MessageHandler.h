#ifndef SYNC_CONTROL_MESSAGEHANDLER_H
#define SYNC_CONTROL_MESSAGEHANDLER_H

#include <cstdint>

namespace Sync {

class BasePrimitive;

// Reacts to one received primitive. Concrete handlers hold the service handler they serve and only
// raise events on it; the primitive is the interface's registered instance, reused for the next message
// of its number, so a handler copies whatever it keeps.
class MessageHandler {
  public:
    virtual ~MessageHandler();
    virtual void handle(BasePrimitive* primitive, uint32_t senderPid) = 0;
};

}  // namespace Sync

#endif
