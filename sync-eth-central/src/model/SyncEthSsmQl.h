// The quality level received on a SyncE input, as handed to the sync reference service.
#ifndef SYNC_ETH_CENTRAL_SYNC_ETH_SSM_QL_H
#define SYNC_ETH_CENTRAL_SYNC_ETH_SSM_QL_H

#include <cstdint>

#include "common_fwk_classes/utilities/SsmQl.h"

namespace Sync {
namespace EthCentral {

class SyncEthSsmQl : public Srs::SsmQl {
  public:
    explicit SyncEthSsmQl(uint32_t qualityLevel);

    uint32_t getQualityLevel() const override;

  private:
    uint32_t qualityLevel_;
};

}  // namespace EthCentral
}  // namespace Sync

#endif
