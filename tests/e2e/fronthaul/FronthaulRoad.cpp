#include "FronthaulRoad.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <set>

#include "FronthaulScript.h"

namespace E2e {

namespace {

using SyncTools::DataPlaneClient;
using SyncTools::WireBuffer;

void putBe64(WireBuffer& message, size_t offset, uint64_t value) {
    message.putBe32(offset, static_cast<uint32_t>(value >> 32));
    message.putBe32(offset + 4, static_cast<uint32_t>(value));
}

WireBuffer header(uint32_t msgno, size_t size, uint32_t id) {
    WireBuffer message(msgno, size);
    message.putBe32(4, id);
    message.putBe32(8, Road::kClientConnectionReference);
    return message;
}

// Interface name, MAC address text and network namespace of port n, each in its fixed-width field.
WireBuffer configRequest(uint32_t msgno, uint32_t id, size_t n) {
    WireBuffer message = header(msgno, 544, id);
    message.putText(12, 256, "fh" + std::to_string(n));
    message.putText(268, 20, FronthaulScript::macText(n));
    message.putText(288, 256, "ns-fh" + std::to_string(n));
    return message;
}

}  // namespace

void FronthaulRoad::bringUp(Peer hosted, const DaemonProcess::Options& options) {
    Road::bringUp(hosted, options);
    for (const Order& create : dataPlane_ ? ordersOf(Order::OUTPUT_CREATE) : std::vector<Order>())
        outputIds_[portOf(create.interfaceName)] = create.procedureReference;
}

void FronthaulRoad::expectEachPortTold(size_t from, const std::vector<Expected>& expected) {
    const std::vector<Order> orders = awaitOrders(from, expected.size() * FronthaulScript::kPorts);
    ASSERT_EQ(orders.size(), expected.size() * FronthaulScript::kPorts) << describe(orders);
    for (const Order& create : ordersOf(Order::OUTPUT_CREATE, from))
        outputIds_[portOf(create.interfaceName)] = create.procedureReference;
    std::set<uint32_t> ids;
    for (size_t n = 1; n <= FronthaulScript::kPorts; ++n) {
        SCOPED_TRACE("port " + std::to_string(n));
        const uint32_t id = outputIds_[n];
        ids.insert(id);
        std::vector<Order> told;
        std::copy_if(orders.begin(), orders.end(), std::back_inserter(told),
                     [id](const Order& o) { return o.procedureReference == id; });
        ASSERT_EQ(told.size(), expected.size()) << describe(orders);
        for (size_t k = 0; k < told.size(); ++k)
            EXPECT_TRUE(sameBytes(told[k], expected[k](id, n)));
    }
    EXPECT_EQ(ids.size(), FronthaulScript::kPorts) << describe(orders);
}

WireBuffer FronthaulRoad::createRequest(uint32_t id, size_t n) {
    return configRequest(DataPlaneClient::OUTPUT_CONFIG_CREATE_RREQ, id, n);
}

WireBuffer FronthaulRoad::changeRequest(uint32_t id, size_t n) {
    return configRequest(DataPlaneClient::OUTPUT_CONFIG_CHANGE_RREQ, id, n);
}

// The extended QL TLV of a node without SyncE inputs: flag 0x02, one eEEC, no EEC.
WireBuffer FronthaulRoad::transmitSsm(uint32_t id, uint32_t ssm, uint32_t enhanced, uint64_t masterId) {
    WireBuffer message = header(DataPlaneClient::OUTPUT_TRANSMIT_SSM_IND, 48, id);
    message.putBe32(12, ssm);
    message.putBe32(16, enhanced);
    putBe64(message, 24, masterId);
    message.putBe32(32, 0x02);
    message.putBe32(36, 1);
    message.putBe32(40, 0);
    return message;
}

WireBuffer FronthaulRoad::esmcControl(uint32_t id, uint32_t output) {
    WireBuffer message = header(DataPlaneClient::OUTPUT_ESMC_CONTROL_IND, 16, id);
    message.putBe32(12, output);
    return message;
}

WireBuffer FronthaulRoad::removeRequest(uint32_t id) {
    return header(DataPlaneClient::OUTPUT_CONFIG_REMOVE_RREQ, 12, id);
}

size_t FronthaulRoad::portOf(const std::string& interfaceName) {
    for (size_t n = 1; n <= FronthaulScript::kPorts; ++n) {
        if (interfaceName == "fh" + std::to_string(n)) {
            return n;
        }
    }
    return 0;
}

size_t FronthaulRoad::portOfOutput(uint32_t id) const {
    for (size_t n = 1; n <= FronthaulScript::kPorts; ++n) {
        if (outputIds_[n] == id) {
            return n;
        }
    }
    return 0;
}

::testing::AssertionResult FronthaulRoad::sameBytes(const Order& order, const WireBuffer& expected) {
    const std::vector<uint8_t>& got = order.wire.bytes();
    const std::vector<uint8_t>& want = expected.bytes();
    const auto differ = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
    if (got.size() == want.size() && differ.first == got.end()) {
        return ::testing::AssertionSuccess();
    }
    const size_t at = static_cast<size_t>(differ.first - got.begin());
    char where[96];
    std::snprintf(where, sizeof where, "%zu bytes, %zu expected; first difference at offset %zu", got.size(),
                  want.size(), at);
    return ::testing::AssertionFailure() << order.describe() << ": " << where;
}

}  // namespace E2e
