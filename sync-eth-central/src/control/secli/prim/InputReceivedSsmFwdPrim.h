#ifndef SYNC_ETHCENTRAL_SECLI_INPUTRECEIVEDSSMFWDPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTRECEIVEDSSMFWDPRIM_H

#include "control/BasePrimitive.h"
#include "control/secli/prim/ReceivedQl.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// SECLI_INPUT_RECEIVED_SSM_FWD (56 bytes, received): what one input receives. 12 ssmCode,
// 16 tcuDetected, 20 extendedQlDetected, 24 enhancedSsmCode, 32 syncEMasterId (64-bit, naturally
// aligned), 40 flag, 44 numberCascadedEnhancedEec, 48 numberCascadedEec.
class InputReceivedSsmFwdPrim : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = 56;
    static constexpr size_t SSM_CODE_OFFSET = 12;
    static constexpr size_t TCU_DETECTED_OFFSET = 16;
    static constexpr size_t EXTENDED_QL_DETECTED_OFFSET = 20;
    static constexpr size_t ENHANCED_SSM_CODE_OFFSET = 24;
    static constexpr size_t SYNCE_MASTER_ID_OFFSET = 32;
    static constexpr size_t FLAG_OFFSET = 40;
    static constexpr size_t NUMBER_CASCADED_ENHANCED_EEC_OFFSET = 44;
    static constexpr size_t NUMBER_CASCADED_EEC_OFFSET = 48;

    InputReceivedSsmFwdPrim();

    void fetchPrimitive(void* msg) override;

    uint32_t getSsmCode() const { return ssmCode_; }
    void setSsmCode(uint32_t value) { ssmCode_ = value; }
    uint32_t getTcuDetected() const { return tcuDetected_; }
    void setTcuDetected(uint32_t value) { tcuDetected_ = value; }
    const ReceivedQl& getReceivedQl() const { return receivedQl_; }
    void setReceivedQl(const ReceivedQl& value) { receivedQl_ = value; }
    uint64_t getSyncEMasterId() const { return syncEMasterId_; }
    void setSyncEMasterId(uint64_t value) { syncEMasterId_ = value; }
    uint8_t getFlag() const { return flag_; }
    void setFlag(uint8_t value) { flag_ = value; }
    uint8_t getNumberCascadedEnhancedEec() const { return numberCascadedEnhancedEec_; }
    void setNumberCascadedEnhancedEec(uint8_t value) { numberCascadedEnhancedEec_ = value; }
    uint8_t getNumberCascadedEec() const { return numberCascadedEec_; }
    void setNumberCascadedEec(uint8_t value) { numberCascadedEec_ = value; }

  private:
    uint32_t ssmCode_ = UNSET;
    uint32_t tcuDetected_ = UNSET;
    ReceivedQl receivedQl_;
    uint64_t syncEMasterId_ = 0;
    uint8_t flag_ = 0;
    uint8_t numberCascadedEnhancedEec_ = 0;
    uint8_t numberCascadedEec_ = 0;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
