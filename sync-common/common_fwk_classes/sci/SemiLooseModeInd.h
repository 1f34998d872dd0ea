#ifndef SYNC_SCI_SEMILOOSEMODEIND_H
#define SYNC_SCI_SEMILOOSEMODEIND_H

#include <string>

#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// The semi-loose mode: its state (one byte at 16) and the clock's LDN right after it at 17 (276 bytes).
class SemiLooseModeInd : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::SemiLooseMode::IND.primitiveId;
    static constexpr size_t CLOCK_LDN_OFFSET = 17;
    static constexpr uint32_t SIZE = 276;

    SemiLooseModeInd();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint8_t getState() const { return state_; }
    void setState(uint8_t value) { state_ = value; }
    const std::string& getClockLdn() const { return clockLdn_; }
    void setClockLdn(const std::string& value) { clockLdn_ = value; }

  private:
    uint8_t state_ = 0;
    std::string clockLdn_;
};

}  // namespace Sci
}  // namespace Sync

#endif
