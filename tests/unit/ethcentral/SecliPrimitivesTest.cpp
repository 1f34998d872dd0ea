#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Macros.h"
#include "TraceCapture.h"
#include "control/secli/prim/ClientDownPrim.h"
#include "control/secli/prim/ConnectionEstablishmentReqPrim.h"
#include "control/secli/prim/InputAssistDataFwdPrim.h"
#include "control/secli/prim/InputConfigChangeRreqPrim.h"
#include "control/secli/prim/InputConfigCreateRrejPrim.h"
#include "control/secli/prim/InputConfigCreateRreqPrim.h"
#include "control/secli/prim/InputDefectFwdPrim.h"
#include "control/secli/prim/InputReceivedSsmFwdPrim.h"
#include "control/secli/prim/OutputConfigChangeRrejPrim.h"
#include "control/secli/prim/OutputConfigCreateRcfmPrim.h"
#include "control/secli/prim/OutputConfigCreateRreqPrim.h"
#include "control/secli/prim/OutputConfigRemoveRreqPrim.h"
#include "control/secli/prim/OutputMacAddressFwdPrim.h"
#include "tavi.h"

namespace Sync {
namespace EthCentral {
namespace Secli {
namespace {

using Bytes = std::vector<uint8_t>;
using Test::TraceCapture;

// Builds the message and takes its bytes; the message itself is freed.
Bytes pack(BasePrimitive& primitive) {
    void* msg = primitive.constructMessage();
    if (msg == nullptr)
        return Bytes();
    const uint8_t* begin = static_cast<const uint8_t*>(msg);
    Bytes bytes(begin, begin + tavi_size(msg));
    tavi_free(&msg);
    return bytes;
}

// A received message holding exactly these bytes (the first four are the host-order number).
void unpack(BasePrimitive& primitive, const Bytes& bytes) {
    uint32_t msgno;
    std::memcpy(&msgno, bytes.data(), sizeof msgno);
    void* msg = tavi_alloc(bytes.size(), msgno);
    std::memcpy(msg, bytes.data(), bytes.size());
    primitive.fetchPrimitive(msg);
    tavi_free(&msg);
}

// The texts traced at one level, in order.
std::vector<std::string> textsAt(const TraceCapture& trace, uint32_t level) {
    std::vector<std::string> texts;
    for (const TraceCapture::Line& line : trace.lines()) {
        if (line.level == level)
            texts.push_back(line.text);
    }
    return texts;
}

Bytes hostWord(uint32_t value) {
    Bytes b(4);
    std::memcpy(b.data(), &value, 4);
    return b;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(SecliPrimitivesTest, ReceivedSsmFwdReadsTheAlignedMasterIdAndCutsTheTlvFields) {
    const Bytes wire = concat({hostWord(0x9400E),
                               {0, 0, 0, 9},              // procedureReference
                               {0, 0, 0, 3},              // connectionReference
                               {0, 0, 0, 0x0B},           // ssmCode
                               {0, 0, 0, 1},              // tcuDetected
                               {0, 0, 0, 1},              // extendedQlDetected
                               {0, 0, 0x01, 0x22},        // enhancedSsmCode: only the low byte counts
                               {0xEE, 0xEE, 0xEE, 0xEE},  // padding, ignored
                               {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77},
                               {0, 0, 0, 2},  // flag
                               {0, 0, 0, 4},  // numberCascadedEnhancedEec
                               {0, 0, 0, 6},  // numberCascadedEec
                               Bytes(4, 0)});
    InputReceivedSsmFwdPrim primitive;
    unpack(primitive, wire);
    EXPECT_EQ(9u, primitive.getProcedureReference());
    EXPECT_EQ(3u, primitive.getConnectionReference());
    EXPECT_EQ(0x0011223344556677ull, primitive.getSyncEMasterId());
    EXPECT_EQ(0x0Bu, primitive.getSsmCode());
    EXPECT_EQ(1u, primitive.getTcuDetected());
    EXPECT_EQ(0x0B, primitive.getReceivedQl().ssmCode);
    EXPECT_EQ(1, primitive.getReceivedQl().extendedQlDetected);
    EXPECT_EQ(0x22, primitive.getReceivedQl().enhancedSsmCode);
    EXPECT_EQ(2, primitive.getFlag());
    EXPECT_EQ(4, primitive.getNumberCascadedEnhancedEec());
    EXPECT_EQ(6, primitive.getNumberCascadedEec());
}

// Characters that tell every position apart, so a wrong cut shows.
std::string numbered(size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += static_cast<char>('a' + i % 26);
    return text;
}

TEST(SecliPrimitivesTest, LdnIsNormalisedOnTheWire) {
    const std::string long300 = numbered(300);
    const std::string exactly255 = numbered(255);
    const struct {
        std::string ldn;
        std::string sent;
    } cases[] = {
        {"P=1,Q=2; R=3", "P=1:Q=2:R=3"},
        {"A;;B", "A:B"},
        {";, ;", ""},
        {" ,A=1;", "A=1"},
        {long300, long300.substr(45, 254)},  // the last 255, cut to 254
        {exactly255, exactly255.substr(0, 254)},
        {";" + numbered(255), numbered(254)},  // 256 long: the leading separator falls outside
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ldn);
        EXPECT_EQ(c.sent, InputConfigRequestPrim::normalisedLdn(c.ldn));
        InputConfigCreateRreqPrim primitive;
        primitive.setLdn(c.ldn);
        const Bytes bytes = pack(primitive);
        ASSERT_EQ(804u, bytes.size());
        const std::string field(reinterpret_cast<const char*>(&bytes[16]), 256);
        EXPECT_EQ(c.sent, std::string(field.c_str()));
        EXPECT_EQ(Bytes(256 - c.sent.size(), 0),
                  Bytes(bytes.begin() + 16 + c.sent.size(), bytes.begin() + 272));
    }
}

TEST(SecliPrimitivesTest, InputRequestLayout) {
    InputConfigChangeRreqPrim primitive;
    primitive.setProcedureReference(12);
    primitive.setConnectionReference(34);
    primitive.setRhaiPortId(0x0A0B0C0D);
    primitive.setLdn("Eq=1,Port=2");
    primitive.setInterfaceName("eth7");
    primitive.setMacAddress("00:11:22:33:44:55");
    primitive.setNetworkNameSpace("ns1");
    const Bytes bytes = pack(primitive);
    ASSERT_EQ(804u, bytes.size());
    EXPECT_EQ((Bytes{0, 0, 0, 12, 0, 0, 0, 34, 0x0A, 0x0B, 0x0C, 0x0D}),
              Bytes(bytes.begin() + 4, bytes.begin() + 16));
    EXPECT_STREQ("Eq=1:Port=2", reinterpret_cast<const char*>(&bytes[16]));
    EXPECT_STREQ("eth7", reinterpret_cast<const char*>(&bytes[272]));
    EXPECT_STREQ("00:11:22:33:44:55", reinterpret_cast<const char*>(&bytes[528]));
    EXPECT_STREQ("ns1", reinterpret_cast<const char*>(&bytes[548]));
}

TEST(SecliPrimitivesTest, OutputRequestCutsOverlongTextsToTheirFields) {
    OutputConfigCreateRreqPrim primitive;
    primitive.setInterfaceName(std::string(300, 'i'));
    primitive.setMacAddress(std::string(25, 'm'));
    primitive.setNetworkNameSpace("netns-a");
    TraceCapture trace;
    const Bytes bytes = pack(primitive);
    ASSERT_EQ(544u, bytes.size());
    EXPECT_EQ(std::string(255, 'i'), std::string(reinterpret_cast<const char*>(&bytes[12])));
    EXPECT_EQ(0, bytes[267]);
    EXPECT_EQ(std::string(19, 'm'), std::string(reinterpret_cast<const char*>(&bytes[268])));
    EXPECT_EQ(0, bytes[287]);
    EXPECT_STREQ("netns-a", reinterpret_cast<const char*>(&bytes[288]));
    // The trace shows what went out, not what was set.
    trace.clear();
    primitive.setInterfaceName("eth0");
    pack(primitive);
    EXPECT_TRUE(
        trace.contains(TL_SEND_MSG, "macAddress = " + std::string(19, 'm') + ", networkNameSpace = netns-a)"))
        << trace.dump();
    EXPECT_FALSE(trace.contains(TL_SEND_MSG, std::string(20, 'm')));
}

TEST(SecliPrimitivesTest, ClientDownIsArmedWithItsNumberOnly) {
    ClientDownPrim primitive;
    primitive.setProcedureReference(5);
    primitive.setConnectionReference(6);
    EXPECT_EQ(concat({hostWord(0x94000), Bytes(8, 0)}), pack(primitive));
}

TEST(SecliPrimitivesTest, ReceivedFieldsAndTheirTraceLevels) {
    TraceCapture trace;
    ConnectionEstablishmentReqPrim request;
    unpack(request,
           concat({hostWord(0x94002), {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1}}));
    EXPECT_EQ(3u, request.getPvFirstWanted());
    EXPECT_EQ(2u, request.getPvSecondWanted());
    EXPECT_EQ(1u, request.getPvThirdWanted());

    InputAssistDataFwdPrim assist;
    unpack(assist,
           concat({hostWord(0x9400F), Bytes(8, 0), {0xFF, 0xFF, 0xFF, 0xFE, 0, 0, 0, 5, 2, 0, 0, 0}}));
    EXPECT_EQ(-2, assist.getTimeOffset_c());
    EXPECT_EQ(5, assist.getTimeOffset_f());
    EXPECT_TRUE(assist.getIsValidTimer());

    InputDefectFwdPrim defect;
    unpack(defect, concat({hostWord(0x9400D), Bytes(8, 0), {0x80, 0, 0, 0x0A}}));
    EXPECT_EQ(0x8000000Au, defect.getDefectStatus());

    OutputMacAddressFwdPrim mac;
    unpack(mac, concat({hostWord(0x9401A), Bytes(8, 0), {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0, 0}}));
    EXPECT_EQ((Bytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}),
              Bytes(mac.getMacAddress(), mac.getMacAddress() + 6));

    InputConfigCreateRrejPrim createRej;
    unpack(createRej, concat({hostWord(0x94007), {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 7}}));
    EXPECT_EQ(7u, createRej.getErrorCode());
    OutputConfigChangeRrejPrim changeRej;
    unpack(changeRej, concat({hostWord(0x94015), {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 7}}));
    EXPECT_EQ(7u, changeRej.getErrorCode());

    // The frequent forwards trace at their own level, so that they can be kept out of the trace.
    EXPECT_EQ(4u, textsAt(trace, TL_REC_MSG).size()) << trace.dump();
    EXPECT_EQ(2u, textsAt(trace, TL_REC_MSG_FREQ).size()) << trace.dump();
}

TEST(SecliPrimitivesTest, EachPrimitiveOnlyWorksInItsOwnDirection) {
    OutputConfigRemoveRreqPrim removeReq;
    removeReq.setProcedureReference(3);
    removeReq.setConnectionReference(4);
    EXPECT_EQ(concat({hostWord(0x94016), {0, 0, 0, 3, 0, 0, 0, 4}}), pack(removeReq));
    unpack(removeReq, concat({hostWord(0x94016), {0, 0, 0, 9, 0, 0, 0, 9}}));
    EXPECT_EQ(3u, removeReq.getProcedureReference());

    OutputConfigCreateRcfmPrim confirm;
    EXPECT_TRUE(pack(confirm).empty());
    unpack(confirm, concat({hostWord(0x94011), {0, 0, 0, 9, 0, 0, 0, 8}}));
    EXPECT_EQ(9u, confirm.getProcedureReference());
    EXPECT_EQ(8u, confirm.getConnectionReference());

    ConnectionEstablishmentReqPrim request;
    EXPECT_TRUE(pack(request).empty());
}

}  // namespace
}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
