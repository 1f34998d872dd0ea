#ifndef SYNC_SCI_RECRUSEQLFROMIND_H
#define SYNC_SCI_RECRUSEQLFROMIND_H

#include <string>

#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// Which quality level the REC takes from a reference: the reference's LDN at 16 and useQLFrom at 272
// (276 bytes).
class RecrUseQLFromInd : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::RecData::RECR_USE_QL_FROM_IND.primitiveId;
    static constexpr size_t USE_QL_FROM_OFFSET = 272;
    static constexpr uint32_t SIZE = 276;

    RecrUseQLFromInd();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    const std::string& getReferenceLdn() const { return referenceLdn_; }
    void setReferenceLdn(const std::string& value) { referenceLdn_ = value; }
    uint32_t getUseQLFrom() const { return useQLFrom_; }
    void setUseQLFrom(uint32_t value) { useQLFrom_ = value; }

  private:
    std::string referenceLdn_;
    uint32_t useQLFrom_ = 0;
};

}  // namespace Sci
}  // namespace Sync

#endif
