#ifndef SYNC_SCI_FRUDATAIND_H
#define SYNC_SCI_FRUDATAIND_H

#include <string>

#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// A field-replaceable unit: vendorId at 16, huntPath at 20, ldn at 276 (256 bytes each) and whether it
// is activated (one byte at 532); 536 bytes.
class FruDataInd : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::FruData::IND.primitiveId;
    static constexpr size_t HUNT_PATH_OFFSET = 20;
    static constexpr size_t LDN_OFFSET = 276;
    static constexpr size_t ACTIVATED_OFFSET = 532;
    static constexpr uint32_t SIZE = 536;

    FruDataInd();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint32_t getVendorId() const { return vendorId_; }
    void setVendorId(uint32_t value) { vendorId_ = value; }
    const std::string& getHuntPath() const { return huntPath_; }
    void setHuntPath(const std::string& value) { huntPath_ = value; }
    const std::string& getLdn() const { return ldn_; }
    void setLdn(const std::string& value) { ldn_ = value; }
    uint8_t getActivated() const { return activated_; }
    void setActivated(uint8_t value) { activated_ = value; }

  private:
    uint32_t vendorId_ = 0;
    std::string huntPath_;
    std::string ldn_;
    uint8_t activated_ = 0;
};

}  // namespace Sci
}  // namespace Sync

#endif
