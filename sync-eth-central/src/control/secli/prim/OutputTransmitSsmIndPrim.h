#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTTRANSMITSSMINDPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTTRANSMITSSMINDPRIM_H

#include "control/BasePrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// SECLI_OUTPUT_TRANSMIT_SSM_IND (48 bytes, sent): what one output is to announce. 12 ssmCode,
// 16 enhancedSsmCode, 24 syncEMasterId (64-bit, naturally aligned), 32 flag,
// 36 numberCascadedEnhancedEec, 40 numberCascadedEec; the 8-bit values travel widened to 32 bits.
class OutputTransmitSsmIndPrim : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = 48;
    static constexpr size_t SSM_CODE_OFFSET = 12;
    static constexpr size_t ENHANCED_SSM_CODE_OFFSET = 16;
    static constexpr size_t SYNCE_MASTER_ID_OFFSET = 24;
    static constexpr size_t FLAG_OFFSET = 32;
    static constexpr size_t NUMBER_CASCADED_ENHANCED_EEC_OFFSET = 36;
    static constexpr size_t NUMBER_CASCADED_EEC_OFFSET = 40;

    OutputTransmitSsmIndPrim();

    void* constructMessage() override;

    uint32_t getSsmCode() const { return ssmCode_; }
    void setSsmCode(uint32_t value) { ssmCode_ = value; }
    uint8_t getEnhancedSsmCode() const { return enhancedSsmCode_; }
    void setEnhancedSsmCode(uint8_t value) { enhancedSsmCode_ = value; }
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
    uint8_t enhancedSsmCode_ = 0xFF;
    uint64_t syncEMasterId_ = 0;
    uint8_t flag_ = 0;
    uint8_t numberCascadedEnhancedEec_ = 0;
    uint8_t numberCascadedEec_ = 0;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
