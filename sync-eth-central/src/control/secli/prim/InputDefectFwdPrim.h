#ifndef SYNC_ETHCENTRAL_SECLI_INPUTDEFECTFWDPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTDEFECTFWDPRIM_H

#include "control/BasePrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// SECLI_INPUT_DEFECT_FWD (16 bytes, received, frequent): the client's defect bit set of one input at 12.
class InputDefectFwdPrim : public BasePrimitive {
  public:
    InputDefectFwdPrim();

    void fetchPrimitive(void* msg) override;

    uint32_t getDefectStatus() const { return defectStatus_; }
    void setDefectStatus(uint32_t value) { defectStatus_ = value; }

  private:
    uint32_t defectStatus_ = UNSET;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
