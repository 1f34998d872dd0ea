#ifndef SYNC_CONTROL_DISPATCHER_H
#define SYNC_CONTROL_DISPATCHER_H

#include <cstdint>
#include <map>

namespace Sync {

class BaseInterface;

// Offers each received message to the registered interfaces in ascending handler id until one claims
// it. Interfaces are deleted only by removeInterface.
class Dispatcher {
  public:
    Dispatcher();
    virtual ~Dispatcher();
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // False for a null interface or an id already taken (the entry in place stays, and the caller
    // keeps the interface it offered).
    bool addInterface(uint32_t handlerId, BaseInterface* interface);
    // Detaches and deletes the interface registered under the id, if any.
    void removeInterface(uint32_t handlerId);
    BaseInterface* getInterface(uint32_t handlerId) const;
    // True when an interface claimed the message.
    bool dispatch(void* msg);
    void attachInterfaces();
    void detachInterfaces();

  private:
    std::map<uint32_t, BaseInterface*> interfaces;
};

}  // namespace Sync

#endif
