// The primitives of the port-control and sync-control clients against messages written byte by byte:
// each packs its layout and traces it, each unpacks its layout and traces what it read.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "IepcsiTestSupport.h"
#include "Macros.h"
#include "TestController.h"
#include "TraceCapture.h"
#include "WireBytes.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportCfm.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportRej.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportReq.h"
#include "common_fwk_classes/iepcsi/InitCfm.h"
#include "common_fwk_classes/iepcsi/InitRej.h"
#include "common_fwk_classes/iepcsi/InitReq.h"
#include "common_fwk_classes/iepcsi/PortStatusInd.h"
#include "common_fwk_classes/iepcsi/ServerDown.h"
#include "common_fwk_classes/iepcsi/ServerUp.h"
#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusCfm.h"
#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusRej.h"
#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusReq.h"
#include "common_fwk_classes/iepcsi/TermCfm.h"
#include "common_fwk_classes/iepcsi/TermReq.h"
#include "common_fwk_classes/iepcsi/UnsubscribeEthPortStatusCfm.h"
#include "common_fwk_classes/iepcsi/UnsubscribeEthPortStatusReq.h"
#include "common_fwk_classes/sci/Primitives.h"
#include "tavi.h"

namespace Sync {
namespace Test {
namespace {

class PrimitivesTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(openFakeMailbox()); }
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

    // Unpacks bytes as received from a server.
    static void unpack(BasePrimitive& primitive, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(FakeTavi::inject(0x5005, bytes));
        void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER);
        ASSERT_NE(nullptr, msg);
        primitive.fetchPrimitive(msg);
        tavi_free(&msg);
    }

    // The only trace line of that level, checked to come from the given function.
    std::string onlyLine(uint32_t level, const char* function) {
        std::vector<std::string> texts;
        for (const TraceCapture::Line& line : traces.lines()) {
            if (line.level == level) {
                EXPECT_EQ(function, line.function);
                texts.push_back(line.text);
            }
        }
        EXPECT_EQ(1u, texts.size()) << traces.dump();
        return texts.empty() ? std::string() : texts.front();
    }

    TraceCapture traces;
};

// A primitive with its two references set, and whatever else fill sets.
template <class P>
std::shared_ptr<BasePrimitive> make(uint32_t procedureReference, uint32_t connectionReference,
                                    const std::function<void(P&)>& fill = nullptr) {
    auto primitive = std::make_shared<P>();
    primitive->setProcedureReference(procedureReference);
    primitive->setConnectionReference(connectionReference);
    if (fill)
        fill(*primitive);
    return primitive;
}

// A sync-control primitive with procedureReference 1, connectionReference 2 and the given entityId.
template <class P>
std::shared_ptr<BasePrimitive> sci(uint32_t entityId, const std::function<void(P&)>& fill = nullptr) {
    return make<P>(1, 2, [=](P& p) {
        p.setEntityId(entityId);
        if (fill)
            fill(p);
    });
}

// The sync-control header of the messages below: procedureReference 1, connectionReference 2, entityId 3.
Bytes withHeader(uint32_t msgno, size_t size) {
    return Bytes(msgno, size).header(1, 2, 3);
}

struct PackCase {
    std::shared_ptr<BasePrimitive> primitive;
    std::vector<uint8_t> expected;
    std::string trace;  // the SEND_MSG lines of constructMessage, one per line
};

std::shared_ptr<BasePrimitive> sciInitReq(uint32_t count) {
    return make<Sci::InitReq>(5, 5, [=](Sci::InitReq& p) {
        p.setSizeOfSupportedProtocolRevisions(count);
        p.setPvFirstWanted(1);
        p.setPvSecondWanted(2);
        p.setPvThirdWanted(3);
    });
}

std::string sciInitReqTrace(uint32_t count) {
    return "SCI_CONNECTION_ESTABLISHMENT_REQ with data: (procedureReference = 5, connectionReference = 5, "
           "sizeOfSupportedProtocolRevisions = " +
           std::to_string(count) + ")\n(rev1 = 1, rev2 = 2, rev3 = 3)";
}

std::shared_ptr<BasePrimitive> ptpClockType(uint8_t type) {
    return sci<Sci::PtpClockTypeSubscribeReq>(
        3, [=](Sci::PtpClockTypeSubscribeReq& p) { p.setPtpClockType(type); });
}

std::string ptpClockTypeTrace(uint8_t type, const char* name) {
    return "SCI_PTP_CLOCK_TYPE_SUBSCRIBE_REQ with data: (procedureReference = 1, connectionReference = 2, "
           "entityId "
           "=  3, ptpClockType = " +
           std::to_string(type) + " (" + name + "))";
}

TEST_F(PrimitivesTest, PacksEachOutgoingLayoutByteForByte) {
    const std::string clockTypes[] = {
        ptpClockTypeTrace(0, "GRAND_MASTER_ORDINARY_CLOCK"), ptpClockTypeTrace(1, "BOUNDARY_CLOCK"),
        ptpClockTypeTrace(2, "SLAVE_ONLY_ORDINARY_CLOCK"), ptpClockTypeTrace(7, "UNDEFINED_PTP_CLOCK_TYPE"),
        ptpClockTypeTrace(255, "UNDEFINED_PTP_CLOCK_TYPE")};
    using namespace Iepcsi;
    const PackCase cases[] = {
        {make<ServerUp>(1, 1), wire(0x1B1041, {0, 0, 0, 1, 0, 0, 0, 1}), ""},
        {make<ServerDown>(5, 0x106), wire(0x1B1042, {0, 0, 0, 5, 0, 0, 1, 6}), ""},
        {make<InitReq>(0x01020304, 0xA0B0C0D0,
                       [](InitReq& p) {
                           p.setPvFirstWanted(1);
                           p.setPvSecondWanted(2);
                           p.setPvThirdWanted(3);
                       }),
         wire(0x1B1043, {1, 2, 3, 4, 0xA0, 0xB0, 0xC0, 0xD0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3}),
         "IEPCSI_INIT_SERVICE_REQ with data: procedureReference: 16909060, connectionReference: "
         "2695938256, pvFirstWanted: 1, pvSecondWanted: 2, pvThirdWanted: 3, "},
        {make<TermReq>(7, 8), wire(0x1B1046, {0, 0, 0, 7, 0, 0, 0, 8}),
         "IEPCSI_TERM_SERVICE_REQ with data: procedureReference: 7, connectionReference: 8"},
        {make<GetEthPortSupportReq>(1, 0x770), wire(0x1B1048, {0, 0, 0, 1, 0, 0, 7, 0x70}),
         "IEPCSI_GET_ETH_PORT_SUPPORT_REQ with data: procedureReference: 1, connectionReference: 1904"},
        {make<UnsubscribeEthPortStatusReq>(
             9, 0x770, [](UnsubscribeEthPortStatusReq& p) { p.setSubscriptionReference(0xABCDEF); }),
         wire(0x1B1053, {0, 0, 0, 9, 0, 0, 7, 0x70, 0, 0xAB, 0xCD, 0xEF}),
         "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ with data: procedureReference: 9, connectionReference: "
         "1904, "
         "subscriptionReference: 11259375"},
        {make<SubscribeEthPortStatusReq>(3, 0x770,
                                         [](SubscribeEthPortStatusReq& p) {
                                             p.setPortRole(0xC);
                                             p.setPortName("TN_A");
                                         }),
         Bytes(0x1B1050, 32).refs(3, 0x770).be32(12, 0xC).chars(16, "TN_A"),
         "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ with data: procedureReference: 3, connectionReference: "
         "1904, portRole: 12, portName: TN_A"},
        {make<Sci::RecDataSubscribeReq>(7, 0x01020304, [](Sci::RecDataSubscribeReq& p) { p.setEntityId(7); }),
         wire(0x9B91D, {0, 0, 0, 7, 1, 2, 3, 4, 0, 0, 0, 7}),
         "SCI_REC_DATA_SUBSCRIBE_REQ with data: (procedureReference = 7, connectionReference = 16909060, "
         "entityId = 7)"},
        // One LDN per 256 bytes after the count, each cut to 255 characters and its NUL.
        {sci<Sci::PortScanReq>(1,
                               [](Sci::PortScanReq& p) {
                                   p.setCandidateList({"first", "second", std::string(300, 'z')});
                               }),
         Bytes(0x9B945, 788)
             .header(1, 2, 1)
             .raw(16, {3})
             .chars(17, "first")
             .chars(273, "second")
             .chars(529, std::string(255, 'z')),
         "SCI_PORT_SCAN_REQ with data: (procedureReference = 1, connectionReference = 2, entityId = 1 "
         "sizeOfCandidateList = 3)"},
        {sci<Sci::PortScanReq>(1), Bytes(0x9B945, 20).header(1, 2, 1),
         "SCI_PORT_SCAN_REQ with data: (procedureReference = 1, connectionReference = 2, entityId = 1 "
         "sizeOfCandidateList = 0)"},
        {ptpClockType(0), withHeader(0x9B953, 20).raw(16, {0}), clockTypes[0]},
        {ptpClockType(1), withHeader(0x9B953, 20).raw(16, {1}), clockTypes[1]},
        {ptpClockType(2), withHeader(0x9B953, 20).raw(16, {2}), clockTypes[2]},
        {ptpClockType(7), withHeader(0x9B953, 20).raw(16, {7}), clockTypes[3]},
        {ptpClockType(255), withHeader(0x9B953, 20).raw(16, {255}), clockTypes[4]},
        // Only the announced revisions are written, three at most.
        {sciInitReq(1), Bytes(0x9B902, 28).refs(5, 5).be32(12, 1).be32(16, 1), sciInitReqTrace(1)},
        {sciInitReq(2), Bytes(0x9B902, 28).refs(5, 5).be32(12, 2).be32(16, 1).be32(20, 2),
         sciInitReqTrace(2)},
        {sciInitReq(3), Bytes(0x9B902, 28).refs(5, 5).be32(12, 3).be32(16, 1).be32(20, 2).be32(24, 3),
         sciInitReqTrace(3)},
        {sciInitReq(9), Bytes(0x9B902, 28).refs(5, 5).be32(12, 9).be32(16, 1).be32(20, 2).be32(24, 3),
         sciInitReqTrace(9)},
    };
    for (const PackCase& c : cases) {
        SCOPED_TRACE(c.primitive->getName());
        traces.clear();
        EXPECT_EQ(c.expected, pack(*c.primitive));
        std::string sent;
        for (const TraceCapture::Line& line : traces.lines()) {
            if (line.level == TL_SEND_MSG) {
                EXPECT_EQ("constructMessage", line.function);
                sent += (sent.empty() ? "" : "\n") + line.text;
            }
        }
        EXPECT_EQ(c.trace, sent);
    }
}

// Each received message, with distinct values in every field so that a field read at the wrong offset
// or in the wrong byte order shows in the trace text, which is the only line unpacking writes.
struct UnpackCase {
    std::shared_ptr<BasePrimitive> primitive;
    std::vector<uint8_t> bytes;
    uint32_t level;
    std::string text;
};

template <class P>
std::shared_ptr<BasePrimitive> fresh() {
    return std::make_shared<P>();
}

// Words the sender wrote in its own byte order read back as they lie in memory.
std::string hostWord(std::vector<uint8_t> bytes) {
    uint32_t word = 0;
    std::memcpy(&word, bytes.data(), 4);
    return std::to_string(word);
}

TEST_F(PrimitivesTest, UnpacksEachLayoutWithItsTraceLine) {
    using namespace Iepcsi;
    const std::string pre = " with data: (procedureReference = 1, connectionReference = 2, entityId = 3";
    const std::string semiLoose = " with data: (procedureReference = 1, connectionReference = 2entityId = 3";
    const UnpackCase cases[] = {
        {fresh<ServerUp>(), wire(0x1B1041, {0, 0, 0, 1, 0, 0, 0, 2}), TL_REC_MSG, "IEPCSI_SERVER_UP_IND"},
        {fresh<ServerDown>(), wire(0x1B1042, {0, 0, 0, 1, 0, 0, 0, 2}), TL_REC_MSG, "IEPCSI_SERVER_DOWN_IND"},
        {fresh<InitCfm>(), wire(0x1B1044, {0, 0, 0, 1, 0, 0, 7, 0x70, 0, 0, 0, 1}), TL_REC_MSG,
         "IEPCSI_INIT_CFM with data: procedureReference: 1, connectionReference: 1904, pv_selected: 1"},
        {fresh<InitRej>(), wire(0x1B1045, {0, 0, 0, 1, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFD}), TL_ERROR,
         "Received message: IEPCSI_INIT_REJ with data: procedureReference: 1, connectionReference: 1, "
         "reason: -3"},
        {fresh<TermCfm>(), wire(0x1B1047, {0, 0, 0, 1, 0, 0, 7, 0x70}), TL_REC_MSG,
         "IEPCSI_TERM_SERVICE_CFM with data: procedureReference: 1, connectionReference: 1904"},
        {fresh<GetEthPortSupportRej>(), wire(0x1B104A, {0, 0, 0, 1, 0, 0, 7, 0x70, 0x80, 0, 0, 0}), TL_ERROR,
         "Received message: IEPCSI_GET_ETH_PORT_SUPPORT_REJ with data: procedureReference: 1, "
         "connectionReference: 1904, reason: 2147483648"},
        {fresh<SubscribeEthPortStatusCfm>(), wire(0x1B1051, {0, 0, 0, 7, 0, 0, 7, 0x70, 0, 0, 0x12, 0x34}),
         TL_REC_MSG,
         "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM with data: procedureReference: 7, connectionReference: "
         "1904, subscriptionReference: 4660"},
        {fresh<SubscribeEthPortStatusRej>(), wire(0x1B1052, {0, 0, 0, 7, 0, 0, 7, 0x70, 0, 0, 0, 5}),
         TL_ERROR,
         "Received message: IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REJ with data: procedureReference: 7, "
         "connectionReference: 1904, reason: 5"},
        {fresh<UnsubscribeEthPortStatusCfm>(), wire(0x1B1054, {0, 0, 0, 7, 0, 0, 7, 0x70}), TL_REC_MSG,
         "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM with data: procedureReference: 7, connectionReference: "
         "1904"},
        {fresh<Sci::RecCreateInd>(), withHeader(0x9B922, 16), TL_REC_MSG, "SCI_REC_CREATE_IND" + pre + ")"},
        {fresh<Sci::RecDataSubscribeRej>(), withHeader(0x9B91F, 20).be32(16, 4), TL_REC_MSG,
         "SCI_REC_DATA_SUBSCRIBE_REJ" + pre + ", errorCode = 4)"},
        {fresh<Sci::SemiLooseModeSubscribeCfm>(), withHeader(0x9B94A, 16), TL_REC_MSG,
         "SCI_SEMI_LOOSE_MODE_SUBSCRIBE_CFM" + semiLoose + ")"},
        {fresh<Sci::SemiLooseModeSubscribeRej>(), withHeader(0x9B94B, 20).be32(16, 4), TL_REC_MSG,
         "SCI_SEMI_LOOSE_MODE_SUBSCRIBE_REJ" + semiLoose + ", errorCode = 4)"},
        {fresh<Sci::RecSelectionProcessModeInd>(), withHeader(0x9B924, 20).be32(16, 2), TL_REC_MSG,
         "SCI_REC_SELECTION_PROCESS_MODE_IND" + pre + ", selectionProcessMode = 2)"},
        {fresh<Sci::RecClockSettledQualityInd>(), withHeader(0x9B925, 20).be32(16, 0x10B), TL_REC_MSG,
         "SCI_REC_CLOCK_SETTLED_QUALITY_IND" + pre + ", clockSettledQuality = 267)"},
        {fresh<Sci::SelectedReferenceInd>(), withHeader(0x9B916, 276).be32(16, 9).chars(20, "sel"),
         TL_REC_MSG,
         "SCI_SELECTED_REFERENCE_IND" + pre + ", selectedReference = 9, selectedReferenceLdn = sel)"},
        {fresh<Sci::TelecomStandardInd>(), withHeader(0x9B92C, 20).be32(16, 3), TL_REC_MSG,
         "SCI_TELECOM_STANDARD_IND" + pre + ", telecomStandard = 3)"},
        {fresh<Sci::RecrUseQLFromInd>(), withHeader(0x9B926, 276).chars(16, "ref").be32(272, 6), TL_REC_MSG,
         "SCI_RECR_USE_QL_FROM_IND" + pre + ", referenceLdn = ref, useQLFrom = 6"},
        {fresh<Sci::CandidateAssistRefInd>(), withHeader(0x9B95C, 272).chars(16, "as"), TL_REC_MSG,
         "SCI_ASSIST_INFO_IND" + pre + ", ldn = as)"},
        {fresh<Sci::RecrConfigInd>(),
         withHeader(0x9B964, 280).raw(16, {5, 0, 0, 0}).raw(20, {0, 0, 0, 5}).chars(24, "cfg"), TL_REC_MSG,
         "SCI_RECR_QL_CONFIG_IND" + pre + ", assistQLFrom = " + hostWord({5, 0, 0, 0}) +
             ", remappedQL = " + hostWord({0, 0, 0, 5}) + ", ldn = cfg)"},
        {fresh<Sci::FruDataInd>(),
         withHeader(0x9B958, 536).be32(16, 4).chars(20, "hunt").chars(276, "fru").raw(532, {1}), TL_REC_MSG,
         "SCI_FRU_DATA_IND with data: procedureReference = 1, connectionReference = 2, entityId = 3, "
         "vendorId = 4, huntPath = hunt, ldn = fru, activated = 1"},
        {fresh<Sci::DegradedStatusInd>(), withHeader(0x9B944, 24).raw(16, {1, 9, 9, 9}).be32(20, 7),
         TL_REC_MSG, "SCI_DEGRADED_STATUS_IND" + pre + ", isDegraded = 1, refType = 7)"},
        {fresh<Sci::SemiLooseModeInd>(), withHeader(0x9B94C, 276).raw(16, {2}).chars(17, "clk"), TL_REC_MSG,
         "SCI_SEMI_LOOSE_MODE_IND" + pre + ", state = 2, clockLdn = clk)"},
        {fresh<Sci::OverridePtpDataInd>(), withHeader(0x9B968, 20).raw(16, {6, 1, 1, 1}), TL_REC_MSG,
         "SCI_OVERRIDE_PTP_DATA_IND" + pre + ", clockClass = 6)"},
        {fresh<Sci::PortScanRsp>(), withHeader(0x9B946, 17).raw(16, {0}), TL_REC_MSG,
         "SCI_PORT_SCAN_RSP" + pre + ", sizeOfFailedToLockCandidates = 0)"},
        {fresh<Sci::InitCfm>(), Bytes(0x9B903, 16).header(1, 2, 8), TL_REC_MSG,
         "SCI_CONNECTION_ESTABLISHMENT_CFM with data: (procedureReference = 1, connectionReference = 2, "
         "selectedProtocolRevision = 8)"},
        {fresh<Sci::InitRej>(), Bytes(0x9B904, 16).header(1, 2, 4), TL_REC_MSG,
         "SCI_CONNECTION_ESTABLISHMENT_REJ with data: (procedureReference = 1, connectionReference = 2, "
         "errorCode = 4)"},
        {fresh<Sci::ServerDown>(), Bytes(0x9B901, 12).refs(1, 2), TL_REC_MSG,
         "SCI_SERVER_DOWN_IND with data: (procedureReference = 1, connectionReference = 2)"},
        {fresh<Sci::ServerUp>(), Bytes(0x1900001, 8), TL_REC_MSG, "KOLM_SERVICE_ADDED_IND"},
    };
    for (const UnpackCase& c : cases) {
        SCOPED_TRACE(c.primitive->getName());
        traces.clear();
        unpack(*c.primitive, c.bytes);
        EXPECT_EQ(c.text, onlyLine(c.level, "fetchPrimitive"));
        EXPECT_EQ(1u, traces.lines().size()) << traces.dump();
    }
}

TEST_F(PrimitivesTest, FieldsTheTraceDoesNotShowAreReadAsTheyLie) {
    // The confirmation keeps only the references.
    Sci::InitCfm confirmation;
    unpack(confirmation, Bytes(0x9B903, 16).header(0x61, 0x62, 4));
    EXPECT_EQ(0x61u, confirmation.getProcedureReference());
    EXPECT_EQ(0x62u, confirmation.getConnectionReference());
    EXPECT_EQ(0u, confirmation.getPvSelected());

    // The loose time difference is read without byte swap; the state is sixteen bits big-endian and packs
    // back as such.
    Sci::LooseTimeDiffInd diff;
    unpack(diff, withHeader(0x9B93E, 24).raw(16, {0, 0, 0, 5}).raw(20, {1, 0, 0, 0}));
    EXPECT_EQ(hostWord({0, 0, 0, 5}), std::to_string(diff.getSpLooseTimeDiffSec()));
    EXPECT_EQ(hostWord({1, 0, 0, 0}), std::to_string(diff.getSpLooseTimeDiffMicroSec()));
    Sci::LooseTimeStateInd state;
    unpack(state, withHeader(0x9B938, 20).raw(16, {0x01, 0x02, 0xFF, 0xFF}));
    EXPECT_EQ(0x0102u, state.getSpLooseTimeState());
    EXPECT_EQ(withHeader(0x9B938, 20).raw(16, {0x01, 0x02}).get(), pack(state));

    // A port-scan answer replaces the list with the received one.
    Sci::PortScanRsp response;
    response.setFailedToLockCandidates({"stale"});
    unpack(response, withHeader(0x9B946, 17 + 512).raw(16, {2}).chars(17, "a").chars(273, "b"));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), response.getFailedToLockCandidates());
}

// How a text is cut to its field is the framework's: the subscription's own part is that it forgets
// the port once packed.
TEST_F(PrimitivesTest, SubscriptionForgetsThePortOncePacked) {
    Iepcsi::SubscribeEthPortStatusReq request;
    request.setPortRole(4);
    request.setPortName("TN_A");
    pack(request);
    EXPECT_EQ(0u, request.getPortRole());
    EXPECT_EQ("", request.getPortName());
    EXPECT_EQ(Bytes(0x1B1050, 32).refs(0xFFFFFFFF, 0xFFFFFFFF).get(), pack(request));
}

TEST_F(PrimitivesTest, PortStatusDecodesStatesNameAndNamespace) {
    const struct {
        size_t size;  // 36: no namespace bytes; 42: the namespace runs to the end; 48: junk after its NUL
        uint32_t admin, oper;
        const char* name;  // at 20; 16 characters fill the field
        const char* ns;    // at 36
        bool adminUnlocked, operEnabled;
        std::set<uint32_t> availability;
    } cases[] = {
        {44, 2, 0, "TN_A", "red", false, false, {1}},
        {48, 1, 1, "TN_A", "blue", true, true, {}},
        {40, 0, 2, "TN_B", "", false, false, {1}},
        {42, 1, 1, "ABCDEFGHIJKLMNOP", "ns-red", true, true, {}},
        {36, 1, 3, "TN_C", "", true, false, {1}},
    };
    // Run on one instance, as the interface does: every message must overwrite the last one's status.
    Iepcsi::PortStatusInd status;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + std::string(" ") + c.ns);
        Bytes bytes(IepcsiNo::ETH_PORT_STATUS_IND, c.size);
        bytes.refs(7, 0x770).be32(12, c.admin).be32(16, c.oper).chars(20, c.name).chars(36, c.ns);
        if (c.size == 48)
            bytes.chars(41, "junk");
        unpack(status, bytes);
        const Iepcsi::PortStatusInd::PortStatus& s = status.getPortStatus();
        EXPECT_EQ(7u, status.getProcedureReference());
        EXPECT_EQ(0x770u, status.getConnectionReference());
        EXPECT_EQ(c.adminUnlocked, s.adminUnlocked);
        EXPECT_EQ(c.operEnabled, s.operEnabled);
        EXPECT_EQ(c.availability, s.availabilityStatus);
        EXPECT_EQ(c.name, s.portName);
        EXPECT_EQ(c.ns, s.networkNamespace);
    }
}

}  // namespace
}  // namespace Test
}  // namespace Sync
