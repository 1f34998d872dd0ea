#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "Macros.h"
#include "SciTestSupport.h"
#include "TraceCapture.h"
#include "common_fwk_classes/sci/ClientIf.h"
#include "common_fwk_classes/sci/Primitives.h"
#include "tavi.h"

namespace Sync {
namespace SciTest {
namespace {

using namespace Sci;

// msgno as the mailbox library writes it (host order), then the given bytes.
std::vector<uint8_t> wire(uint32_t msgno, std::vector<uint8_t> rest) {
    std::vector<uint8_t> bytes(4 + rest.size());
    std::memcpy(bytes.data(), &msgno, 4);
    std::copy(rest.begin(), rest.end(), bytes.begin() + 4);
    return bytes;
}

// The standard header used below: procedureReference 1, connectionReference 2, entityId 3.
SciBytes withHeader(uint32_t msgno, size_t size) {
    return SciBytes(msgno, size).header(1, 2, 3);
}

class SciPrimitivesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeTavi::reset();
        ASSERT_EQ(0, tavi_init(1, 0, 0, 0, 0));
        ASSERT_NE(TAVI_NO_ID, tavi_create_mailbox("sync-lumov-control", 0));
    }
    void TearDown() override {
        tavi_exit();
        FakeTavi::reset();
    }

    // Packs and returns the bytes (freeing the message); empty when nothing was built.
    static std::vector<uint8_t> pack(BasePrimitive& primitive) {
        void* msg = primitive.constructMessage();
        if (msg == nullptr)
            return {};
        const auto* begin = static_cast<const uint8_t*>(msg);
        std::vector<uint8_t> bytes(begin, begin + tavi_size(msg));
        tavi_free(&msg);
        return bytes;
    }

    static void unpack(BasePrimitive& primitive, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(FakeTavi::inject(0x5005, bytes));
        void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER);
        ASSERT_NE(nullptr, msg);
        primitive.fetchPrimitive(msg);
        tavi_free(&msg);
    }

    std::vector<std::string> textsAt(uint32_t level) const {
        std::vector<std::string> texts;
        for (const ::Sync::Test::TraceCapture::Line& line : traces.lines())
            if (line.level == level)
                texts.push_back(line.text);
        return texts;
    }

    // The only trace line of that level, checked to come from the given function.
    std::string onlyLine(uint32_t level, const char* function) {
        std::vector<std::string> texts;
        for (const ::Sync::Test::TraceCapture::Line& line : traces.lines()) {
            if (line.level == level) {
                EXPECT_EQ(function, line.function);
                texts.push_back(line.text);
            }
        }
        EXPECT_EQ(1u, texts.size()) << traces.dump();
        return texts.empty() ? std::string() : texts.front();
    }

    ::Sync::Test::TraceCapture traces;
};

TEST_F(SciPrimitivesTest, SubscribeRequestIsHeaderAndEntityIdInBigEndian) {
    RecDataSubscribeReq request;
    request.setProcedureReference(7);
    request.setConnectionReference(0x01020304);
    request.setEntityId(7);

    EXPECT_EQ(wire(0x9B91D, {0, 0, 0, 7, 1, 2, 3, 4, 0, 0, 0, 7}), pack(request));
    EXPECT_EQ(
        "SCI_REC_DATA_SUBSCRIBE_REQ with data: (procedureReference = 7, connectionReference = 16909060, "
        "entityId = 7)",
        onlyLine(TL_SEND_MSG, "constructMessage"));
}

TEST_F(SciPrimitivesTest, OneFieldIndicationReadsItsBigEndianWord) {
    RecClockSettledQualityInd indication;
    unpack(indication, wire(0x9B925, {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 1, 0x0B}));

    EXPECT_EQ(1u, indication.getProcedureReference());
    EXPECT_EQ(2u, indication.getConnectionReference());
    EXPECT_EQ(3u, indication.getEntityId());
    EXPECT_EQ(0x10Bu, indication.getClockSettledQuality());
    EXPECT_EQ(
        "SCI_REC_CLOCK_SETTLED_QUALITY_IND with data: (procedureReference = 1, connectionReference = 2, "
        "entityId = "
        "3, clockSettledQuality = 267)",
        onlyLine(TL_REC_MSG, "fetchPrimitive"));
}

TEST_F(SciPrimitivesTest, SelectedReferenceReadsAnLdnOf255Characters) {
    const std::string ldn(255, 'r');
    SelectedReferenceInd indication;
    unpack(indication, withHeader(0x9B916, 276).be32(16, 9).chars(20, ldn));

    EXPECT_EQ(9u, indication.getSelectedReference());
    EXPECT_EQ(ldn, indication.getSelectedReferenceLdn());
    // The trace facility cuts long lines; what it keeps is the start of the full text.
    const std::string full =
        "SCI_SELECTED_REFERENCE_IND with data: (procedureReference = 1, connectionReference = 2, entityId = "
        "3, "
        "selectedReference = 9, selectedReferenceLdn = " +
        ldn + ")";
    const std::string line = onlyLine(TL_REC_MSG, "fetchPrimitive");
    EXPECT_GT(line.size(), full.find(ldn));
    EXPECT_EQ(full.substr(0, line.size()), line);
}

TEST_F(SciPrimitivesTest, TextFillingItsFieldStopsAtTheFieldEnd) {
    // No NUL in the 256 bytes of referenceLdn; useQLFrom follows at once.
    RecrUseQLFromInd indication;
    unpack(indication, withHeader(0x9B926, 276).chars(16, std::string(256, 'x')).be32(272, 0x41424344));

    EXPECT_EQ(std::string(256, 'x'), indication.getReferenceLdn());
    EXPECT_EQ(0x41424344u, indication.getUseQLFrom());
}

TEST_F(SciPrimitivesTest, LooseTimeDifferenceIsReadWithoutByteSwap) {
    LooseTimeDiffInd indication;
    unpack(indication, withHeader(0x9B93E, 24).raw(16, {0, 0, 0, 5}).raw(20, {1, 0, 0, 0}));

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    EXPECT_EQ(0x05000000u, indication.getSpLooseTimeDiffSec());
    EXPECT_EQ(1u, indication.getSpLooseTimeDiffMicroSec());
#else
    EXPECT_EQ(5u, indication.getSpLooseTimeDiffSec());
    EXPECT_EQ(0x01000000u, indication.getSpLooseTimeDiffMicroSec());
#endif
}

TEST_F(SciPrimitivesTest, LooseTimeStateIsSixteenBitsBigEndian) {
    LooseTimeStateInd indication;
    unpack(indication, withHeader(0x9B938, 20).raw(16, {0x01, 0x02, 0xFF, 0xFF}));
    EXPECT_EQ(0x0102u, indication.getSpLooseTimeState());

    traces.clear();
    EXPECT_EQ(withHeader(0x9B938, 20).raw(16, {0x01, 0x02}).get(), pack(indication));
}

TEST_F(SciPrimitivesTest, PortScanRequestHoldsOneLdnPer256BytesAfterTheCount) {
    PortScanReq request;
    request.setProcedureReference(1);
    request.setConnectionReference(2);
    request.setEntityId(1);
    request.setCandidateList({"first", "second", std::string(300, 'z')});

    const std::vector<uint8_t> bytes = pack(request);
    const std::vector<uint8_t> expected = withHeader(0x9B945, 788)
                                              .be32(12, 1)
                                              .raw(16, {3})
                                              .chars(17, "first")
                                              .chars(273, "second")
                                              .chars(529, std::string(255, 'z'));
    EXPECT_EQ(788u, bytes.size());
    EXPECT_EQ(expected, bytes);
    EXPECT_EQ(
        "SCI_PORT_SCAN_REQ with data: (procedureReference = 1, connectionReference = 2, entityId = 1 "
        "sizeOfCandidateList = 3)",
        onlyLine(TL_SEND_MSG, "constructMessage"));
    EXPECT_TRUE(traces.contains(TL_DEBUG, "CandidateList[1] : second"));

    request.setCandidateList({});
    EXPECT_EQ(withHeader(0x9B945, 20).be32(12, 1).get(), pack(request));
}

TEST_F(SciPrimitivesTest, PortScanResponseReplacesItsListWithTheReceivedOne) {
    PortScanRsp response;
    response.setFailedToLockCandidates({"stale"});
    unpack(response, withHeader(0x9B946, 17 + 512).raw(16, {2}).chars(17, "a").chars(273, "b"));

    EXPECT_EQ((std::vector<std::string>{"a", "b"}), response.getFailedToLockCandidates());
}

struct ClockTypeCase {
    uint8_t type;
    const char* name;
};

TEST_F(SciPrimitivesTest, PtpClockTypeIsOneByteTracedWithItsName) {
    const ClockTypeCase cases[] = {{0, "GRAND_MASTER_ORDINARY_CLOCK"},
                                   {1, "BOUNDARY_CLOCK"},
                                   {2, "SLAVE_ONLY_ORDINARY_CLOCK"},
                                   {7, "UNDEFINED_PTP_CLOCK_TYPE"},
                                   {255, "UNDEFINED_PTP_CLOCK_TYPE"}};
    for (const ClockTypeCase& c : cases) {
        SCOPED_TRACE(c.name);
        traces.clear();
        PtpClockTypeSubscribeReq request;
        request.setProcedureReference(1);
        request.setConnectionReference(2);
        request.setEntityId(3);
        request.setPtpClockType(c.type);

        EXPECT_EQ(withHeader(0x9B953, 20).raw(16, {c.type}).get(), pack(request));
        EXPECT_EQ(
            "SCI_PTP_CLOCK_TYPE_SUBSCRIBE_REQ with data: (procedureReference = 1, connectionReference = 2, "
            "entityId "
            "=  3, ptpClockType = " +
                std::to_string(c.type) + " (" + c.name + "))",
            onlyLine(TL_SEND_MSG, "constructMessage"));
    }
}

struct RevisionCase {
    uint32_t count;
    std::vector<uint8_t> revisionWords;  // bytes 16..27
};

TEST_F(SciPrimitivesTest, ConnectionRequestWritesOnlyTheAnnouncedRevisions) {
    const RevisionCase cases[] = {
        {1, {0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {2, {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0}},
        {3, {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3}},
        {9, {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3}},
    };
    for (const RevisionCase& c : cases) {
        SCOPED_TRACE(c.count);
        InitReq request;
        request.setProcedureReference(5);
        request.setConnectionReference(5);
        request.setSizeOfSupportedProtocolRevisions(c.count);
        request.setPvFirstWanted(1);
        request.setPvSecondWanted(2);
        request.setPvThirdWanted(3);

        std::vector<uint8_t> rest = {0, 0, 0, 5, 0, 0, 0, 5, 0, 0, 0, uint8_t(c.count)};
        rest.insert(rest.end(), c.revisionWords.begin(), c.revisionWords.end());
        EXPECT_EQ(wire(0x9B902, rest), pack(request));
    }
}

// Each received message, with distinct values in every field so that a field read at the wrong
// offset or in the wrong byte order shows in the trace text.
struct UnpackCase {
    const char* name;
    std::function<BasePrimitive*()> make;
    std::vector<uint8_t> bytes;
    std::string text;
};

TEST_F(SciPrimitivesTest, ReceivedMessagesAreTracedWithEveryField) {
    // Words the sender wrote in its own byte order read back as they lie in memory.
    auto hostWord = [](std::vector<uint8_t> bytes) {
        uint32_t word = 0;
        std::memcpy(&word, bytes.data(), 4);
        return std::to_string(word);
    };
    const std::string pre = " with data: (procedureReference = 1, connectionReference = 2, entityId = 3";

    const std::vector<UnpackCase> cases = {
        {"plain", [] { return new RecCreateInd(); }, withHeader(0x9B922, 16),
         "SCI_REC_CREATE_IND" + pre + ")"},
        {"rejection", [] { return new RecDataSubscribeRej(); }, withHeader(0x9B91F, 20).be32(16, 4),
         "SCI_REC_DATA_SUBSCRIBE_REJ" + pre + ", errorCode = 4)"},
        {"semi-loose confirmation", [] { return new SemiLooseModeSubscribeCfm(); }, withHeader(0x9B94A, 16),
         "SCI_SEMI_LOOSE_MODE_SUBSCRIBE_CFM with data: (procedureReference = 1, connectionReference = "
         "2entityId = 3)"},
        {"semi-loose rejection", [] { return new SemiLooseModeSubscribeRej(); },
         withHeader(0x9B94B, 20).be32(16, 4),
         "SCI_SEMI_LOOSE_MODE_SUBSCRIBE_REJ with data: (procedureReference = 1, connectionReference = "
         "2entityId = 3, "
         "errorCode = 4)"},
        {"selection mode", [] { return new RecSelectionProcessModeInd(); },
         withHeader(0x9B924, 20).be32(16, 2),
         "SCI_REC_SELECTION_PROCESS_MODE_IND" + pre + ", selectionProcessMode = 2)"},
        {"telecom standard", [] { return new TelecomStandardInd(); }, withHeader(0x9B92C, 20).be32(16, 3),
         "SCI_TELECOM_STANDARD_IND" + pre + ", telecomStandard = 3)"},
        {"use QL from", [] { return new RecrUseQLFromInd(); },
         withHeader(0x9B926, 276).chars(16, "ref").be32(272, 6),
         "SCI_RECR_USE_QL_FROM_IND" + pre + ", referenceLdn = ref, useQLFrom = 6"},
        {"assist reference", [] { return new CandidateAssistRefInd(); },
         withHeader(0x9B95C, 272).chars(16, "as"), "SCI_ASSIST_INFO_IND" + pre + ", ldn = as)"},
        {"recr config", [] { return new RecrConfigInd(); },
         withHeader(0x9B964, 280).raw(16, {5, 0, 0, 0}).raw(20, {0, 0, 0, 5}).chars(24, "cfg"),
         "SCI_RECR_QL_CONFIG_IND" + pre + ", assistQLFrom = " + hostWord({5, 0, 0, 0}) +
             ", remappedQL = " + hostWord({0, 0, 0, 5}) + ", ldn = cfg)"},
        {"FRU data", [] { return new FruDataInd(); },
         withHeader(0x9B958, 536).be32(16, 4).chars(20, "hunt").chars(276, "fru").raw(532, {1}),
         "SCI_FRU_DATA_IND with data: procedureReference = 1, connectionReference = 2, entityId = 3, "
         "vendorId = 4, "
         "huntPath = hunt, ldn = fru, activated = 1"},
        {"degraded", [] { return new DegradedStatusInd(); },
         withHeader(0x9B944, 24).raw(16, {1, 9, 9, 9}).be32(20, 7),
         "SCI_DEGRADED_STATUS_IND" + pre + ", isDegraded = 1, refType = 7)"},
        {"semi-loose mode", [] { return new SemiLooseModeInd(); },
         withHeader(0x9B94C, 276).raw(16, {2}).chars(17, "clk"),
         "SCI_SEMI_LOOSE_MODE_IND" + pre + ", state = 2, clockLdn = clk)"},
        {"override PTP data", [] { return new OverridePtpDataInd(); },
         withHeader(0x9B968, 20).raw(16, {6, 1, 1, 1}),
         "SCI_OVERRIDE_PTP_DATA_IND" + pre + ", clockClass = 6)"},
        {"port scan response", [] { return new PortScanRsp(); }, withHeader(0x9B946, 17).raw(16, {0}),
         "SCI_PORT_SCAN_RSP" + pre + ", sizeOfFailedToLockCandidates = 0)"},
        {"connection confirmation", [] { return new InitCfm(); }, SciBytes(0x9B903, 16).header(1, 2, 8),
         "SCI_CONNECTION_ESTABLISHMENT_CFM with data: (procedureReference = 1, connectionReference = 2, "
         "selectedProtocolRevision = 8)"},
        {"connection rejection", [] { return new InitRej(); }, SciBytes(0x9B904, 16).header(1, 2, 4),
         "SCI_CONNECTION_ESTABLISHMENT_REJ with data: (procedureReference = 1, connectionReference = 2, "
         "errorCode = 4)"},
        {"server down", [] { return new ServerDown(); }, SciBytes(0x9B901, 12).be32(4, 1).be32(8, 2),
         "SCI_SERVER_DOWN_IND with data: (procedureReference = 1, connectionReference = 2)"},
        {"server up", [] { return new ServerUp(); }, SciBytes(0x1900001, 8), "KOLM_SERVICE_ADDED_IND"},
    };
    for (const UnpackCase& c : cases) {
        SCOPED_TRACE(c.name);
        traces.clear();
        std::unique_ptr<BasePrimitive> primitive(c.make());
        unpack(*primitive, c.bytes);
        EXPECT_EQ(c.text, onlyLine(TL_REC_MSG, "fetchPrimitive"));
        EXPECT_EQ(0u, traces.count(TL_ERROR, "")) << traces.dump();
    }
}

TEST_F(SciPrimitivesTest, ConfirmationKeepsOnlyTheReferences) {
    InitCfm confirmation;
    unpack(confirmation, SciBytes(0x9B903, 16).header(0x61, 0x62, 4));
    EXPECT_EQ(0x61u, confirmation.getProcedureReference());
    EXPECT_EQ(0x62u, confirmation.getConnectionReference());
    EXPECT_EQ(0u, confirmation.getPvSelected());
}

// Every primitive the client knows packs a message of its own number and full size, and reading that
// message back gives the references it was packed with, without any field lying outside the message.
TEST_F(SciPrimitivesTest, EveryPrimitivePacksItsWholeLayout) {
    ClientIf client(FakeTavi::ownId());
    size_t checked = 0;
    for (uint32_t id = 1; id <= 110; ++id) {
        BasePrimitive* primitive = client.getPrimitive(id);
        if (primitive == nullptr || id == BasePrimitive::SERVER_UP)
            continue;
        SCOPED_TRACE(primitive->getName());
        ++checked;
        primitive->setProcedureReference(0x100 + id);
        primitive->setConnectionReference(0x200 + id);
        const std::vector<uint8_t> bytes = pack(*primitive);
        const uint32_t expectedSize = id == PortScanReq::PRIMITIVE_ID || id == PortScanRsp::PRIMITIVE_ID
                                          ? 20u
                                          : primitive->getMessageSize();
        ASSERT_EQ(expectedSize, bytes.size());
        EXPECT_EQ(primitive->getMsgno(), msgnoOf(bytes));
        EXPECT_EQ(0x100 + id, be32At(bytes, 4));

        primitive->setProcedureReference(0);
        primitive->setConnectionReference(0);
        unpack(*primitive, bytes);
        EXPECT_EQ(0x100 + id, primitive->getProcedureReference());
        EXPECT_EQ(0x200 + id, primitive->getConnectionReference());
    }
    EXPECT_EQ(105u, checked);
    EXPECT_EQ(0u, traces.count(TL_ERROR, "")) << traces.dump();
}

}  // namespace
}  // namespace SciTest
}  // namespace Sync
