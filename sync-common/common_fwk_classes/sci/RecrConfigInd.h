#ifndef SYNC_SCI_RECRCONFIGIND_H
#define SYNC_SCI_RECRCONFIGIND_H

#include <string>

#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// The REC's quality-level configuration for a reference: assistQLFrom (16) and remappedQL (20), both
// in the sender's host byte order, and the reference's LDN at 24 (280 bytes).
class RecrConfigInd : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::RecrConfig::IND.primitiveId;
    static constexpr size_t REMAPPED_QL_OFFSET = 20;
    static constexpr size_t LDN_OFFSET = 24;
    static constexpr uint32_t SIZE = 280;

    RecrConfigInd();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint32_t getAssistQLFrom() const { return assistQLFrom_; }
    void setAssistQLFrom(uint32_t value) { assistQLFrom_ = value; }
    uint32_t getRemappedQL() const { return remappedQL_; }
    void setRemappedQL(uint32_t value) { remappedQL_ = value; }
    const std::string& getLdn() const { return ldn_; }
    void setLdn(const std::string& value) { ldn_ = value; }

  private:
    uint32_t assistQLFrom_ = 0;
    uint32_t remappedQL_ = 0;
    std::string ldn_;
};

}  // namespace Sci
}  // namespace Sync

#endif
