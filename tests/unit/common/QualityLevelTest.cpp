#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

#include "common_fwk_classes/utilities/FeatureValues.h"
#include "common_fwk_classes/utilities/QualityLevel.h"

namespace Sync {
namespace {

struct QualityCase {
    uint32_t quality;
    const char* name;
    uint32_t ssmCode;
};

const QualityCase qualityCases[] = {
    {0, "UNKNOWN", 0xF},          {1, "PRC", 0x2},        {2, "PRS", 0x1},         {3, "STU_OR_UNK", 0x0},
    {4, "SSU_A_OR_TNC", 0x4},     {5, "SSU_B", 0x8},      {6, "ST2", 0x7},         {7, "ST3E", 0xD},
    {8, "ST3_OR_EEC2", 0xA},      {9, "SEC_OR_EEC", 0xB}, {10, "DEPRECATED", 0xF}, {11, "PROV", 0xE},
    {12, "DNU_OR_DUS", 0xF},      {13, "INV", 0xF},       {14, "TCU_02", 0xF},     {15, "QL_UNKNOWN", 0xF},
    {16, "UNKNOWN", 0xF},         {17, "SMC", 0xC},       {18, "PRTC", 0x20},      {19, "GNSS", 0x20},
    {20, "EPRTC", 0x21},          {21, "EEEC", 0x22},     {22, "EPRC", 0x23},      {23, "UNKNOWN", 0xF},
    {0xFFFFFFFF, "UNKNOWN", 0xF},
};

TEST(QualityLevelTest, NameAndSsmCodeOfEveryQuality) {
    for (const QualityCase& c : qualityCases) {
        SCOPED_TRACE(c.quality);
        EXPECT_STREQ(c.name, toChar(ClockQuality(c.quality)));
        EXPECT_EQ(c.ssmCode, ssmCodeOf(c.quality));
    }
}

TEST(QualityLevelTest, OnlyPrtcToEprcYieldEnhancedCodes) {
    for (const QualityCase& c : qualityCases) {
        SCOPED_TRACE(c.quality);
        bool enhanced = c.quality >= 18 && c.quality <= 22;
        EXPECT_EQ(enhanced, isEnhancedSsmCode(ssmCodeOf(c.quality)));
    }
    EXPECT_FALSE(isEnhancedSsmCode(0x1F));
    EXPECT_FALSE(isEnhancedSsmCode(0x24));
    EXPECT_FALSE(isEnhancedSsmCode(ENHANCED_SSM_CODE_NONE));
}

struct OptionCase {
    uint32_t code;
    uint32_t option;
    uint32_t expected;
};

const OptionCase optionCases[] = {
    // Enhanced codes under the three options.
    {0x20, 1, 0x2},
    {0x20, 2, 0x1},
    {0x20, 3, 0x0},
    {0x21, 1, 0x2},
    {0x21, 2, 0x1},
    {0x21, 3, 0x0},
    {0x22, 1, 0xB},
    {0x22, 2, 0xA},
    {0x22, 3, 0xB},
    {0x23, 1, 0x2},
    {0x23, 2, 0x1},
    {0x23, 3, 0x3},
    // Enhanced codes under an unknown option stay as they are.
    {0x20, 0, 0x20},
    {0x21, 4, 0x21},
    {0x22, 0xFFFFFFFF, 0x22},
    {0x23, 0, 0x23},
    // Four-bit codes are never changed.
    {0x2, 1, 0x2},
    {0xB, 2, 0xB},
    {0xF, 3, 0xF},
    {0x0, 3, 0x0},
    {0xE, 0, 0xE},
    // Neighbours of the enhanced range and the "none" marker are not enhanced codes.
    {0x1F, 1, 0x1F},
    {0x24, 2, 0x24},
    {0xFF, 3, 0xFF},
};

TEST(QualityLevelTest, SsmCodeForEveryOption) {
    for (const OptionCase& c : optionCases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " option " + std::to_string(c.option));
        EXPECT_EQ(c.expected, ssmCodeForOption(c.code, c.option));
    }
}

// A raw integer must not reach toChar, where it would silently become the boolean overload.
template <typename T, typename = void>
struct HasToChar : std::false_type {};
template <typename T>
struct HasToChar<T, std::void_t<decltype(toChar(std::declval<T>()))>> : std::true_type {};

static_assert(HasToChar<ClockQuality>::value, "quality levels print");
static_assert(HasToChar<bool>::value, "booleans print");
static_assert(!HasToChar<uint32_t>::value, "raw u32 must be wrapped in its enumeration");
static_assert(!HasToChar<int>::value, "raw int must be wrapped in its enumeration");

}  // namespace
}  // namespace Sync
