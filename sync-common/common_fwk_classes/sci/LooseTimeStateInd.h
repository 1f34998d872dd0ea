#ifndef SYNC_SCI_LOOSETIMESTATEIND_H
#define SYNC_SCI_LOOSETIMESTATEIND_H

#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// The loose-time state as a 16-bit big-endian field at 16 (20 bytes).
class LooseTimeStateInd : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::LooseTimeState::IND.primitiveId;
    static constexpr uint32_t SIZE = 20;

    LooseTimeStateInd();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint16_t getSpLooseTimeState() const { return spLooseTimeState_; }
    void setSpLooseTimeState(uint16_t value) { spLooseTimeState_ = value; }

  private:
    uint16_t spLooseTimeState_ = 0;
};

}  // namespace Sci
}  // namespace Sync

#endif
