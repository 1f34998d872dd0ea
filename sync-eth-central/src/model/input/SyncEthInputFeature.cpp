#include "model/input/SyncEthInputFeature.h"

namespace Sync {
namespace EthCentral {

SyncEthInputFeature::SyncEthInputFeature(IDomainEntityFactory* factory, uint32_t id)
    : DomainEntity(id, factory) {}

SyncEthInputFeature::~SyncEthInputFeature() = default;

}  // namespace EthCentral
}  // namespace Sync
