#ifndef SYNC_SCI_SELECTEDREFERENCEIND_H
#define SYNC_SCI_SELECTEDREFERENCEIND_H

#include <string>

#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// The reference the node's clock selected: its number at 16 and its LDN at 20 (276 bytes).
class SelectedReferenceInd : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::SelectedReference::IND.primitiveId;
    static constexpr size_t SELECTED_REFERENCE_LDN_OFFSET = 20;
    static constexpr uint32_t SIZE = 276;

    SelectedReferenceInd();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint32_t getSelectedReference() const { return selectedReference_; }
    void setSelectedReference(uint32_t value) { selectedReference_ = value; }
    const std::string& getSelectedReferenceLdn() const { return selectedReferenceLdn_; }
    void setSelectedReferenceLdn(const std::string& value) { selectedReferenceLdn_ = value; }

  private:
    uint32_t selectedReference_ = 0;
    std::string selectedReferenceLdn_;
};

}  // namespace Sci
}  // namespace Sync

#endif
