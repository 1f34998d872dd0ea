// MAC addresses as text: exactly six pairs of hexadecimal digits joined by colons, written back in
// the kernel's lower case.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "MacAddress.h"

namespace {

using SyncSys::MacAddress;

TEST(MacAddressTest, ParsesOnlySixColonSeparatedPairsAndFormatsInLowerCase) {
    const MacAddress::Bytes mac = {0x02, 0x1A, 0xFF, 0x00, 0x0B, 0x7C};
    const struct {
        const char* text;
        std::optional<MacAddress::Bytes> bytes;
    } cases[] = {
        {"02:1a:ff:00:0b:7c", mac},
        {"02:1A:FF:00:0B:7C", mac},
        {"00:00:00:00:00:00", MacAddress::Bytes{}},
        {"02:1a:ff:00:0b", std::nullopt},
        {"02:1a:ff:00:0b:7c:", std::nullopt},
        {"02:1a:ff:00:0b:7c:01", std::nullopt},
        {"2:1a:ff:00:0b:7c", std::nullopt},
        {"02:1a:ff:00:0b:7", std::nullopt},
        {"021a:ff:00:0b:7c:", std::nullopt},
        {"02-1a-ff-00-0b-7c", std::nullopt},
        {"02:1a:ff.00:0b:7c", std::nullopt},
        {"02:1a:ff:00:0b:7g", std::nullopt},
        {" 02:1a:ff:00:0b:7c", std::nullopt},
        {"02:1a:ff:00:0b:7c\n", std::nullopt},
        {"+2:1a:ff:00:0b:7c", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MacAddress::parse(c.text), c.bytes) << '"' << c.text << '"';
    EXPECT_EQ(MacAddress::format(mac), "02:1a:ff:00:0b:7c");
    EXPECT_EQ(MacAddress::format(*MacAddress::parse("A0:B1:C2:D3:E4:F5")), "a0:b1:c2:d3:e4:f5");
}

}  // namespace
