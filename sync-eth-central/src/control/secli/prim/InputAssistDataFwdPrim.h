#ifndef SYNC_ETHCENTRAL_SECLI_INPUTASSISTDATAFWDPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTASSISTDATAFWDPRIM_H

#include "control/BasePrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// SECLI_INPUT_ASSIST_DATA_FWD (24 bytes, received): 12 timeOffset_c and 16 timeOffset_f (signed), 20
// isValidTimer as one byte (any non-zero value is true).
class InputAssistDataFwdPrim : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = 24;
    static constexpr size_t TIME_OFFSET_C_OFFSET = 12;
    static constexpr size_t TIME_OFFSET_F_OFFSET = 16;
    static constexpr size_t IS_VALID_TIMER_OFFSET = 20;

    InputAssistDataFwdPrim();

    void fetchPrimitive(void* msg) override;

    int32_t getTimeOffset_c() const { return timeOffset_c_; }
    void setTimeOffset_c(int32_t value) { timeOffset_c_ = value; }
    int32_t getTimeOffset_f() const { return timeOffset_f_; }
    void setTimeOffset_f(int32_t value) { timeOffset_f_ = value; }
    bool getIsValidTimer() const { return isValidTimer_; }
    void setIsValidTimer(bool value) { isValidTimer_ = value; }

  private:
    int32_t timeOffset_c_ = 0;
    int32_t timeOffset_f_ = 0;
    bool isValidTimer_ = false;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
