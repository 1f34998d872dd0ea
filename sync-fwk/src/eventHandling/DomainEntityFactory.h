#ifndef SYNC_EVENTHANDLING_DOMAINENTITYFACTORY_H
#define SYNC_EVENTHANDLING_DOMAINENTITYFACTORY_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "eventHandling/IDomainEntityFactory.h"

namespace Sync {

class DomainEntity;

// A bounded table of owned entities by id. Creation goes through the concrete factory's createEntity;
// the created entity joins the table only through add. Refused creations throw FwkException.
//
// The table is a vector sorted by id: lookups are logarithmic, index access and walks in id order are
// direct, and appending ascending ids (the usual creation order) is constant time.
class DomainEntityFactory : public IDomainEntityFactory {
    struct Slot {
        uint32_t id;
        DomainEntity* entity;
    };

  public:
    // Passed as entityId: the factory picks the lowest free id itself.
    static constexpr uint32_t kAnyEntityId = 0xFFFFFFFF;

    DomainEntityFactory(uint32_t factoryType, uint32_t maxEntities);
    // Deletes every entity, lowest id first.
    ~DomainEntityFactory() override;
    DomainEntityFactory(const DomainEntityFactory&) = delete;
    DomainEntityFactory& operator=(const DomainEntityFactory&) = delete;

    uint32_t getFactoryType() const override;
    // A new, unregistered entity. With kAnyEntityId the id is getFreeEntityId() and createEntity
    // receives kAnyEntityId as param.
    virtual DomainEntity* create(uint32_t entityId, uint32_t param);
    DomainEntity* find(uint32_t entityId) override;
    // Deletes and forgets the entity; an absent id is ignored.
    virtual void destroy(uint32_t entityId);
    // The entity at position index in ascending id order; an index past the end aborts the process.
    virtual DomainEntity* operator[](uint32_t index);
    virtual uint32_t size() const;
    // Registers the entity under its id and activates it; null or a taken id is ignored (false).
    virtual bool add(DomainEntity* entity);
    // Deactivates a registered entity, which stays registered.
    virtual void deactivate(DomainEntity* entity);
    // The lowest id from 1 to maxEntities not in the table.
    virtual uint32_t getFreeEntityId() const;
    virtual std::vector<uint32_t> getEntityIds() const;

    // Like find, but null for an absent id.
    DomainEntity* lookup(uint32_t entityId) const;
    uint32_t getMaxEntities() const { return maxEntities; }

    // Walks the entities in ascending id order: for (DomainEntity* entity : factory) ...
    // Creating or destroying entities during the walk invalidates it.
    class const_iterator {
      public:
        DomainEntity* operator*() const { return position->entity; }
        const_iterator& operator++() {
            ++position;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return position == other.position; }
        bool operator!=(const const_iterator& other) const { return position != other.position; }

      private:
        friend class DomainEntityFactory;
        explicit const_iterator(std::vector<Slot>::const_iterator position) : position(position) {}
        std::vector<Slot>::const_iterator position;
    };
    const_iterator begin() const { return const_iterator(entities.begin()); }
    const_iterator end() const { return const_iterator(entities.end()); }

  protected:
    // Builds the concrete entity; param is the creator's, or kAnyEntityId when the id was chosen here.
    virtual DomainEntity* createEntity(uint32_t entityId, uint32_t param) = 0;

  private:
    size_t positionOf(uint32_t entityId) const;

    uint32_t factoryType;
    uint32_t maxEntities;
    std::vector<Slot> entities;
};

}  // namespace Sync

#endif
