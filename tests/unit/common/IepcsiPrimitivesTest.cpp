#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "IepcsiTestSupport.h"
#include "Macros.h"
#include "TraceCapture.h"
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
#include "tavi.h"

namespace Sync {
namespace Test {
namespace {

using namespace Iepcsi;

// msgno as the mailbox library writes it, then the given bytes.
std::vector<uint8_t> wire(uint32_t msgno, std::vector<uint8_t> rest) {
    std::vector<uint8_t> bytes(4 + rest.size());
    std::memcpy(bytes.data(), &msgno, 4);
    std::copy(rest.begin(), rest.end(), bytes.begin() + 4);
    return bytes;
}

class IepcsiPrimitivesTest : public ::testing::Test {
  protected:
    static constexpr uint32_t SERVER = 0x3003;

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

    // Unpacks bytes as received from the server.
    static void unpack(BasePrimitive& primitive, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(FakeTavi::inject(SERVER, bytes));
        void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER);
        ASSERT_NE(nullptr, msg);
        primitive.fetchPrimitive(msg);
        tavi_free(&msg);
    }

    TraceCapture traces;
};

// A primitive with its two references set, and whatever else fill sets.
template <class P>
std::unique_ptr<BasePrimitive> make(uint32_t procedureReference, uint32_t connectionReference,
                                    const std::function<void(P&)>& fill = nullptr) {
    auto primitive = std::make_unique<P>();
    primitive->setProcedureReference(procedureReference);
    primitive->setConnectionReference(connectionReference);
    if (fill)
        fill(*primitive);
    return primitive;
}

struct PackCase {
    std::unique_ptr<BasePrimitive> primitive;
    std::vector<uint8_t> expected;
    const char* trace;  // SEND_MSG line under constructMessage; null: packing writes nothing
};

std::vector<PackCase> packCases() {
    std::vector<PackCase> cases;
    cases.push_back({make<ServerUp>(1, 1), wire(0x1B1041, {0, 0, 0, 1, 0, 0, 0, 1}), nullptr});
    cases.push_back({make<ServerDown>(5, 0x106), wire(0x1B1042, {0, 0, 0, 5, 0, 0, 1, 6}), nullptr});
    cases.push_back({make<InitReq>(0x01020304, 0xA0B0C0D0,
                                   [](InitReq& p) {
                                       p.setPvFirstWanted(1);
                                       p.setPvSecondWanted(2);
                                       p.setPvThirdWanted(3);
                                   }),
                     wire(0x1B1043, {1, 2, 3, 4, 0xA0, 0xB0, 0xC0, 0xD0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3}),
                     "IEPCSI_INIT_SERVICE_REQ with data: procedureReference: 16909060, connectionReference: "
                     "2695938256, pvFirstWanted: 1, pvSecondWanted: 2, pvThirdWanted: 3, "});
    cases.push_back({make<TermReq>(7, 8), wire(0x1B1046, {0, 0, 0, 7, 0, 0, 0, 8}),
                     "IEPCSI_TERM_SERVICE_REQ with data: procedureReference: 7, connectionReference: 8"});
    cases.push_back(
        {make<GetEthPortSupportReq>(1, 0x770), wire(0x1B1048, {0, 0, 0, 1, 0, 0, 7, 0x70}),
         "IEPCSI_GET_ETH_PORT_SUPPORT_REQ with data: procedureReference: 1, connectionReference: 1904"});
    cases.push_back(
        {make<UnsubscribeEthPortStatusReq>(
             9, 0x770, [](UnsubscribeEthPortStatusReq& p) { p.setSubscriptionReference(0xABCDEF); }),
         wire(0x1B1053, {0, 0, 0, 9, 0, 0, 7, 0x70, 0, 0xAB, 0xCD, 0xEF}),
         "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ with data: procedureReference: 9, connectionReference: "
         "1904, "
         "subscriptionReference: 11259375"});
    cases.push_back(
        {make<SubscribeEthPortStatusReq>(3, 0x770,
                                         [](SubscribeEthPortStatusReq& p) {
                                             p.setPortRole(0xC);
                                             p.setPortName("TN_A");
                                         }),
         wire(0x1B1050, {0,   0,   0, 3, 0, 0, 7, 0x70, 0, 0, 0, 0xC, 'T', 'N',
                         '_', 'A', 0, 0, 0, 0, 0, 0,    0, 0, 0, 0,   0,   0}),
         "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ with data: procedureReference: 3, connectionReference: "
         "1904, portRole: 12, portName: TN_A"});
    return cases;
}

TEST_F(IepcsiPrimitivesTest, PacksEachOutgoingLayoutByteForByte) {
    for (const PackCase& c : packCases()) {
        SCOPED_TRACE(c.primitive->getName());
        traces.clear();
        EXPECT_EQ(c.expected, pack(*c.primitive));
        const std::vector<std::string> sent = textsAt(traces, TL_SEND_MSG);
        if (c.trace == nullptr) {
            EXPECT_TRUE(sent.empty()) << traces.dump();
            continue;
        }
        ASSERT_EQ(1u, sent.size()) << traces.dump();
        EXPECT_EQ(c.trace, sent[0]);
        for (const TraceCapture::Line& line : traces.lines()) {
            if (line.level == TL_SEND_MSG) {
                EXPECT_EQ("constructMessage", line.function);
            }
        }
    }
}

TEST_F(IepcsiPrimitivesTest, SubscriptionCutsLongPortNamesAndForgetsThePortOncePacked) {
    SubscribeEthPortStatusReq request;
    request.setProcedureReference(3);
    request.setConnectionReference(4);
    request.setPortRole(4);
    request.setPortName("fronthaul-port-17");  // 17 characters
    const std::vector<uint8_t> bytes = pack(request);
    ASSERT_EQ(32u, bytes.size());
    // 15 characters and the NUL fill the 16-byte field at 16.
    EXPECT_EQ("fronthaul-port-", std::string(reinterpret_cast<const char*>(&bytes[16]), 15));
    EXPECT_EQ(0, bytes[31]);
    EXPECT_TRUE(traces.contains(TL_SEND_MSG, "portRole: 4, portName: fronthaul-port-"));
    EXPECT_EQ(0u, request.getPortRole());
    EXPECT_EQ("", request.getPortName());

    // Exactly 16 characters lose their last one as well.
    request.setPortName("ABCDEFGHIJKLMNOP");
    const std::vector<uint8_t> again = pack(request);
    EXPECT_EQ("ABCDEFGHIJKLMNO", std::string(reinterpret_cast<const char*>(&again[16])));
    EXPECT_EQ(0u, again[15]) << "role reset to 0 after the first packing";
}

struct UnpackCase {
    std::unique_ptr<BasePrimitive> primitive;
    std::vector<uint8_t> bytes;
    uint32_t level;
    const char* trace;  // the payload shows here as the primitive stored it
};

std::vector<UnpackCase> unpackCases() {
    std::vector<UnpackCase> cases;
    cases.push_back({std::make_unique<ServerUp>(), wire(0x1B1041, {0, 0, 0, 1, 0, 0, 0, 2}), TL_REC_MSG,
                     "IEPCSI_SERVER_UP_IND"});
    cases.push_back({std::make_unique<ServerDown>(), wire(0x1B1042, {0, 0, 0, 1, 0, 0, 0, 2}), TL_REC_MSG,
                     "IEPCSI_SERVER_DOWN_IND"});
    cases.push_back(
        {std::make_unique<InitCfm>(), wire(0x1B1044, {0, 0, 0, 1, 0, 0, 7, 0x70, 0, 0, 0, 1}), TL_REC_MSG,
         "IEPCSI_INIT_CFM with data: procedureReference: 1, connectionReference: 1904, pv_selected: 1"});
    cases.push_back(
        {std::make_unique<InitRej>(), wire(0x1B1045, {0, 0, 0, 1, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFD}),
         TL_ERROR,
         "Received message: IEPCSI_INIT_REJ with data: procedureReference: 1, connectionReference: 1, "
         "reason: -3"});
    cases.push_back({std::make_unique<TermCfm>(), wire(0x1B1047, {0, 0, 0, 1, 0, 0, 7, 0x70}), TL_REC_MSG,
                     "IEPCSI_TERM_SERVICE_CFM with data: procedureReference: 1, connectionReference: 1904"});
    cases.push_back({std::make_unique<GetEthPortSupportRej>(),
                     wire(0x1B104A, {0, 0, 0, 1, 0, 0, 7, 0x70, 0x80, 0, 0, 0}), TL_ERROR,
                     "Received message: IEPCSI_GET_ETH_PORT_SUPPORT_REJ with data: procedureReference: 1, "
                     "connectionReference: 1904, reason: 2147483648"});
    cases.push_back(
        {std::make_unique<SubscribeEthPortStatusCfm>(),
         wire(0x1B1051, {0, 0, 0, 7, 0, 0, 7, 0x70, 0, 0, 0x12, 0x34}), TL_REC_MSG,
         "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM with data: procedureReference: 7, connectionReference: "
         "1904, subscriptionReference: 4660"});
    cases.push_back(
        {std::make_unique<SubscribeEthPortStatusRej>(),
         wire(0x1B1052, {0, 0, 0, 7, 0, 0, 7, 0x70, 0, 0, 0, 5}), TL_ERROR,
         "Received message: IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REJ with data: procedureReference: 7, "
         "connectionReference: 1904, reason: 5"});
    cases.push_back(
        {std::make_unique<UnsubscribeEthPortStatusCfm>(), wire(0x1B1054, {0, 0, 0, 7, 0, 0, 7, 0x70}),
         TL_REC_MSG,
         "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM with data: procedureReference: 7, connectionReference: "
         "1904"});
    return cases;
}

TEST_F(IepcsiPrimitivesTest, UnpacksEachFixedLayoutWithItsTraceLine) {
    for (const UnpackCase& c : unpackCases()) {
        SCOPED_TRACE(c.primitive->getName());
        traces.clear();
        unpack(*c.primitive, c.bytes);
        ASSERT_EQ(1u, traces.lines().size()) << traces.dump();
        EXPECT_EQ(c.level, traces.lines()[0].level);
        EXPECT_EQ(c.trace, traces.lines()[0].text);
        EXPECT_EQ("fetchPrimitive", traces.lines()[0].function);
        EXPECT_EQ(c.bytes[7], c.primitive->getProcedureReference());
    }
    // The accessors the model handler reads.
    SubscribeEthPortStatusCfm cfm;
    unpack(cfm, wire(0x1B1051, {0, 0, 0, 7, 0, 0, 7, 0x70, 0, 0, 0x12, 0x34}));
    EXPECT_EQ(0x1234u, cfm.getSubscriptionReference());
}

TEST_F(IepcsiPrimitivesTest, PortSupportRecordsAreReadAtTheirOffsets) {
    Bytes message(IepcsiNo::GET_ETH_PORT_SUPPORT_CFM, 112);
    message.refs(1, 0x770).be32(12, 2);
    // Record 0 from 16: role, rhaiId, MAC at 24, port name at 30, interface name at 46.
    message.be32(16, 0x4)
        .be32(20, 42)
        .raw(24, {0x02, 0x1A, 0xFF, 0x00, 0x0B, 0x7C})
        .chars(30, "TN_A")
        .chars(46, "eth0");
    // Record 1 from 64: both names fill their fields (16 and 18 characters, no NUL).
    message.be32(64, 0xD).be32(68, 0x01000000).raw(72, {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF});
    message.chars(78, "ABCDEFGHIJKLMNOP").chars(94, "fronthaul-if-00001");

    GetEthPortSupportCfm cfm;
    unpack(cfm, message);
    const std::vector<GetEthPortSupportCfm::PortRecord>& records = cfm.getPortRecords();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(4u, records[0].portRole);
    EXPECT_EQ(42u, records[0].rhaiId);
    EXPECT_EQ("02:1a:ff:00:0b:7c", records[0].macAddress);
    EXPECT_EQ("TN_A", records[0].portName);
    EXPECT_EQ("eth0", records[0].interfaceName);
    EXPECT_EQ(13u, records[1].portRole);
    EXPECT_EQ(16777216u, records[1].rhaiId);
    EXPECT_EQ("aa:bb:cc:dd:ee:ff", records[1].macAddress);
    EXPECT_EQ("ABCDEFGHIJKLMNOP", records[1].portName);
    EXPECT_EQ("fronthaul-if-00001", records[1].interfaceName);
}

TEST_F(IepcsiPrimitivesTest, EachPortSupportMessageReplacesTheList) {
    GetEthPortSupportCfm cfm;
    unpack(cfm, portSupportCfm(1, 2, {{4, "A"}, {4, "B"}, {8, "C"}}));
    ASSERT_EQ(3u, cfm.getPortRecords().size());

    unpack(cfm, portSupportCfm(1, 2, {{1, "D"}}));
    ASSERT_EQ(1u, cfm.getPortRecords().size());
    EXPECT_EQ("D", cfm.getPortRecords()[0].portName);

    traces.clear();
    unpack(cfm, portSupportCfm(1, 2, {}));
    EXPECT_TRUE(cfm.getPortRecords().empty());
    EXPECT_EQ(1u, textsAt(traces, TL_REC_MSG).size()) << "header line only";
}

TEST_F(IepcsiPrimitivesTest, PortStatusDecodesStatesNameAndNamespace) {
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
    PortStatusInd status;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + std::string(" ") + c.ns);
        Bytes bytes(IepcsiNo::ETH_PORT_STATUS_IND, c.size);
        bytes.refs(7, 0x770).be32(12, c.admin).be32(16, c.oper).chars(20, c.name).chars(36, c.ns);
        if (c.size == 48)
            bytes.chars(41, "junk");
        unpack(status, bytes);
        const PortStatusInd::PortStatus& s = status.getPortStatus();
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
