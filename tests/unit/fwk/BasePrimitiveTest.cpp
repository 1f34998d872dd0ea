#include "control/BasePrimitive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "Macros.h"
#include "MessagingTestDoubles.h"
#include "TraceCapture.h"
#include "control/InitRejPrimitive.h"
#include "tavi.h"

namespace Sync {
namespace {

using Test::FakeMailbox;
using Test::TraceCapture;
using Test::wireMessage;

// Opens the layout helpers to the tests.
class LayoutProbe : public BasePrimitive {
  public:
    LayoutProbe() : BasePrimitive(10, 0x7001, "PROBE", 32) {}
    using BasePrimitive::allocMessage;
    using BasePrimitive::getS32;
    using BasePrimitive::getText;
    using BasePrimitive::getU16;
    using BasePrimitive::getU32;
    using BasePrimitive::getU64;
    using BasePrimitive::putS32;
    using BasePrimitive::putText;
    using BasePrimitive::putU16;
    using BasePrimitive::putU32;
    using BasePrimitive::putU64;
    using BasePrimitive::readHeader;
};

std::vector<uint8_t> bytesOf(const void* msg) {
    const auto* begin = static_cast<const uint8_t*>(msg);
    return std::vector<uint8_t>(begin, begin + tavi_size(msg));
}

class BasePrimitiveTest : public ::testing::Test {
  protected:
    FakeMailbox mailbox;
    LayoutProbe probe;
};

TEST_F(BasePrimitiveTest, HeaderAndFieldsAreBigEndianAfterAHostOrderMsgno) {
    for (uint32_t value :
         {probe.getProcedureReference(), probe.getConnectionReference(), probe.getConnectionWord1(),
          probe.getConnectionWord2(), probe.getExtraWord1(), probe.getExtraWord2()})
        EXPECT_EQ(0xFFFFFFFFu, value);
    probe.setProcedureReference(0x01020304);
    probe.setConnectionReference(0x0A0B0C0D);
    void* msg = probe.allocMessage();
    probe.putU32(msg, 12, 0x11223344);
    probe.putU16(msg, 16, 0x5566);
    probe.putU64(msg, 18, 0x0011223344556677ull);
    probe.putS32(msg, 26, -2);
    const uint32_t msgno = 0x7001;
    std::vector<uint8_t> expected(32, 0);
    std::memcpy(expected.data(), &msgno, 4);
    const uint8_t fields[] = {1,    2,    3,    4,    0x0A, 0x0B, 0x0C, 0x0D, 0x11, 0x22, 0x33, 0x44, 0x55,
                              0x66, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0xFF, 0xFF, 0xFF, 0xFE};
    std::copy(std::begin(fields), std::end(fields), expected.begin() + 4);
    EXPECT_EQ(expected, bytesOf(msg));

    LayoutProbe reader;
    reader.readHeader(msg);
    EXPECT_EQ(0x01020304u, reader.getProcedureReference());
    EXPECT_EQ(0x0A0B0C0Du, reader.getConnectionReference());
    EXPECT_EQ(0x5566u, reader.getU16(msg, 16));
    EXPECT_EQ(0x0011223344556677ull, reader.getU64(msg, 18));
    EXPECT_EQ(-2, reader.getS32(msg, 26));
    tavi_free(&msg);
}

TEST_F(BasePrimitiveTest, AccessPastTheMessageIsRefusedWithAnError) {
    TraceCapture capture;
    void* msg = probe.allocMessage();
    std::memset(static_cast<uint8_t*>(msg) + 4, 0xAB, 28);
    const std::vector<uint8_t> before = bytesOf(msg);
    probe.putU32(msg, 29, 0);  // would end at 33 of 32
    probe.putU64(msg, 0xFFFFFFFFFFFFFFF0ull, 0);
    EXPECT_EQ(0u, probe.getU32(msg, 30));
    EXPECT_EQ(3u, capture.count(TL_ERROR, "Coding error: field of"));
    EXPECT_EQ(before, bytesOf(msg));
    tavi_free(&msg);
}

TEST_F(BasePrimitiveTest, TextIsReadUpToItsNulButNeverPastFieldOrMessage) {
    struct Case {
        std::string stored;  // placed at offset, cut at the message's end (32 bytes)
        size_t offset, width;
        std::string expected;
    } cases[] = {
        {std::string("eth0\0zz", 7), 12, 16, "eth0"},
        {"ABCDEFGHIJKLMNOPQRST", 12, 16, "ABCDEFGHIJKLMNOP"},     // fills its field
        {"abcdefghijklmnopqrstuvwxyz", 20, 256, "abcdefghijkl"},  // field runs past the message
        {"", 32, 8, ""},
        {"", 40, 8, ""},
    };
    for (const Case& c : cases) {
        void* msg = probe.allocMessage();
        if (c.offset < 32)
            std::memcpy(static_cast<char*>(msg) + c.offset, c.stored.data(),
                        std::min(c.stored.size(), 32 - c.offset));
        EXPECT_EQ(c.expected, probe.getText(msg, c.offset, c.width)) << c.stored;
        tavi_free(&msg);
    }
}

TEST_F(BasePrimitiveTest, WrittenTextIsCutToWidthLessOneAndTerminated) {
    void* msg = probe.allocMessage();
    std::memset(static_cast<uint8_t*>(msg) + 12, 0xEE, 20);
    probe.putText(msg, 12, 8, "abcdefghij");
    EXPECT_EQ(0, std::memcmp("abcdefg\0", bytesOf(msg).data() + 12, 8));
    EXPECT_EQ(0xEE, bytesOf(msg)[20]);
    probe.putText(msg, 12, 8, "ab");
    EXPECT_EQ(0, std::memcmp("ab\0\0\0\0\0\0", bytesOf(msg).data() + 12, 8));
    tavi_free(&msg);
}

// A client reads the reject's word as a signed reason, traced at ERROR level.
TEST_F(BasePrimitiveTest, ARejectIsReadWithASignedReasonAndTracedAsAnError) {
    FakeTavi::inject(0x2002, wireMessage(0x5004, {11, 0, 0xFFFFFFFB}));
    void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER);
    TraceCapture capture;
    InitRejPrimitive rejected(0x5004, "T_INIT_REJ");
    rejected.fetchPrimitive(msg);
    tavi_free(&msg);
    EXPECT_EQ(-5, rejected.getReason());
    EXPECT_TRUE(capture.contains(
        TL_ERROR,
        "Received message: T_INIT_REJ with data: procedureReference: 11, connectionReference: 0, reason: -5"))
        << capture.dump();
}

}  // namespace
}  // namespace Sync
