#ifndef SYNC_BASECONTROLLER_H
#define SYNC_BASECONTROLLER_H

#include <cstdint>
#include <string>

#include "eventHandling/BaseServiceHandler.h"
#include "eventHandling/Container.h"

namespace Sync {

class Dispatcher;

// Owns the process's mailbox identity, the dispatcher and the service handlers. Subclasses supply the
// transport (EpollController) and the list of handlers (createServiceHandlers).
class BaseController {
  public:
    explicit BaseController(const std::string& name);
    virtual ~BaseController();

    BaseController(const BaseController&) = delete;
    BaseController& operator=(const BaseController&) = delete;

    virtual void init() = 0;
    virtual void run() = 0;
    virtual uint32_t getOwnIdentity() const;
    virtual const char* getOwnServiceName() const;
    virtual Dispatcher* getDispatcher() const;
    virtual void createOwnIdentity() = 0;
    virtual void publishYourSelf() = 0;
    virtual void createServiceHandlers() = 0;

  protected:
    // Inserts a handler under its own id; a second handler with the same id is a program fault.
    void addServiceHandler(BaseServiceHandler* handler);
    // Removes every handler's interface, then deletes the dispatcher and the handlers.
    void destroyHandlers();

    uint32_t ownIdentity;
    std::string ownServiceName;
    Dispatcher* dispatcher;
    Container<unsigned int, BaseServiceHandler> serviceHandlers;
};

}  // namespace Sync

#endif
