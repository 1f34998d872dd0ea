#ifndef SYNC_CONTROL_PRIMITIVELISTENERCONTAINER_H
#define SYNC_CONTROL_PRIMITIVELISTENERCONTAINER_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Sync {

class BasePrimitive;
class MessageHandler;

// One registered primitive and the handlers called for it, in insertion order. Owns both; the
// handlers go first, last first, then the primitive.
class PrimitiveListenerContainer {
  public:
    explicit PrimitiveListenerContainer(BasePrimitive* owned);
    ~PrimitiveListenerContainer();
    PrimitiveListenerContainer(const PrimitiveListenerContainer&) = delete;
    PrimitiveListenerContainer& operator=(const PrimitiveListenerContainer&) = delete;

    BasePrimitive* getPrimitive() const { return primitive; }
    // Takes the handler unless it is already listed (then false, and the list keeps its one entry).
    bool addListener(MessageHandler* handler);
    // Deletes every handler, last first.
    void removeListeners();
    // Calls every handler in insertion order. A handler may remove listeners while it runs; the walk
    // stops at the end of what is left.
    void notify(BasePrimitive* target, uint32_t senderPid);
    size_t getListenerCount() const { return listeners.size(); }

  private:
    BasePrimitive* primitive;
    std::vector<MessageHandler*> listeners;
};

}  // namespace Sync

#endif
