#ifndef SYNC_EVENTHANDLING_EVENTHANDLER_H
#define SYNC_EVENTHANDLING_EVENTHANDLER_H

#include <cstdint>

namespace Sync {

// The owner of automata. Its id is the key under which entities keep their states in its automata.
class EventHandler {
  public:
    explicit EventHandler(uint32_t id) : id(id) {}
    virtual ~EventHandler();

    uint32_t getId() const { return id; }

  private:
    uint32_t id;
};

}  // namespace Sync

#endif
