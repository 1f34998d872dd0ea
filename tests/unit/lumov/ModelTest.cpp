// What the model makes of the port-control server's port records: which are fronthaul ports, the role
// a port subscribes with, and the port factory's bound. The simulated server on the bus reports none
// of these cases.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "Macros.h"
#include "TraceCapture.h"
#include "control/modelif/ModelHandler.h"
#include "model/Model.h"
#include "model/output/FronthaulSyncEthOutput.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace LumovControl {
namespace {

TEST(ModelTest, FronthaulPortsHaveRoleBit0x4AndNotTheIdleBit0x1AndSubscribeWith0x4Only) {
    const struct {
        uint32_t role;
        bool fronthaul;
    } cases[] = {{0x4, true}, {0xC, true}, {0x5, false}, {0x2, false}, {0x1, false}, {0x0, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.fronthaul, ModelHandler::isFronthaulPort(c.role)) << c.role;
    }
    Model model;
    model.init();
    FronthaulEthernetPort* port = model.createPort("TN_D", 0xC);
    ASSERT_NE(nullptr, port);
    EXPECT_EQ(0x4u, port->getServicePortRole());
    EXPECT_EQ(port, model.createPort("TN_D", 0x4)) << "a known name is the known port";
}

// An output is up, and so ready for the data plane, only while its port is both unlocked and enabled.
TEST(ModelTest, AnOutputIsUpOnlyWhileItsPortIsUnlockedAndEnabled) {
    const struct { bool unlocked, enabled; } cases[] = {{true, true}, {false, true}, {true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.unlocked) + "/" + std::to_string(c.enabled));
        Model model;
        model.init();
        FronthaulEthernetPort* port = model.createPort("TN_A", 0x4);
        ASSERT_NE(nullptr, port);
        const uint32_t id = port->getEntityId();
        model.updatePortEthernetConfiguration(id, "02:00:00:00:00:0a", "eth0", "TN_A", 100, 0);
        model.updatePortTransportIfNetworkNamespace(id, "ns1");
        model.updatePortTransportIfAdminState(id, c.unlocked);
        model.updatePortTransportIfState(id, c.enabled, {});
        ASSERT_TRUE(model.notifyRecCreateInd());
        auto* output = dynamic_cast<FronthaulSyncEthOutput*>(model.findSyncEthOutputByPortId(id));
        ASSERT_NE(nullptr, output);
        EXPECT_EQ(c.unlocked && c.enabled, port->isUp());
        EXPECT_EQ(c.unlocked && c.enabled, output->isReadyForSecli());
    }
}

TEST(ModelTest, The65536thPortIsRefusedAndTraced) {
    Model model;
    model.init();
    char name[16];
    for (uint32_t n = 1; n <= 65535; ++n) {
        std::snprintf(name, sizeof name, "P%05u", n);
        ASSERT_NE(nullptr, model.createPort(name, 0x4)) << n;
    }
    Sync::Test::TraceCapture capture;
    EXPECT_EQ(nullptr, model.createPort("P65536", 0x4));
    EXPECT_EQ(1u, capture.count(TL_ERROR,
                                "Caught exception: Maximum number of entities already created. max: 65535"))
        << capture.dump();
    EXPECT_NE(nullptr, model.createPort("P00001", 0x4)) << "the known ports are still found";
}

TEST(ModelTest, APortPrintsEveryFieldTheOperatorSees) {
    Model model;
    model.init();
    FronthaulEthernetPort* port = model.createPort("TN_B", 0xC);
    ASSERT_NE(nullptr, port);
    const uint32_t id = port->getEntityId();
    model.updatePortEthernetConfiguration(id, "02:00:00:00:00:0b", "eth1", "TN_B", 101, 0);
    model.updatePortTransportIfNetworkNamespace(id, "ns2");
    model.updatePortTransportIfAdminState(id, true);
    model.updatePortTransportIfState(id, false, {1});
    coli_common_reset();
    port->print();
    const std::string dashes = " ----------------------------------------------------------------\n";
    EXPECT_EQ(" #FronthaulEthernetPort, id : " + std::to_string(id) + " \n" + dashes +
                  "  ldn                       : TN_B\n"
                  "  tnport name               : TN_B\n"
                  "  mac address               : 02:00:00:00:00:0b\n"
                  "  interface name            : eth1\n"
                  "  network namespace         : (ns2)\n"
                  "  rhaiId                    : 101\n"
                  "  vlanId                    : -1\n"
                  "  iepcsiId                  : " +
                  std::to_string(id) +
                  "\n"
                  "  iepcsiLdn                 : eth1\n"
                  "  iepcsiRole                : 4\n"
                  "  administrativeState       : 1\n"
                  "  operationalState          : DISABLED\n"
                  "  availabilityStatus        :\n"
                  "    - true\n"
                  "  isLag                     : (-1)\n"
                  "  lagPortLdn                : (NONE)\n" +
                  dashes + "\n",
              std::string(coli_common_get_display()));
    coli_common_reset();
}

}  // namespace
}  // namespace LumovControl
}  // namespace Sync
