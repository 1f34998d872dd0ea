#ifndef SYNC_SCI_DEGRADEDSTATUSIND_H
#define SYNC_SCI_DEGRADEDSTATUSIND_H

#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// Whether the clock is degraded (one byte at 16) and the type of reference concerned (20); 24 bytes.
class DegradedStatusInd : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::DegradedStatus::IND.primitiveId;
    static constexpr size_t REF_TYPE_OFFSET = 20;
    static constexpr uint32_t SIZE = 24;

    DegradedStatusInd();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint8_t getIsDegraded() const { return isDegraded_; }
    void setIsDegraded(uint8_t value) { isDegraded_ = value; }
    uint32_t getRefType() const { return refType_; }
    void setRefType(uint32_t value) { refType_ = value; }

  private:
    uint8_t isDegraded_ = 0;
    uint32_t refType_ = 0;
};

}  // namespace Sci
}  // namespace Sync

#endif
