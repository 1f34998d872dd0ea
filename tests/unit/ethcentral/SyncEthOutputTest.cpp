#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "SyncEthOutputTestFixture.h"

namespace Sync {
namespace Test {
namespace {

class SyncEthOutputTest : public ::testing::Test {
  protected:
    std::vector<std::string> on(std::vector<std::string> names) const {
        for (std::string& name : names) {
            name += "(" + std::to_string(output->getEntityId()) + ")";
        }
        return names;
    }

    OutputModel<> model;
    SyncEthOutput* output = model.withOutputs(1)[0];
    TestEthernetPort* port = static_cast<TestEthernetPort*>(output->getEthernetPort());
};

constexpr uint32_t NR = 0xFFFFFFFF;  // not reported

struct SsmCase {
    const char* name;
    uint32_t portType, sfpType, linkSpeed, masterSlaveMode, duplexMode;
    uint32_t quality, option, mode;
    const char* activePort;  // the feature's port of the active reference
    const char* activeLag;   // the feature's LAG of the active reference
    const char* portLag;     // the output port's LAG
    uint32_t ssm, enhancedSsm;
    bool enabled;
};

// Which code each quality gives under each option is the quality table's; an output adds the selection
// mode and the do-not-use rules.
const SsmCase ssmCases[] = {
    {"EEEC, option II", NR, NR, 0, 0, 0, 21, 2, 1, "", "", "NONE", 0xA, 0x22, true},
    {"PRC has no enhanced code", NR, NR, 0, 0, 0, 1, 1, 1, "", "", "NONE", 0x2, 0xFF, true},
    {"selection disabled", NR, NR, 0, 0, 0, 20, 1, 2, "", "", "NONE", 0x2, 0x21, false},
    {"selection mode unknown", NR, NR, 0, 0, 0, 20, 1, 3, "", "", "NONE", 0x2, 0x21, false},
    {"RJ45 1G slave", 0, NR, 3, 2, 2, 20, 1, 1, "", "", "NONE", 0xF, 0xFF, true},
    {"RJ45 1G mode not applicable", 0, NR, 3, 0, 2, 20, 1, 1, "", "", "NONE", 0xF, 0xFF, true},
    {"RJ45 1G master", 0, NR, 3, 1, 2, 20, 1, 1, "", "", "NONE", 0x2, 0x21, true},
    {"RJ45 100M half duplex", 0, NR, 2, 1, 1, 20, 1, 1, "", "", "NONE", 0xF, 0xFF, true},
    {"RJ45 100M full duplex", 0, NR, 2, 2, 2, 20, 1, 1, "", "", "NONE", 0x2, 0x21, true},
    {"RJ45 100M duplex not applicable", 0, NR, 2, 2, 0, 20, 1, 1, "", "", "NONE", 0xF, 0xFF, true},
    {"RJ45 10M half duplex", 0, NR, 1, 2, 1, 20, 1, 1, "", "", "NONE", 0x2, 0x21, true},
    {"RJ45 10G slave", 0, NR, 4, 2, 1, 20, 1, 1, "", "", "NONE", 0x2, 0x21, true},
    {"electrical SFP", 1, 2, 4, 1, 2, 20, 1, 1, "", "", "NONE", 0xF, 0xFF, true},
    {"optical SFP", 1, 3, 3, 2, 1, 20, 1, 1, "", "", "NONE", 0x2, 0x21, true},
    {"SFP of unknown kind", 1, NR, 3, 2, 1, 20, 1, 1, "", "", "NONE", 0x2, 0x21, true},
    {"DAC SFP", 1, 4, 3, 2, 1, 9, 1, 1, "", "", "NONE", 0xB, 0xFF, true},
    {"port of the active reference", NR, NR, 0, 0, 0, 20, 1, 1, "port-1", "", "NONE", 0xF, 0xFF, true},
    {"another port is the active reference", NR, NR, 0, 0, 0, 20, 1, 1, "port-2", "", "NONE", 0x2, 0x21,
     true},
    {"same LAG as the active reference", NR, NR, 0, 0, 0, 20, 1, 1, "port-2", "L1", "L1", 0xF, 0xFF, true},
    {"other LAG than the active reference", NR, NR, 0, 0, 0, 20, 1, 1, "port-2", "L1", "L2", 0x2, 0x21, true},
    {"NONE never matches as a LAG", NR, NR, 0, 0, 0, 20, 1, 1, "port-2", "NONE", "NONE", 0x2, 0x21, true},
};

TEST(SyncEthOutputRulesTest, CodesAndEnableStateFollowQualityOptionModeAndDoNotUseRules) {
    for (const SsmCase& c : ssmCases) {
        SCOPED_TRACE(c.name);
        OutputModel<> m;
        SyncEthOutput* o = m.withOutputs(1)[0];
        EthernetPort* p = o->getEthernetPort();
        p->updateEthernetConfiguration("mac", "eth0", "port-1", 1, c.portType);
        p->updateEthernetEquipment(c.masterSlaveMode, c.sfpType, c.linkSpeed, c.duplexMode);
        p->updateLagPortConfiguration(0, c.portLag);
        m.feature->updateClockSettledQuality(c.quality);
        m.feature->updateTelecomStandard(c.option);
        m.feature->updateSelectionProcessMode(c.mode);
        m.feature->setPortOfActiveReference(c.activePort);
        m.feature->setLagPortLdnOfActiveReference(c.activeLag);
        m.feature->updateExtendedQlTlvInfo(0x0123456789ABCDEFull, 0x03, 4, 5);

        EXPECT_EQ(c.ssm, o->getSsmCode());
        EXPECT_EQ(c.enhancedSsm, o->getEnhancedSsmCode());
        EXPECT_EQ(c.enabled, o->isOutputEnabled());
        // The do-not-use rule never touches the extended QL TLV.
        EXPECT_EQ(0x0123456789ABCDEFull, o->getSyncEMasterId());
        EXPECT_EQ(0x03, o->getFlag());
        EXPECT_EQ(4, o->getNumberCascadedEnhancedEec());
        EXPECT_EQ(5, o->getNumberCascadedEec());
    }
}

TEST_F(SyncEthOutputTest, SupportabilityComparesPreviousAndCurrentEquipment) {
    port->updateEthernetConfiguration("mac", "", "port-1", 1, 0);
    EXPECT_TRUE(output->wasEthernetPortSupportable());  // previous port type unknown: an SFP
    EXPECT_TRUE(output->isEthernetPortSupportable());   // RJ45 with link speed not applicable
    EXPECT_FALSE(output->isEthernetPortSupportableChanged());
    port->updateEthernetEquipment(2, 0, 3, 2);
    EXPECT_TRUE(output->isEthernetPortSupportableChanged());
}

TEST_F(SyncEthOutputTest, InitialDataLagChangeAndDeactivationRaiseTheirEvents) {
    OutputEventRecorder recorder;
    output->notifyInitialData();
    output->notifyLagPortChanged();
    output->deactivate();
    EXPECT_EQ(on({TRANSMIT, ESMC, TRANSMIT, DELETED}), recorder.names);
}

// Port updates, one letter each: r ready on eth0, R ready on eth9 (renamed), n not a LAG member,
// j plain RJ45 without interface name, s 1G slave equipment (cannot carry SyncE), N a namespace.
void apply(EthernetPort& port, const std::string& steps) {
    for (char step : steps) {
        auto& p = static_cast<TestEthernetPort&>(port);
        step == 'r'   ? p.makeInitiated("eth0")
        : step == 'R' ? p.makeInitiated("eth9")
        : step == 'n' ? p.updateLagPortConfiguration(0, "NONE")
        : step == 'j' ? p.updateEthernetConfiguration("m", "", "port-1", 1, 0)
        : step == 's' ? p.updateEthernetEquipment(2, 0, 3, 2)
                      : p.updateNetworkNamespace("ns");
    }
}

struct PortChangeCase {
    const char* name;
    const char* before;  // updates before the output is created
    const char* change;  // updates reported before notifyEthernetPortChanged
    std::vector<std::string> events;
};

const PortChangeCase portChangeCases[] = {
    {"no interface name, nothing else changed", "", "N", {}},
    {"no interface name, capability lost", "j", "s", {TRANSMIT}},
    {"ready port still counted as a LAG member", "", "rs", {DELETED}},
    {"ready port, interface renamed", "rnn", "R", {CONFIGURED}},
    {"renamed and capability lost: configured first", "rnn", "Rs", {CONFIGURED, TRANSMIT}},
    {"ready port, LAG membership dropped", "rr", "n", {CONFIGURED}},
    {"ready port, nothing changed", "rn", "rn", {}},
};

TEST(SyncEthOutputPortChangeTest, PortChangesRaiseTheRightEvents) {
    for (const PortChangeCase& c : portChangeCases) {
        SCOPED_TRACE(c.name);
        OutputModel<> m;
        m.feature->updateRecCreate();
        TestEthernetPort* p = m.addPort("port-1");
        apply(*p, c.before);
        SyncEthOutput* o = m.addOutput(p);
        apply(*p, c.change);
        OutputEventRecorder recorder;
        o->notifyEthernetPortChanged();
        std::vector<std::string> expected;
        for (const std::string& event : c.events) {
            expected.push_back(event + "(" + std::to_string(o->getEntityId()) + ")");
        }
        EXPECT_EQ(expected, recorder.names);
    }
}

TEST(UnboundOutputTest, WithoutFeatureTransmitsNothingUsableAndWithoutPortStops) {
    SyncEthOutputFeature::SyncEthOutputFactory factory(10);
    EXPECT_EQ(nullptr, factory.createObject(1, 2));
    auto* output = static_cast<SyncEthOutput*>(factory.create(1, 1));
    factory.add(output);
    EXPECT_EQ(0xFu, output->getSsmCode());
    EXPECT_EQ(0xFFu, output->getEnhancedSsmCode());
    EXPECT_EQ(0u, output->getSyncEMasterId() + output->getFlag() + output->getNumberCascadedEnhancedEec() +
                      output->getNumberCascadedEec());
    EXPECT_FALSE(output->isOutputEnabled() || output->isSamePortWithActiveReference() ||
                 output->isSamLagPortWithActiveReference());
    EXPECT_DEATH(output->getEthernetPort(), "");
}

}  // namespace
}  // namespace Test
}  // namespace Sync
