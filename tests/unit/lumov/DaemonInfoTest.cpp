// The operator's "synclumovcontrol info" answered from the model of the running daemon.
#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "DaemonHarness.h"
#include "common_fwk_classes/coli/ServiceHandler.h"

namespace Sync {
namespace Test {
namespace {

const std::string DASHES = " ----------------------------------------------------------------";

// The answer's lines, with the time stamps (which change from run to run) replaced by "T".
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    const std::regex stamp(R"(\[[^\]]*\])");
    const std::regex completed("^completed at .*$");
    for (std::string line; std::getline(in, line);) {
        line = std::regex_replace(line, stamp, "[T]");
        line = std::regex_replace(line, completed, "completed at T");
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> portBlock(uint32_t id, const std::string& name, const std::string& mac,
                                   const std::string& interfaceName, const std::string& ns, int rhaiId,
                                   unsigned admin, bool enabled,
                                   const std::vector<std::string>& availability) {
    const std::string n = std::to_string(id);
    std::vector<std::string> lines = {
        " #FronthaulEthernetPort, id : " + n + " ",
        DASHES,
        "  ldn                       : " + name,
        "  tnport name               : " + name,
        "  mac address               : " + mac,
        "  interface name            : " + interfaceName,
        "  network namespace         : (" + ns + ")",
        "  rhaiId                    : " + std::to_string(rhaiId),
        "  vlanId                    : -1",
        "  iepcsiId                  : " + n,
        "  iepcsiLdn                 : " + interfaceName,
        "  iepcsiRole                : 4",
        "  administrativeState       : " + std::to_string(admin),
        std::string("  operationalState          : ") + (enabled ? "ENABLED" : "DISABLED"),
        "  availabilityStatus        :",
    };
    for (const std::string& item : availability) {
        lines.push_back("    - " + item);
    }
    for (const std::string& line :
         {std::string("  isLag                     : (-1)"),
          std::string("  lagPortLdn                : (NONE)"), DASHES, std::string()}) {
        lines.push_back(line);
    }
    return lines;
}

class DaemonInfoTest : public DaemonTest {};

TEST_F(DaemonInfoTest, InfoAllPrintsFeatureActiveOutputsAndPortsLineByLine) {
    iepcsiUp();
    deliver(IEPCSI, portSupport({{0x4, 100, {2, 0, 0, 0, 0, 0xa}, "TN_A", "eth0"},
                                 {0x4, 101, {2, 0, 0, 0, 0, 0xb}, "TN_B", "eth1"}}));
    const auto requests = takeSentTo(IEPCSI);
    ASSERT_EQ(3u, requests.size());
    const uint32_t portA = be32At(requests[1], 4);
    const uint32_t portB = be32At(requests[2], 4);
    portStatus(portA, true, true, "TN_A", "ns1");
    portStatus(portB, true, false, "TN_B", "ns2");
    sciUp();
    sciValue(No::SCI_REC_CLOCK_SETTLED_QUALITY_IND, 20);
    sciValue(No::SCI_REC_SELECTION_PROCESS_MODE_IND, 1);
    sciIndication(No::SCI_REC_CREATE_IND);
    ASSERT_TRUE(traces().contains(TL_RETURN, "SyncEthOutput id: "));

    const std::vector<std::string> lines = linesOf(command({"synclumovcontrol", "info", "all"}));

    std::vector<std::string> expected = {
        "********************** Output Feature Info **********************",
        DASHES,
        "  recState                  : 1(ACTIVATED)",
        "  selectionProcessMode      : 1(QL_ENABLED)",
        "  clockSettledQuality       : 0x14",
        "  selectedReferenceLdn      : ",
        "  portOfActiveReferenceLdn  : ",
        "  lagPortLdnOfActiveReference : ",
        "  telecomStandard           : OPTION_I",
        "  mySyncEMasterId           : 0000000000000000",
        "  syncEMasterId             : 0000000000000000",
        "  flag                      : 0x02",
        "  numberCascadedEeec        : 1",
        "  numberCascadedEec         : 0",
        " --------------- Settled quality level history ------------------",
        "  [T] : 15 (QL_UNKNOWN) ",
        "  [T] : 20 (EPRTC) ",
        DASHES,
        "",
        "************************* SyncEthOutput *************************",
        " #Total SyncEthOutput: 2",
        " #Displaying only active output(s): ",
        "",
    };
    // Only the output of the port that is up is shown; its id is the one it was created with.
    const std::string outputIdText = [this] {
        for (const auto& line : traces().lines()) {
            const size_t at = line.text.find("SyncEthOutput id: ");
            if (line.level == TL_RETURN && at != std::string::npos) {
                return line.text.substr(at + std::string("SyncEthOutput id: ").size());
            }
        }
        return std::string();
    }();
    for (const std::string& line :
         {" #SyncEthOutput, id: " + outputIdText + " ", DASHES, std::string("  ldn of ethernetPort  : TN_A"),
          std::string("  ssm                  : 0x02"), std::string("  enhancedSsmCode      : 0x21"),
          std::string("  synceOutputEnabled   : true"), std::string()}) {
        expected.push_back(line);
    }
    for (const std::string& line :
         {std::string("****************** Subscribing EthernetPort MO ******************"),
          std::string(" #Total subscribing EthernetPort MO: 2"), std::string()}) {
        expected.push_back(line);
    }
    for (const auto& block :
         {portBlock(portA, "TN_A", "02:00:00:00:00:0a", "eth0", "ns1", 100, 1, true, {}),
          portBlock(portB, "TN_B", "02:00:00:00:00:0b", "eth1", "ns2", 101, 1, false, {"true"})}) {
        expected.insert(expected.end(), block.begin(), block.end());
    }
    expected.push_back("completed at T");

    EXPECT_EQ(expected, lines);
}

TEST_F(DaemonInfoTest, EachSelectionPrintsOnlyItsBlock) {
    const struct {
        const char* word;
        std::vector<std::string> lines;
    } cases[] = {
        {"output",
         {"************************* SyncEthOutput *************************", " #Total SyncEthOutput: 0",
          "completed at T"}},
        {"ethernet",
         {"****************** Subscribing EthernetPort MO ******************",
          " #Total subscribing EthernetPort MO: 0", "", "completed at T"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.lines, linesOf(command({"synclumovcontrol", "info", c.word}))) << c.word;
    }
    const std::vector<std::string> feature = linesOf(command({"synclumovcontrol", "info", "feature"}));
    ASSERT_FALSE(feature.empty());
    EXPECT_EQ("********************** Output Feature Info **********************", feature.front());
    EXPECT_EQ("completed at T", feature.back());

    // Inputs (none in this daemon) and a kind the model does not know print nothing.
    auto* coli = controller->handler<Coli::ServiceHandler>();
    ASSERT_NE(nullptr, coli);
    coli_common_reset();
    coli->sendEvent(Coli::ServiceHandler::PRINT_COLI_EVENT(Coli::ServiceHandler::PRINT_INPUTS));
    coli->sendEvent(Coli::ServiceHandler::PRINT_COLI_EVENT(5));
    EXPECT_STREQ("", coli_common_get_display());
}

}  // namespace
}  // namespace Test
}  // namespace Sync
