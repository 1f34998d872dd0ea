#include "common_fwk_classes/utilities/QualityLevel.h"

#include <cstddef>

#include "common_fwk_classes/utilities/TextTable.h"

namespace Sync {

namespace {

struct QualityRow {
    const char* name;
    uint32_t ssmCode;
};

// Indexed by quality level - 1.
const QualityRow qualityRows[] = {
    {"PRC", 0x2},
    {"PRS", 0x1},
    {"STU_OR_UNK", 0x0},
    {"SSU_A_OR_TNC", 0x4},
    {"SSU_B", 0x8},
    {"ST2", 0x7},
    {"ST3E", 0xD},
    {"ST3_OR_EEC2", 0xA},
    {"SEC_OR_EEC", 0xB},
    {"DEPRECATED", 0xF},
    {"PROV", 0xE},
    {"DNU_OR_DUS", 0xF},
    {"INV", 0xF},
    {"TCU_02", 0xF},
    {"QL_UNKNOWN", 0xF},
    {"UNKNOWN", 0xF},
    {"SMC", 0xC},
    {"PRTC", ENHANCED_SSM_CODE_PRTC},
    {"GNSS", ENHANCED_SSM_CODE_PRTC},
    {"EPRTC", ENHANCED_SSM_CODE_EPRTC},
    {"EEEC", ENHANCED_SSM_CODE_EEEC},
    {"EPRC", ENHANCED_SSM_CODE_EPRC},
};
constexpr std::size_t qualityCount = sizeof(qualityRows) / sizeof(qualityRows[0]);

const QualityRow* qualityRowOf(uint32_t quality) {
    if (quality < 1 || quality > qualityCount) {
        return nullptr;
    }
    return &qualityRows[quality - 1];
}

// Four-bit code per enhanced code (rows 0x20..0x23) and option (columns OPTION_I..OPTION_III).
const uint32_t optionCodes[][3] = {
    {0x2, 0x1, 0x0},  // PRTC
    {0x2, 0x1, 0x0},  // ePRTC
    {0xB, 0xA, 0xB},  // eEEC
    {0x2, 0x1, 0x3},  // ePRC
};

const char* const telecomStandardTexts[] = {"OPTION_I", "OPTION_II", "OPTION_III"};

}  // namespace

bool isEnhancedSsmCode(uint32_t code) {
    return code >= ENHANCED_SSM_CODE_PRTC && code <= ENHANCED_SSM_CODE_EPRC;
}

uint32_t ssmCodeOf(uint32_t quality) {
    const QualityRow* row = qualityRowOf(quality);
    return row != nullptr ? row->ssmCode : SSM_CODE_DNU;
}

uint32_t ssmCodeForOption(uint32_t code, uint32_t telecomStandard) {
    uint32_t first = static_cast<uint32_t>(TelecomStandard::OPTION_I);
    uint32_t last = static_cast<uint32_t>(TelecomStandard::OPTION_III);
    if (!isEnhancedSsmCode(code) || telecomStandard < first || telecomStandard > last) {
        return code;
    }
    return optionCodes[code - ENHANCED_SSM_CODE_PRTC][telecomStandard - first];
}

const char* toChar(ClockQuality quality) {
    const QualityRow* row = qualityRowOf(static_cast<uint32_t>(quality));
    return row != nullptr ? row->name : "UNKNOWN";
}

const char* toChar(TelecomStandard standard) {
    return textOf(telecomStandardTexts, 1, static_cast<uint32_t>(standard), "UNKNOWN");
}

}  // namespace Sync
