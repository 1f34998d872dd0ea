#ifndef SYNC_SCI_LOOSETIMEDIFFIND_H
#define SYNC_SCI_LOOSETIMEDIFFIND_H

#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// The loose-time difference in seconds (16) and microseconds (20), both in the sender's host byte
// order: the server has always sent them unconverted (24 bytes).
class LooseTimeDiffInd : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::LooseTimeDiff::IND.primitiveId;
    static constexpr size_t MICRO_SEC_OFFSET = 20;
    static constexpr uint32_t SIZE = 24;

    LooseTimeDiffInd();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint32_t getSpLooseTimeDiffSec() const { return spLooseTimeDiffSec_; }
    void setSpLooseTimeDiffSec(uint32_t value) { spLooseTimeDiffSec_ = value; }
    uint32_t getSpLooseTimeDiffMicroSec() const { return spLooseTimeDiffMicroSec_; }
    void setSpLooseTimeDiffMicroSec(uint32_t value) { spLooseTimeDiffMicroSec_ = value; }

  private:
    uint32_t spLooseTimeDiffSec_ = 0;
    uint32_t spLooseTimeDiffMicroSec_ = 0;
};

}  // namespace Sci
}  // namespace Sync

#endif
