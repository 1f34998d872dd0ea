#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTESMCCONTROLINDPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTESMCCONTROLINDPRIM_H

#include "control/BasePrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// SECLI_OUTPUT_ESMC_CONTROL_IND (16 bytes, sent): output at 12 is 1 while ESMC is to be transmitted on
// the output, 0 when not.
class OutputEsmcControlIndPrim : public BasePrimitive {
  public:
    OutputEsmcControlIndPrim();

    void* constructMessage() override;

    uint32_t getOutput() const { return output_; }
    void setOutput(uint32_t value) { output_ = value; }

  private:
    uint32_t output_ = UNSET;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
