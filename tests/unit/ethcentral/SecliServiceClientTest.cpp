#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "control/secli/ServiceClient.h"
#include "control/secli/prim/ClientDownPrim.h"
#include "control/secli/prim/ConnectionEstablishmentCfmPrim.h"
#include "control/secli/prim/ConnectionEstablishmentRejPrim.h"
#include "control/secli/prim/OutputTransmitSsmIndPrim.h"

namespace Sync {
namespace EthCentral {
namespace Secli {
namespace {

std::unique_ptr<ServiceClient> clientWithRecordedReferences(uint32_t procedureReference,
                                                            uint32_t connectionReference) {
    auto client = std::make_unique<ServiceClient>(1, 0x5000, 0xFFFFFFFF, 0xFFFFFFFF);
    client->setProcedureReference(procedureReference);
    client->setConnectionReference(connectionReference);
    return client;
}

TEST(SecliServiceClientTest, ManagementAnswersCarryTheServersReferenceAndRequestsTheClients) {
    const auto client = clientWithRecordedReferences(11, 22);
    const uint32_t own = client->getOwnConnectionReference();
    ASSERT_NE(22u, own);
    ConnectionEstablishmentCfmPrim confirm;
    ConnectionEstablishmentRejPrim reject;
    ClientDownPrim clientDown;
    OutputTransmitSsmIndPrim indication;
    const struct {
        BasePrimitive* primitive;
        uint32_t connectionReference;
    } cases[] = {{&confirm, own}, {&reject, own}, {&clientDown, own}, {&indication, 22}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.primitive->getName());
        client->fillMgmtPrimitive(c.primitive);
        EXPECT_EQ(11u, c.primitive->getProcedureReference());
        EXPECT_EQ(c.connectionReference, c.primitive->getConnectionReference());
    }
}

TEST(SecliServiceClientTest, LiveClientsNeverShareAConnectionReference) {
    const auto first = clientWithRecordedReferences(0, 0);
    const auto second = clientWithRecordedReferences(0, 0);
    EXPECT_NE(0u, first->getOwnConnectionReference());
    EXPECT_NE(0u, second->getOwnConnectionReference());
    EXPECT_NE(first->getOwnConnectionReference(), second->getOwnConnectionReference());
}

}  // namespace
}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
