#ifndef SYNC_EVENTHANDLING_DOMAINENTITY_H
#define SYNC_EVENTHANDLING_DOMAINENTITY_H

#include <cstdint>

#include "eventHandling/IEntity.h"

namespace Sync {

class IDomainEntityFactory;

// A model object that lives in its factory's table under its entity id.
class DomainEntity : public IEntity {
  public:
    DomainEntity(uint32_t entityId, IDomainEntityFactory* factory);
    ~DomainEntity() override;

    using IEntity::sendEvent;
    // An entity that is no longer in its factory cannot raise events: the lookup aborts.
    void sendEvent(PolymorphEvent& event) override;

    // Called by the factory when the entity is registered (activate) or retired (deactivate).
    virtual void activate();
    virtual void deactivate();

    uint32_t getEntityId() const { return entityId; }
    IDomainEntityFactory* getFactory() const { return factory; }

  protected:
    uint32_t entityId;
    IDomainEntityFactory* factory;
};

}  // namespace Sync

#endif
