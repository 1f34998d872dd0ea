#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Macros.h"
#include "TraceCapture.h"
#include "WireBytes.h"
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
using Wire = Test::Bytes;

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

TEST(SecliPrimitivesTest, ReceivedSsmFwdReadsTheAlignedMasterIdAndCutsTheTlvFields) {
    // enhancedSsmCode: only the low byte counts; four bytes of padding before the master id are ignored.
    const Bytes wire = Wire(0x9400E, 56)
                           .refs(9, 3)
                           .be32(12, 0x0B)
                           .be32(16, 1)
                           .be32(20, 1)
                           .be32(24, 0x0122)
                           .be32(28, 0xEEEEEEEE)
                           .raw(32, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77})
                           .be32(40, 2)
                           .be32(44, 4)
                           .be32(48, 6);
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
        {"P=1,Q=2; R=3", "P=1:Q=2:R=3"},     // joined as every text of separators is
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

// How a text is cut to its field is the framework's; the trace shows what went out, not what was set.
TEST(SecliPrimitivesTest, OutputRequestTracesItsTextsAsCutToTheirFields) {
    OutputConfigCreateRreqPrim primitive;
    primitive.setInterfaceName("eth0");
    primitive.setMacAddress(std::string(25, 'm'));
    primitive.setNetworkNameSpace("netns-a");
    TraceCapture trace;
    ASSERT_EQ(544u, pack(primitive).size());
    EXPECT_TRUE(
        trace.contains(TL_SEND_MSG, "macAddress = " + std::string(19, 'm') + ", networkNameSpace = netns-a)"))
        << trace.dump();
    EXPECT_FALSE(trace.contains(TL_SEND_MSG, std::string(20, 'm')));
}

TEST(SecliPrimitivesTest, ClientDownIsArmedWithItsNumberOnly) {
    ClientDownPrim primitive;
    primitive.setProcedureReference(5);
    primitive.setConnectionReference(6);
    EXPECT_EQ(Wire(0x94000, 12).get(), pack(primitive));
}

TEST(SecliPrimitivesTest, ReceivedFieldsAndTheirTraceLevels) {
    TraceCapture trace;
    ConnectionEstablishmentReqPrim request;
    unpack(request, Wire(0x94002, 24).refs(1, 2).be32(12, 3).be32(16, 2).be32(20, 1));
    EXPECT_EQ(3u, request.getPvFirstWanted());
    EXPECT_EQ(2u, request.getPvSecondWanted());
    EXPECT_EQ(1u, request.getPvThirdWanted());

    InputAssistDataFwdPrim assist;
    unpack(assist, Wire(0x9400F, 24).be32(12, 0xFFFFFFFE).be32(16, 5).raw(20, {2}));
    EXPECT_EQ(-2, assist.getTimeOffset_c());
    EXPECT_EQ(5, assist.getTimeOffset_f());
    EXPECT_TRUE(assist.getIsValidTimer());

    InputDefectFwdPrim defect;
    unpack(defect, Wire(0x9400D, 16).be32(12, 0x8000000A));
    EXPECT_EQ(0x8000000Au, defect.getDefectStatus());

    OutputMacAddressFwdPrim mac;
    unpack(mac, Wire(0x9401A, 20).raw(12, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_EQ((Bytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}),
              Bytes(mac.getMacAddress(), mac.getMacAddress() + 6));

    InputConfigCreateRrejPrim createRej;
    unpack(createRej, Wire(0x94007, 16).refs(1, 2).be32(12, 7));
    EXPECT_EQ(7u, createRej.getErrorCode());
    OutputConfigChangeRrejPrim changeRej;
    unpack(changeRej, Wire(0x94015, 16).refs(1, 2).be32(12, 7));
    EXPECT_EQ(7u, changeRej.getErrorCode());

    // The frequent forwards trace at their own level, so that they can be kept out of the trace.
    EXPECT_EQ(4u, trace.texts(TL_REC_MSG).size()) << trace.dump();
    EXPECT_EQ(2u, trace.texts(TL_REC_MSG_FREQ).size()) << trace.dump();
}

TEST(SecliPrimitivesTest, EachPrimitiveOnlyWorksInItsOwnDirection) {
    OutputConfigRemoveRreqPrim removeReq;
    removeReq.setProcedureReference(3);
    removeReq.setConnectionReference(4);
    EXPECT_EQ(Wire(0x94016, 12).refs(3, 4).get(), pack(removeReq));
    unpack(removeReq, Wire(0x94016, 12).refs(9, 9));
    EXPECT_EQ(3u, removeReq.getProcedureReference());

    OutputConfigCreateRcfmPrim confirm;
    EXPECT_TRUE(pack(confirm).empty());
    unpack(confirm, Wire(0x94011, 12).refs(9, 8));
    EXPECT_EQ(9u, confirm.getProcedureReference());
    EXPECT_EQ(8u, confirm.getConnectionReference());

    ConnectionEstablishmentReqPrim request;
    EXPECT_TRUE(pack(request).empty());
}

}  // namespace
}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
