#include "model/output/SyncEthOutputFactory.h"

#include "Macros.h"
#include "model/output/SyncEthOutput.h"

namespace Sync {
namespace EthCentral {

SyncEthOutputFeature::SyncEthOutputFactory::SyncEthOutputFactory(uint32_t maxEntities)
    : DomainEntityFactory(FACTORY_TYPE, maxEntities) {}

SyncEthOutputFeature::SyncEthOutputFactory::~SyncEthOutputFactory() = default;

DomainEntity* SyncEthOutputFeature::SyncEthOutputFactory::createObject(uint32_t id, uint32_t parentType) {
    TRACE_ENTER("id: %u, parentType: %u", id, parentType);
    if (parentType != OUTPUT_PARENT_TYPE) {
        TRACE_RETURN("%s", "no object");
        return nullptr;
    }
    DomainEntity* output = new SyncEthOutput(this, id);
    TRACE_RETURN("output: %p", static_cast<void*>(output));
    return output;
}

DomainEntity* SyncEthOutputFeature::SyncEthOutputFactory::createEntity(uint32_t entityId, uint32_t param) {
    return createObject(entityId, param);
}

}  // namespace EthCentral
}  // namespace Sync
