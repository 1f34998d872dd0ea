#ifndef SYNC_EVENTHANDLING_BASESERVICEHANDLER_H
#define SYNC_EVENTHANDLING_BASESERVICEHANDLER_H

#include <cstdint>

#include "eventHandling/EventHandler.h"
#include "eventHandling/IEntity.h"

namespace Sync {

class BaseController;
class BaseInterface;

// Application logic behind one interface: an entity that raises the interface's events, and an event
// handler whose id is both its automata's key and the key of its interface in the dispatcher.
class BaseServiceHandler : public IEntity, public EventHandler {
  public:
    BaseServiceHandler(uint32_t id, BaseController* controller);
    ~BaseServiceHandler() override;

    // Creates the interface and registers it with the controller's dispatcher under getId().
    virtual void init() = 0;
    // Removes (and so deletes) the interface registered under getId(), if there is a dispatcher.
    virtual void unregisterInterface();
    // The interface registered under getId(); null (with an ERROR) when there is no dispatcher.
    virtual BaseInterface* getInterface();

    BaseController* getController() const { return controller; }

  protected:
    BaseController* controller;
};

}  // namespace Sync

#endif
