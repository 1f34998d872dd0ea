#ifndef SYNC_EVENTHANDLING_IDOMAINENTITYFACTORY_H
#define SYNC_EVENTHANDLING_IDOMAINENTITYFACTORY_H

#include <cstdint>

namespace Sync {

class DomainEntity;

// What an entity knows of the factory that holds it.
class IDomainEntityFactory {
  public:
    virtual ~IDomainEntityFactory();
    virtual uint32_t getFactoryType() const = 0;
    // The registered entity with that id; an absent id aborts the process.
    virtual DomainEntity* find(uint32_t entityId) = 0;
};

}  // namespace Sync

#endif
