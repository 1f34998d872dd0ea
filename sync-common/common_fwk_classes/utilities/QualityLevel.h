// Clock quality levels as the sync-control service numbers them, their SSM codes (four-bit codes
// and the enhanced codes of the extended QL TLV), and the telecom-standard options that decide
// which four-bit code an enhanced code is sent as.
#ifndef SYNC_QUALITY_LEVEL_H
#define SYNC_QUALITY_LEVEL_H

#include <cstdint>

#include "common_fwk_classes/utilities/TextConversions.h"

namespace Sync {

enum class ClockQuality : uint32_t {
    PRC = 1,
    PRS = 2,
    STU_OR_UNK = 3,
    SSU_A_OR_TNC = 4,
    SSU_B = 5,
    ST2 = 6,
    ST3E = 7,
    ST3_OR_EEC2 = 8,
    SEC_OR_EEC = 9,
    DEPRECATED = 10,
    PROV = 11,
    DNU_OR_DUS = 12,
    INV = 13,
    TCU_02 = 14,
    QL_UNKNOWN = 15,  // what the output feature holds while no quality is known
    UNKNOWN = 16,
    SMC = 17,
    PRTC = 18,
    GNSS = 19,
    EPRTC = 20,
    EEEC = 21,
    EPRC = 22,
};

enum class TelecomStandard : uint32_t {
    OPTION_I = 1,
    OPTION_II = 2,
    OPTION_III = 3,
};

// Four-bit SSM code meaning do-not-use: sent whenever an output must not serve as a reference.
constexpr uint32_t SSM_CODE_DNU = 0xF;

// Enhanced SSM codes of the extended QL TLV, and the marker for "no enhanced code applies".
constexpr uint32_t ENHANCED_SSM_CODE_PRTC = 0x20;
constexpr uint32_t ENHANCED_SSM_CODE_EPRTC = 0x21;
constexpr uint32_t ENHANCED_SSM_CODE_EEEC = 0x22;
constexpr uint32_t ENHANCED_SSM_CODE_EPRC = 0x23;
constexpr uint32_t ENHANCED_SSM_CODE_NONE = 0xFF;

// True for the four enhanced codes 0x20..0x23.
bool isEnhancedSsmCode(uint32_t code);

// The SSM code of a quality level: a four-bit code, or an enhanced code for PRTC..EPRC.
// Values outside 1..22 give SSM_CODE_DNU.
uint32_t ssmCodeOf(uint32_t quality);

// The four-bit code transmitted for code under a telecom-standard option. Enhanced codes map per
// option; four-bit codes, and any code under an unknown option, come back unchanged.
uint32_t ssmCodeForOption(uint32_t code, uint32_t telecomStandard);

// Printed names; "UNKNOWN" outside the sets.
const char* toChar(ClockQuality quality);
const char* toChar(TelecomStandard standard);

}  // namespace Sync

#endif
