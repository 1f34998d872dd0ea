#include "model/input/SyncEthInput.h"

namespace Sync {
namespace EthCentral {

SyncEthInput::SyncEthInput(IDomainEntityFactory* factory, uint32_t id) : DomainEntity(id, factory) {}

SyncEthInput::~SyncEthInput() = default;

}  // namespace EthCentral
}  // namespace Sync
