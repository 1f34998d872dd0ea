#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "SyncEthOutputTestFixture.h"
#include "model/port/EthernetData.h"
#include "model/port/EthernetPortLdnObserver.h"

namespace Sync {
namespace Test {
namespace {

using EthCentral::EthernetData;
using EthCentral::EthernetPortLdnObserver;

// One change per field: equality must notice each of them, and copies must carry each of them.
const std::vector<std::function<void(EthernetData&)>> fieldChanges = {
    [](EthernetData& d) { d.vlanId = 1; },
    [](EthernetData& d) { d.rhaiId = 1; },
    [](EthernetData& d) { d.masterSlaveMode = 1; },
    [](EthernetData& d) { d.portType = 1; },
    [](EthernetData& d) { d.sfpType = 1; },
    [](EthernetData& d) { d.linkSpeed = 1; },
    [](EthernetData& d) { d.duplexMode = 1; },
    [](EthernetData& d) { d.isLag = 1; },
    [](EthernetData& d) { d.macAddress = "m"; },
    [](EthernetData& d) { d.interfaceName = "i"; },
    [](EthernetData& d) { d.tnportName = "t"; },
    [](EthernetData& d) { d.networkNamespace = "n"; },
    [](EthernetData& d) { d.ldn = "l"; },
    [](EthernetData& d) { d.lagPortLdn = "g"; },
    [](EthernetData& d) { d.administrativeState = 1; },
    [](EthernetData& d) { d.operationalState = 1; },
    [](EthernetData& d) { d.availabilityStatus.insert(3); },
};

TEST(EthernetDataTest, EqualityCopyAndAssignmentCoverEveryField) {
    for (size_t i = 0; i < fieldChanges.size(); ++i) {
        SCOPED_TRACE("field " + std::to_string(i));
        EthernetData changed;
        fieldChanges[i](changed);
        EXPECT_FALSE(changed == EthernetData());
        EXPECT_TRUE(changed != EthernetData());
        const EthernetData copy(changed);
        EthernetData assigned;
        assigned = changed;
        EXPECT_TRUE(copy == changed);
        EXPECT_FALSE(assigned != changed);
    }
}

class EthernetPortTest : public ::testing::Test {
  protected:
    PortFactory<TestEthernetPort> factory;
    TestEthernetPort& port = *factory.createPort("port-1");
};

TEST_F(EthernetPortTest, UpdatesKeepTheValuesBeforeTheirLastUpdate) {
    port.updateEthernetConfiguration("aa", "eth0", "tn", 5, 0);
    port.updateEthernetEquipment(1, 3, 4, 2);
    port.updateEthernetConfiguration("bb", "eth1", "tn2", 6, 1);
    port.updateEthernetEquipment(2, 3, 3, 1);
    port.updateTransportIfState(1, {1, 4});
    EXPECT_EQ("bb", port.getMacAddress());
    EXPECT_EQ("tn2", port.getTnportName());
    EXPECT_EQ(0u, port.getPrevPortType());
    EXPECT_EQ(1u, port.getPrevMasterSlaveMode());
    EXPECT_EQ(4u, port.getPrevLinkSpeed());
    EXPECT_EQ(2u, port.getPrevDuplexMode());
    EXPECT_EQ(3u, port.getPrevSfpType());
    EXPECT_TRUE(port.isRhaiIdChanged());
    EXPECT_TRUE(port.isInterfaceNameChanged());
    EXPECT_FALSE(port.isSfpTypeChanged());
    EXPECT_EQ((std::set<uint32_t>{1, 4}), port.getAvailabilityStatus());

    // No comparison of old and new: the same values again make previous equal to current.
    port.updateEthernetConfiguration("bb", "eth1", "tn2", 6, 1);
    EXPECT_FALSE(port.isRhaiIdChanged());
    EXPECT_FALSE(port.isInterfaceNameChanged());
    EXPECT_EQ(1u, port.getPrevPortType());
}

TEST_F(EthernetPortTest, RepeatedLagUpdateClearsTheChangeTests) {
    port.updateLagPortConfiguration(1, "X");
    EXPECT_TRUE(port.isLagChanged());
    EXPECT_TRUE(port.isLagPortLdnChanged());
    port.updateLagPortConfiguration(1, "X");
    EXPECT_FALSE(port.isLagChanged());
    EXPECT_FALSE(port.isLagPortLdnChanged());
}

// Each update moves only its own fields to the previous record.
TEST_F(EthernetPortTest, UpdatesLeaveOtherFieldsPreviousValuesAlone) {
    port.updateEthernetConfiguration("aa", "eth0", "tn", 5, 0);
    port.updateNetworkNamespace("ns");
    port.updateTransportIfAdminState(1);
    port.updateTransportIfState(1, {2});
    port.updateEthernetEquipment(1, 2, 3, 2);
    port.updateLagPortConfiguration(0, "L");
    port.updateNetworkNamespace("ns");
    EXPECT_FALSE(port.isNetworkNamespaceChanged());
    EXPECT_TRUE(port.isInterfaceNameChanged());
    EXPECT_TRUE(port.isRhaiIdChanged());
    EXPECT_TRUE(port.isLagChanged());
    EXPECT_TRUE(port.isSfpTypeChanged());
}

struct LdnChangeRecorder : EthernetPortLdnObserver {
    void ethernetPortLdnChanged(EthernetPort& port, const std::string& previousLdn) override {
        changes.push_back(previousLdn + "->" + port.getLdn());
    }
    std::vector<std::string> changes;
};

TEST(EthernetPortLdnObserverTest, ToldOnlyWhenTheAnsweredLdnChanges) {
    PortFactory<TnportNamedEthernetPort> factory;
    TnportNamedEthernetPort* port = factory.createPort("unused");
    port->updateEthernetConfiguration("m", "eth0", "tn-1", 1, 0);
    LdnChangeRecorder recorder;
    port->addLdnObserver(&recorder);
    port->addLdnObserver(&recorder);
    port->updateEthernetConfiguration("m2", "eth1", "tn-1", 2, 0);  // same ldn
    port->setLdn("other");                                          // not what this port answers
    port->updateEthernetConfiguration("m2", "eth1", "tn-2", 2, 0);
    EXPECT_EQ((std::vector<std::string>{"tn-1->tn-2"}), recorder.changes);
    port->removeLdnObserver(&recorder);
    port->updateEthernetConfiguration("m2", "eth1", "tn-3", 2, 0);
    EXPECT_EQ(1u, recorder.changes.size());

    PortFactory<TestEthernetPort> plainFactory;
    TestEthernetPort* plain = plainFactory.createPort("a");
    plain->addLdnObserver(&recorder);
    plain->setLdn("a");
    plain->setLdn("b");
    EXPECT_EQ("a->b", recorder.changes.back());
}

}  // namespace
}  // namespace Test
}  // namespace Sync
