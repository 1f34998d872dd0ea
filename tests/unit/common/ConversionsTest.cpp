#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "common_fwk_classes/utilities/AddressFormat.h"
#include "common_fwk_classes/utilities/FeatureValues.h"
#include "common_fwk_classes/utilities/PortProperties.h"
#include "common_fwk_classes/utilities/QualityLevel.h"
#include "common_fwk_classes/utilities/TextConversions.h"

namespace Sync {
namespace {

struct SfpCase {
    uint32_t portType;
    uint32_t sfpType;
    SfpKind expected;
};

TEST(ConversionsTest, ClassifySfp) {
    const SfpCase cases[] = {
        // A port that is not an SFP is a plain RJ45 port whatever its SFP type says.
        {0, 0, SfpKind::CAT_X_CABLE},
        {0, 2, SfpKind::CAT_X_CABLE},
        {0, 3, SfpKind::CAT_X_CABLE},
        {0, 0xFFFFFFFF, SfpKind::CAT_X_CABLE},
        {1, 0, SfpKind::SFP_UNKNOWN},
        {1, 1, SfpKind::SFP_UNKNOWN},
        {1, 2, SfpKind::SFP_CAT_X_CABLE},
        {1, 3, SfpKind::SFP_OPTICAL},
        {1, 4, SfpKind::SFP_DAC},
        {1, 5, SfpKind::SFP_UNKNOWN},
        {1, 0xFFFFFFFF, SfpKind::SFP_UNKNOWN},
        // Any other port type, including the unreported 0xFFFFFFFF, counts as SFP.
        {0xFFFFFFFF, 0xFFFFFFFF, SfpKind::SFP_UNKNOWN},
        {0xFFFFFFFF, 2, SfpKind::SFP_CAT_X_CABLE},
        {7, 4, SfpKind::SFP_DAC},
    };
    for (const SfpCase& c : cases) {
        SCOPED_TRACE("portType " + std::to_string(c.portType) + " sfpType " + std::to_string(c.sfpType));
        EXPECT_EQ(c.expected, classifySfp(c.portType, c.sfpType));
    }
}

struct EnumTextCase {
    const char* what;
    const char* (*text)(uint32_t);
    uint32_t value;
    const char* expected;
};

template <typename E>
const char* textOfRaw(uint32_t value) {
    return toChar(E(value));
}

// The last text of each table and the value past it, which must not read beyond the table.
TEST(ConversionsTest, EnumerationTextsAtTheEndOfEachTable) {
    const EnumTextCase cases[] = {
        {"port type", textOfRaw<PortType>, 1, "ETHSCI_SFP"},
        {"port type", textOfRaw<PortType>, 2, ""},
        {"sfp type", textOfRaw<SfpType>, 4, "ETHSCI_SFP_TYPE_DAC"},
        {"sfp type", textOfRaw<SfpType>, 0xFFFFFFFF, ""},
        {"link speed", textOfRaw<LinkSpeed>, 7, "ETHSCI_LINK_SPEED_25G"},
        {"link speed", textOfRaw<LinkSpeed>, 8, ""},
        {"master/slave", textOfRaw<MasterSlaveMode>, 3, ""},
        {"duplex", textOfRaw<DuplexMode>, 3, ""},
        {"admin state", textOfRaw<AdministrativeState>, 3, ""},
        {"availability", textOfRaw<AvailabilityStatus>, 11, "DEPENDENCY_SHUTTINGDOWN"},
        {"availability", textOfRaw<AvailabilityStatus>, 12, ""},
        {"sfp kind", textOfRaw<SfpKind>, 5, ""},
        {"synce fault", textOfRaw<SyncEFault>, 6, ""},
        {"oper state", textOfRaw<OperationalState>, 2, "DISABLED"},
        {"telecom standard", textOfRaw<TelecomStandard>, 3, "OPTION_III"},
        {"telecom standard", textOfRaw<TelecomStandard>, 4, "UNKNOWN"},
        {"selection mode", textOfRaw<SelectionProcessMode>, 2, "QL_DISABLED"},
        {"selection mode", textOfRaw<SelectionProcessMode>, 3, "UNKNOWN"},
        {"rec state", textOfRaw<RecState>, 0, "DEACTIVATED"},
        {"rec state", textOfRaw<RecState>, 0xFFFFFFFF, "ACTIVATED"},
        {"number eec from", textOfRaw<UseNumberEecFrom>, 2, "ADMIN_TLV1"},
        {"number eec from", textOfRaw<UseNumberEecFrom>, 3, ""},
        {"feature type", textOfRaw<FeatureType>, 1, "SYNCETH_OUTPUT"},
        {"feature type", textOfRaw<FeatureType>, 2, "UNKNOWN"},
    };
    for (const EnumTextCase& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.value));
        EXPECT_STREQ(c.expected, c.text(c.value));
    }
}

TEST(ConversionsTest, IsEqualComparesBytesAndLengths) {
    const char withNul[] = {'a', '\0', 'b'};
    const char otherAfterNul[] = {'a', '\0', 'c'};
    EXPECT_TRUE(isEqual("abc", 3, "abcd", 3));
    EXPECT_FALSE(isEqual("abc", 3, "abcd", 4));
    EXPECT_FALSE(isEqual("abc", 3, "abd", 3));
    EXPECT_TRUE(isEqual(withNul, 3, withNul, 3));
    EXPECT_FALSE(isEqual(withNul, 3, otherAfterNul, 3));
    EXPECT_TRUE(isEqual(nullptr, 0, "", 0));
    EXPECT_FALSE(isEqual(nullptr, 1, "a", 1));
}

struct JoinCase {
    const char* input;
    const char* expected;
};

TEST(ConversionsTest, JoinTokens) {
    const JoinCase cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"a;b,c d", "a:b:c:d"},
        {"a;b;", "a:b"},         // no colon after the last piece
        {";, a,,  b ;", "a:b"},  // runs of separators give no empty pieces
        {";;, ", ""},
        {"ab:cd", "ab:cd"},  // a colon is not a separator
        {"x:", "x:"},
    };
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.input);
        std::unique_ptr<char[]> joined = joinTokens(c.input);
        ASSERT_NE(nullptr, joined);
        EXPECT_STREQ(c.expected, joined.get());
    }
}

TEST(ConversionsTest, JoinTokensKeepsTheLastCharactersOfLongInput) {
    // 300 characters, of which the last 255 are 51 pieces "abcd,"; the head is cut off.
    std::string tail;
    std::string expected;
    for (int i = 0; i < 51; ++i) {
        tail += "abcd,";
        expected += i == 0 ? "abcd" : ":abcd";
    }
    std::unique_ptr<char[]> joined = joinTokens((std::string(45, 'h') + tail).c_str());
    ASSERT_NE(nullptr, joined);
    EXPECT_EQ(expected, joined.get());

    joined = joinTokens(std::string(400, 'z').c_str());
    ASSERT_NE(nullptr, joined);
    EXPECT_EQ(std::string(JOIN_TOKENS_MAX_LENGTH, 'z'), joined.get());
}

TEST(ConversionsTest, JoinTokensOfNullIsNull) {
    EXPECT_EQ(nullptr, joinTokens(nullptr));
}

TEST(ConversionsTest, ParseMacAddress) {
    struct Case {
        const char* text;
        int result;
        uint8_t mac[6];
    };
    const uint8_t untouched[6] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    const Case cases[] = {
        {"00:11:22:33:44:55", 0, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}},
        {"FE:dc:Ba:9:8:07", 0, {0xFE, 0xDC, 0xBA, 0x09, 0x08, 0x07}},
        {"00:11:22:33:44", -1, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
        {"00-11-22-33-44-55", -1, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
        {"garbage", -1, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
        {"", -1, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
        {nullptr, -1, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text != nullptr ? c.text : "(null)");
        uint8_t mac[6];
        std::memcpy(mac, untouched, sizeof(mac));
        EXPECT_EQ(c.result, parseMacAddress(c.text, mac));
        EXPECT_EQ(0, std::memcmp(c.mac, mac, sizeof(mac)));
    }
}

TEST(ConversionsTest, MacAndIdentityTexts) {
    const uint8_t mac[6] = {0x00, 0x1a, 0x2B, 0xc3, 0xD4, 0xff};
    const uint8_t id[8] = {0x02, 0x11, 0x22, 0xff, 0xfe, 0x33, 0x44, 0x55};
    char buffer[IDENTITY_TEXT_SIZE];
    EXPECT_STREQ("00:1a:2b:c3:d4:ff", formatMacAddress(mac, buffer, MAC_ADDRESS_TEXT_SIZE));
    EXPECT_STREQ("02:11:22:ff:fe:33:44:55", formatIdentityColon(id, buffer, sizeof(buffer)));
    EXPECT_STREQ("021122.fffe.334455", formatIdentityDotted(id, buffer, sizeof(buffer)));

    // A short buffer is cut and stays terminated, with nothing written past it.
    char small[8];
    std::memset(small, '#', sizeof(small));
    EXPECT_EQ(small, formatMacAddress(mac, small, 6));
    EXPECT_STREQ("00:1a", small);
    EXPECT_EQ('#', small[6]);
}

TEST(ConversionsTest, IpAddressTexts) {
    struct Case {
        IpAddressRecord ip;
        const char* expected;
    };
    const Case cases[] = {
        {{IP_FAMILY_INET, {192, 168, 0, 255}}, "192.168.0.255"},
        {{IP_FAMILY_INET, {0, 0, 0, 0}}, "0.0.0.0"},
        {{IP_FAMILY_INET6, {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0xab, 0x00, 0x01}},
         "2001:0db8:0000:0000:0000:0000:00ab:0001"},
        {{0, {1, 2, 3, 4}}, ""},
        {{1, {1, 2, 3, 4}}, ""},
        {{0xFFFFFFFF, {1, 2, 3, 4}}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ip.family);
        char buffer[IP_ADDRESS_TEXT_SIZE];
        std::memset(buffer, '#', sizeof(buffer));
        EXPECT_STREQ(c.expected, formatIpAddress(c.ip, buffer, sizeof(buffer)));
    }
}

TEST(ConversionsTest, ByteDumpAppendsWholeEntriesWhileTheyFit) {
    const uint8_t data[] = {0x00, 0x7f, 0x80, 0xff};
    struct Case {
        std::size_t size;
        const char* expected;
    };
    const Case cases[] = {
        {64, "00 7f 80 ff "},
        {13, "00 7f 80 ff "},
        {12, "00 7f 80 "},  // no room for the NUL after a fourth entry
        {4, "00 "},
        {3, ""},
        {1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char buffer[64];
        std::memset(buffer, '#', sizeof(buffer));
        EXPECT_STREQ(c.expected, formatBytes(data, sizeof(data), buffer, c.size));
        if (c.size < sizeof(buffer)) {
            EXPECT_EQ('#', buffer[c.size]);
        }
    }
}

TEST(ConversionsTest, IsValidIpAddress) {
    struct Case {
        uint32_t type;
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {IP_ADDRESS_TYPE_IPV4, "10.0.0.1", true},
        {IP_ADDRESS_TYPE_IPV4, "255.255.255.255", true},
        {IP_ADDRESS_TYPE_IPV4, "256.0.0.1", false},
        {IP_ADDRESS_TYPE_IPV4, "10.0.0", false},
        {IP_ADDRESS_TYPE_IPV4, "::1", false},
        {IP_ADDRESS_TYPE_IPV4, nullptr, false},
        {IP_ADDRESS_TYPE_IPV6, "::1", true},
        {IP_ADDRESS_TYPE_IPV6, "2001:db8::ab:1", true},
        {IP_ADDRESS_TYPE_IPV6, "2001:db8:::1", false},
        {IP_ADDRESS_TYPE_IPV6, "10.0.0.1", false},
        {2, "not an address", true},
        {10, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + (c.text != nullptr ? c.text : "(null)"));
        EXPECT_EQ(c.valid, isValidIpAddress(c.type, c.text));
    }
}

}  // namespace
}  // namespace Sync
