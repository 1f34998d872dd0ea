// Makes and holds the SyncE outputs of the output feature (factory kind 4).
#ifndef SYNC_ETHCENTRAL_SYNCETHOUTPUTFACTORY_H
#define SYNC_ETHCENTRAL_SYNCETHOUTPUTFACTORY_H

#include <cstdint>

#include "eventHandling/DomainEntityFactory.h"
#include "model/output/SyncEthOutputFeature.h"

namespace Sync {
namespace EthCentral {

class SyncEthOutputFeature::SyncEthOutputFactory : public DomainEntityFactory {
  public:
    static constexpr uint32_t FACTORY_TYPE = 4;
    // The parent type under which outputs are made: the output feature's type.
    static constexpr uint32_t OUTPUT_PARENT_TYPE = 1;

    explicit SyncEthOutputFactory(uint32_t maxEntities);
    ~SyncEthOutputFactory() override;

    // A new output with entity id id when parentType is the output feature's type; null otherwise.
    virtual DomainEntity* createObject(uint32_t id, uint32_t parentType);

  protected:
    DomainEntity* createEntity(uint32_t entityId, uint32_t param) override;
};

}  // namespace EthCentral
}  // namespace Sync

#endif
