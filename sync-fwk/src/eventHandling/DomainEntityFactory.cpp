#include "eventHandling/DomainEntityFactory.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "Macros.h"
#include "eventHandling/DomainEntity.h"
#include "eventHandling/FwkException.h"

namespace Sync {

DomainEntityFactory::DomainEntityFactory(uint32_t factoryType, uint32_t maxEntities)
    : factoryType(factoryType), maxEntities(maxEntities) {}

DomainEntityFactory::~DomainEntityFactory() {
    // Entities stay findable while they are deleted, in case their destructors look themselves up.
    for (size_t i = 0; i < entities.size(); ++i) {
        delete entities[i].entity;
    }
    entities.clear();
}

uint32_t DomainEntityFactory::getFactoryType() const {
    return factoryType;
}

size_t DomainEntityFactory::positionOf(uint32_t entityId) const {
    return static_cast<size_t>(std::lower_bound(entities.begin(), entities.end(), entityId,
                                                [](const Slot& slot, uint32_t id) { return slot.id < id; }) -
                               entities.begin());
}

DomainEntity* DomainEntityFactory::lookup(uint32_t entityId) const {
    const size_t at = positionOf(entityId);
    return (at < entities.size() && entities[at].id == entityId) ? entities[at].entity : nullptr;
}

DomainEntity* DomainEntityFactory::create(uint32_t entityId, uint32_t param) {
    TRACE_ENTER("entityId: %u, param: %u", entityId, param);
    if (entityId == kAnyEntityId) {
        return create(getFreeEntityId(), kAnyEntityId);
    }
    if (lookup(entityId) != nullptr) {
        throw FwkException("Entity has already been created. entityId: " + std::to_string(entityId));
    }
    if (size() >= maxEntities) {
        throw FwkException("Maximum number of entities already created. max: " + std::to_string(maxEntities));
    }
    DomainEntity* entity = createEntity(entityId, param);
    TRACE_RETURN("entity =%p", static_cast<void*>(entity));
    return entity;
}

DomainEntity* DomainEntityFactory::find(uint32_t entityId) {
    DomainEntity* entity = lookup(entityId);
    if (entity == nullptr) {
        TRACE_ERROR("Critical situation. Entity with entityId: %u could not be found. ==> Abort", entityId);
        std::abort();
    }
    return entity;
}

void DomainEntityFactory::destroy(uint32_t entityId) {
    DomainEntity* entity = lookup(entityId);
    if (entity == nullptr) {
        return;
    }
    delete entity;
    // The destructor may have changed the table; look the id up again.
    const size_t at = positionOf(entityId);
    if (at < entities.size() && entities[at].id == entityId) {
        entities.erase(entities.begin() + static_cast<std::ptrdiff_t>(at));
    }
}

DomainEntity* DomainEntityFactory::operator[](uint32_t index) {
    if (index >= entities.size()) {
        TRACE_ERROR("Critical situation. Entity at index: %u could not be found. ==> Abort", index);
        std::abort();
    }
    return entities[index].entity;
}

uint32_t DomainEntityFactory::size() const {
    return static_cast<uint32_t>(entities.size());
}

bool DomainEntityFactory::add(DomainEntity* entity) {
    if (entity == nullptr) {
        return false;
    }
    const uint32_t entityId = entity->getEntityId();
    const size_t at = positionOf(entityId);
    if (at < entities.size() && entities[at].id == entityId) {
        return false;
    }
    entities.insert(entities.begin() + static_cast<std::ptrdiff_t>(at), Slot{entityId, entity});
    entity->activate();
    return true;
}

void DomainEntityFactory::deactivate(DomainEntity* entity) {
    if (entity != nullptr && lookup(entity->getEntityId()) != nullptr) {
        entity->deactivate();
    }
}

uint32_t DomainEntityFactory::getFreeEntityId() const {
    // Ids are unique and sorted, so from the first id >= 1 the table holds exactly 1..k for the
    // largest k with entities[first + k - 1].id == k; that prefix is found by bisection and k + 1 is
    // the lowest free id.
    const size_t first = positionOf(1);
    size_t low = 0;
    size_t high = entities.size() - first;
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (entities[first + mid].id == mid + 1) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    const uint64_t candidate = static_cast<uint64_t>(low) + 1;
    if (maxEntities == 0 || maxEntities == 0xFFFFFFFF || candidate > maxEntities) {
        throw FwkException("Maximum number of entities already created: " + std::to_string(maxEntities));
    }
    return static_cast<uint32_t>(candidate);
}

std::vector<uint32_t> DomainEntityFactory::getEntityIds() const {
    std::vector<uint32_t> ids;
    ids.reserve(entities.size());
    for (const Slot& slot : entities) {
        ids.push_back(slot.id);
    }
    return ids;
}

}  // namespace Sync
