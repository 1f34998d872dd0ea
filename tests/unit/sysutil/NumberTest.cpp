// Numbers as operators write them: decimal or 0x-hex, never octal, within the range the caller gives.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "Number.h"

namespace {

using SyncSys::Number;

TEST(NumberTest, ReadsDecimalAndHexWithinTheRangeAndNothingElse) {
    constexpr uint64_t MAX = UINT64_MAX;
    const struct {
        const char* text;
        uint64_t low, high;
        std::optional<uint64_t> value;
    } cases[] = {
        {"0", 0, MAX, 0},
        {"010", 0, MAX, 10},  // no octal
        {"08", 0, MAX, 8},
        {"0x1F", 0, MAX, 31},
        {"0X1f", 0, MAX, 31},
        {"0x0010", 0, MAX, 16},
        {"18446744073709551615", 0, MAX, MAX},
        {"0xffffffffffffffff", 0, MAX, MAX},
        {"18446744073709551616", 0, MAX, std::nullopt},  // one past what 64 bits hold
        {"0x10000000000000000", 0, MAX, std::nullopt},
        {"255", 0, 255, 255},
        {"256", 0, 255, std::nullopt},
        {"0x100", 0, 255, std::nullopt},
        {"1", 1, 22, 1},
        {"0", 1, 22, std::nullopt},
        {"", 0, MAX, std::nullopt},
        {"0x", 0, MAX, std::nullopt},
        {"-1", 0, MAX, std::nullopt},
        {"+1", 0, MAX, std::nullopt},
        {" 1", 0, MAX, std::nullopt},
        {"1 ", 0, MAX, std::nullopt},
        {"1x", 0, MAX, std::nullopt},
        {"0x1g", 0, MAX, std::nullopt},
        {"0b1", 0, MAX, std::nullopt},
        {"1e3", 0, MAX, std::nullopt},
        {"12a", 0, MAX, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Number::read(c.text, c.low, c.high), c.value)
            << '"' << c.text << "\" in " << c.low << ".." << c.high;
}

TEST(NumberTest, TheTypesRangeBoundsTheValueAndTheErrorNamesFieldAndRange) {
    uint8_t clockClass = 7;
    std::string error;
    EXPECT_FALSE(Number::read("256", clockClass, "clockClass", error));
    EXPECT_EQ(clockClass, 7u) << "left alone when refused";
    EXPECT_EQ(error, "clockClass must be a number from 0 to 255 (decimal or 0x-hex), not \"256\"");
    EXPECT_TRUE(Number::read("0xff", clockClass, "clockClass", error));
    EXPECT_EQ(clockClass, 255u);
    uint32_t count = 0;
    EXPECT_FALSE(Number::read("0", count, "count", error, 1, 10));
    EXPECT_EQ(error, "count must be a number from 1 to 10 (decimal or 0x-hex), not \"0\"");
}

}  // namespace
