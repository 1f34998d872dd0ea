#include "eventHandling/DomainEntity.h"

#include "eventHandling/IDomainEntityFactory.h"

namespace Sync {

DomainEntity::DomainEntity(uint32_t entityId, IDomainEntityFactory* factory)
    : entityId(entityId), factory(factory) {}

DomainEntity::~DomainEntity() = default;

void DomainEntity::sendEvent(PolymorphEvent& event) {
    if (factory != nullptr) {
        factory->find(entityId);
    }
    IEntity::sendEvent(event);
}

void DomainEntity::activate() {}

void DomainEntity::deactivate() {}

}  // namespace Sync
