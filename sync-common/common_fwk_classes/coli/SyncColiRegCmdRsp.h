#ifndef SYNC_COLI_SYNCCOLIREGCMDRSP_H
#define SYNC_COLI_SYNCCOLIREGCMDRSP_H

#include <cstdint>

#include "control/BasePrimitive.h"

namespace Sync {
namespace Coli {

// The command server's answer to a registration: result (host order) at 4, 0 = registered.
class SyncColiRegCmdRsp final : public BasePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 12;

    SyncColiRegCmdRsp();

    void fetchPrimitive(void* msg) override;

    uint32_t getResult() const { return result_; }

  private:
    uint32_t result_ = 0;
};

}  // namespace Coli
}  // namespace Sync

#endif
