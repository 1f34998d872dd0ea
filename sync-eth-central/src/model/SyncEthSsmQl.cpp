#include "model/SyncEthSsmQl.h"

namespace Sync {
namespace EthCentral {

SyncEthSsmQl::SyncEthSsmQl(uint32_t qualityLevel) : qualityLevel_(qualityLevel) {}

uint32_t SyncEthSsmQl::getQualityLevel() const {
    return qualityLevel_;
}

}  // namespace EthCentral
}  // namespace Sync
