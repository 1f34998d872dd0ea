#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScenarioParser.h"

namespace SyncSim {
namespace {

using Step = Scenario::Step;
using Order = DataPlaneClient::Order;

// Two ports every step line below may name; the step under test is line 3.
const std::string TABLE =
    "port fronthaul 7 00:11:22:33:44:5F TnPort-A eth-a unlocked enabled ns-a  # comment\n"
    "port 0x2 8 aa:bb:cc:dd:ee:ff TnPort-B eth-b 0 2\n";

TEST(ScenarioParserTest, PortTableLinesBecomeThePortControlServersTable) {
    ScenarioParser parser;
    ASSERT_TRUE(parser.parse("\n# only a comment\n" + TABLE +
                             "port fronthaul 9 00:00:00:00:00:01 "
                             "SixteenCharsLong eighteen-chars-ifc locked "
                             "disabled -\n"))
        << parser.errors().front();
    const auto& ports = parser.scenario().ports;
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].role, PortControlServer::ROLE_C2);
    EXPECT_EQ(ports[0].rhaiId, 7u);
    EXPECT_EQ(ports[0].macAddress, (std::array<uint8_t, 6>{0x00, 0x11, 0x22, 0x33, 0x44, 0x5F}));
    EXPECT_EQ(ports[0].portName, "TnPort-A");
    EXPECT_EQ(ports[0].interfaceName, "eth-a");
    EXPECT_EQ(ports[0].adminState, 1u);
    EXPECT_EQ(ports[0].operState, 1u);
    EXPECT_EQ(ports[0].networkNamespace, "ns-a");
    EXPECT_EQ(ports[1].role, 2u);
    EXPECT_EQ(ports[1].adminState, 0u);
    EXPECT_EQ(ports[1].operState, 2u);
    EXPECT_EQ(ports[1].networkNamespace, "");
    EXPECT_EQ(ports[2].portName, "SixteenCharsLong");
    EXPECT_EQ(ports[2].networkNamespace, "");
    EXPECT_TRUE(parser.scenario().steps.empty());
}

// The lines the demo and the bus tests' scenarios use are pinned by what the daemon then does; these
// are the others.
TEST(ScenarioParserTest, EachStepLineGivesItsStep) {
    struct Case {
        std::string line;
        Step expected;
    };
    auto step = [](Step::Kind kind) {
        Step s;
        s.kind = kind;
        return s;
    };
    auto with = [](Step s, auto change) {
        change(s);
        return s;
    };
    const std::vector<Case> cases = {
        {"status all shuttingdown 0", with(step(Step::PORT_STATUS), [](Step& s) { s.adminState = 2; })},
        {"send-status TnPort-A", with(step(Step::SEND_STATUS), [](Step& s) { s.portName = "TnPort-A"; })},
        {"namespace TnPort-A ns-b",
         with(step(Step::PORT_NAMESPACE), [](Step& s) { s.portName = "TnPort-A", s.text = "ns-b"; })},
        {"namespace TnPort-A -", with(step(Step::PORT_NAMESPACE), [](Step& s) { s.portName = "TnPort-A"; })},
        {"rec-delete", step(Step::REC_DELETE)},
        {"clock-quality prc", with(step(Step::CLOCK_QUALITY), [](Step& s) { s.value = 1; })},
        {"clock-quality 0x17", with(step(Step::CLOCK_QUALITY), [](Step& s) { s.value = 23; })},
        {"telecom-standard OPTION_III", with(step(Step::TELECOM_STANDARD), [](Step& s) { s.value = 3; })},
        {"selected-reference 4 SyncRef=4",
         with(step(Step::SELECTED_REFERENCE), [](Step& s) { s.value = 4, s.text = "SyncRef=4"; })},
        {"wait sync-subscriptions 3 3600s",
         with(step(Step::WAIT_SYNC_SUBSCRIPTIONS), [](Step& s) { s.count = 3, s.timeoutMs = 3600000; })},
        {"  wait   orders esmc_control 1 1ms  # trailing comment",
         with(step(Step::WAIT_ORDERS),
              [](Step& s) { s.orderKind = Order::ESMC_CONTROL, s.count = 1, s.timeoutMs = 1; })},
        {"exit", step(Step::EXIT)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ScenarioParser parser;
        ASSERT_TRUE(parser.parse(TABLE + c.line + "\n")) << parser.errors().front();
        ASSERT_EQ(parser.scenario().steps.size(), 1u);
        const Step& got = parser.scenario().steps[0];
        EXPECT_EQ(got.kind, c.expected.kind);
        EXPECT_EQ(got.line, 3u);
        EXPECT_EQ(got.portName, c.expected.portName);
        EXPECT_EQ(got.adminState, c.expected.adminState);
        EXPECT_EQ(got.operState, c.expected.operState);
        EXPECT_EQ(got.value, c.expected.value);
        EXPECT_EQ(got.text, c.expected.text);
        EXPECT_EQ(got.count, c.expected.count);
        EXPECT_EQ(got.orderKind, c.expected.orderKind);
        EXPECT_EQ(got.timeoutMs, c.expected.timeoutMs);
        EXPECT_EQ(parser.scenario().endsWithExit(), c.expected.kind == Step::EXIT);
    }
}

TEST(ScenarioParserTest, BadLinesAreNamedByLineAndNothingIsKept) {
    struct Case {
        std::string line;
        std::string reason;  // part of the error text
    };
    const std::vector<Case> cases = {
        {"jump TnPort-A", "unknown keyword jump"},
        {"port fronthaul 1 00:11:22:33:44:55 TnPort-C eth-c unlocked enabled ns extra", "port needs"},
        {"port core 1 00:11:22:33:44:55 TnPort-C eth-c unlocked enabled", "role"},
        {"port fronthaul 0x100000000 00:11:22:33:44:55 TnPort-C eth-c unlocked enabled",
         "rhaiId must be a number from 0 to 4294967295"},
        {"port fronthaul 1 00:11:22:33:44 TnPort-C eth-c unlocked enabled", "MAC address"},
        {"port fronthaul 1 00:11:22:33:44:55 SeventeenCharsLng eth-c unlocked enabled", "at most 16"},
        {"port fronthaul 1 00:11:22:33:44:55 all eth-c unlocked enabled", "\"all\""},
        {"port fronthaul 1 00:11:22:33:44:55 TnPort-A eth-c unlocked enabled", "already in the table"},
        {"port fronthaul 1 00:11:22:33:44:55 TnPort-C nineteen-chars-ifce unlocked enabled", "at most 18"},
        {"port fronthaul 1 00:11:22:33:44:55 TnPort-C eth-c open enabled", "administrative state"},
        {"port fronthaul 1 00:11:22:33:44:55 TnPort-C eth-c unlocked up", "operational state"},
        {"port fronthaul 1 00:11:22:33:44:55 TnPort-C eth-c unlocked enabled " + std::string(64, 'n'),
         "at most 63"},
        {"status TnPort-Z unlocked enabled", "TnPort-Z is not in the table"},
        {"status TnPort-A unlocked", "status needs"},
        {"status all up enabled", "administrative state"},
        {"status all unlocked 1x", "operational state"},
        {"send-status", "send-status needs"},
        {"namespace all ns", "all is not in the table"},
        {"rec-create now", "rec-create needs no arguments"},
        {"clock-quality BEST", "quality level must be one of"},
        {"clock-quality", "clock-quality needs"},
        {"selection-mode ON", "selection process mode"},
        {"telecom-standard OPTION_IV", "telecom standard"},
        {"selected-reference first SyncRef=1", "selected reference must be a number"},
        {"mac-forward 02:00:5e:10:00", "MAC address"},
        {"wait", "wait needs"},
        {"wait forever 1s", "wait needs"},
        {"wait connected", "needs a timeout"},
        {"wait connected 10", "timeout must read like"},
        {"wait connected 0s", "timeout must read like"},
        {"wait connected 3601s", "timeout must read like"},
        {"wait connected 10min", "timeout must read like"},
        {"wait port-subscriptions 0 1s", "count must be a number from 1 to 4294967295"},
        {"wait sync-subscriptions three 1s", "count must be a number from 1 to 4294967295"},
        {"wait orders TRANSMIT_SSM 1s", "needs a kind, a count and a timeout"},
        {"exit now", "exit needs no arguments"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ScenarioParser parser;
        EXPECT_FALSE(parser.parse(TABLE + c.line + "\n"));
        ASSERT_EQ(parser.errors().size(), 1u);
        EXPECT_EQ(parser.errors()[0].rfind("line 3: ", 0), 0u) << parser.errors()[0];
        EXPECT_NE(parser.errors()[0].find(c.reason), std::string::npos) << parser.errors()[0];
        EXPECT_TRUE(parser.scenario().ports.empty());
        EXPECT_TRUE(parser.scenario().steps.empty());
    }
}

TEST(ScenarioParserTest, OrderOfTheFileIsEnforcedAndEveryBadLineReported) {
    ScenarioParser parser;
    EXPECT_FALSE(parser.parse(TABLE +
                              "rec-create\n"                                                         // 3
                              "port fronthaul 1 00:11:22:33:44:55 TnPort-C eth-c locked disabled\n"  // 4
                              "\n"                                                                   // 5
                              "clock-quality nine\n"                                                 // 6
                              "exit\n"                                                               // 7
                              "rec-delete\n"));                                                      // 8
    ASSERT_EQ(parser.errors().size(), 3u);
    EXPECT_EQ(parser.errors()[0].rfind("line 4: the port table comes before the first step", 0), 0u)
        << parser.errors()[0];
    EXPECT_EQ(parser.errors()[1].rfind("line 6: ", 0), 0u) << parser.errors()[1];
    EXPECT_EQ(parser.errors()[2].rfind("line 8: nothing may follow exit", 0), 0u) << parser.errors()[2];

    // A parser used again starts afresh.
    EXPECT_TRUE(parser.parse(TABLE + "exit\n"));
    EXPECT_TRUE(parser.errors().empty());
    EXPECT_EQ(parser.scenario().ports.size(), 2u);
}

}  // namespace
}  // namespace SyncSim
