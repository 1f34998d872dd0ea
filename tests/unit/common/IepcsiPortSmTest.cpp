#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "IepcsiTestSupport.h"
#include "Macros.h"
#include "common_fwk_classes/iepcsi/ServiceEntity.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"

namespace Sync {
namespace Test {
namespace {

using Iepcsi::ServiceEntity;
using Iepcsi::ServiceHandler;

// A subscriber with a fixed identity.
class TestEntity : public ServiceEntity {
  public:
    TestEntity(uint32_t id, std::string name, uint32_t role) : id(id), name(std::move(name)), role(role) {}
    uint32_t getServiceEntityId() const override { return id; }
    std::string getServicePortName() const override { return name; }
    uint32_t getServicePortRole() const override { return role; }

    uint32_t id;
    std::string name;
    uint32_t role;
};

class IepcsiPortSmTest : public IepcsiClientTest {
  protected:
    static constexpr uint32_t PORT_ID = 7;
    static constexpr uint32_t SUBSCRIPTION = 0x31;

    std::string stateOf(ServiceEntity& entity) { return entity.getState(handler->getId())->getName(); }
    size_t subscriptionsSent() { return sentWith(IepcsiNo::SUBSCRIBE_ETH_PORT_STATUS_REQ).size(); }
    size_t unsubscriptionsSent() { return sentWith(IepcsiNo::UNSUBSCRIBE_ETH_PORT_STATUS_REQ).size(); }

    TestEntity port{PORT_ID, "TN_A", 4};
};

using Step = std::function<void(ServiceEntity&)>;
const Step SUBSCRIBE = [](ServiceEntity& e) { e.subscribeToServer(); };
const Step UNSUBSCRIBE = [](ServiceEntity& e) { e.unsubscribeFromServer(); };
const Step SUBSCRIBED = [](ServiceEntity& e) {
    e.raiseEvent(ServiceEntity::IEPCSIENTITY_SUBSCRIBED_EVENT());
};
const Step DOWN = [](ServiceEntity& e) { e.raiseEvent(ServiceEntity::IEPCSIENTITY_DOWN_NOTIFY()); };
const Step INITIATED_AGAIN = [](ServiceEntity& e) {
    e.raiseEvent(ServiceEntity::IEPCSIENTITY_INITIATED_NOTIFY());
};

struct StartState {
    const char* name;
    std::vector<Step> reach;
};

const StartState IDLE_STATE{"IDLE", {}};
const StartState SUBSCRIBING{"PORT_SUBSCRIBING_STATE", {SUBSCRIBE}};
const StartState SUBSCRIBED_STATE{"PORT_SUBSCRIBED_STATE", {SUBSCRIBE, SUBSCRIBED}};
const StartState DONE_STATE{"DONE", {UNSUBSCRIBE}};

struct Row {
    const StartState* from;
    const char* event;
    Step raise;
    const char* to;
    size_t subscriptions;
    size_t unsubscriptions;
};

TEST_F(IepcsiPortSmTest, EveryStateAndEvent) {
    connect();
    const Row rows[] = {
        {&IDLE_STATE, "subscribe", SUBSCRIBE, "PORT_SUBSCRIBING_STATE", 1, 0},
        {&IDLE_STATE, "unsubscribe", UNSUBSCRIBE, "DONE", 0, 0},
        {&IDLE_STATE, "subscribed", SUBSCRIBED, "IDLE", 0, 0},
        {&IDLE_STATE, "down", DOWN, "IDLE", 0, 0},
        {&IDLE_STATE, "initiated", INITIATED_AGAIN, "IDLE", 0, 0},
        {&SUBSCRIBING, "subscribe", SUBSCRIBE, "PORT_SUBSCRIBING_STATE", 0, 0},
        {&SUBSCRIBING, "unsubscribe", UNSUBSCRIBE, "DONE", 0, 1},
        {&SUBSCRIBING, "subscribed", SUBSCRIBED, "PORT_SUBSCRIBED_STATE", 0, 0},
        {&SUBSCRIBING, "down", DOWN, "PORT_SUBSCRIBING_STATE", 0, 0},
        {&SUBSCRIBING, "initiated", INITIATED_AGAIN, "PORT_SUBSCRIBING_STATE", 1, 0},
        {&SUBSCRIBED_STATE, "subscribe", SUBSCRIBE, "PORT_SUBSCRIBED_STATE", 0, 0},
        {&SUBSCRIBED_STATE, "unsubscribe", UNSUBSCRIBE, "DONE", 0, 1},
        {&SUBSCRIBED_STATE, "subscribed", SUBSCRIBED, "PORT_SUBSCRIBED_STATE", 0, 0},
        {&SUBSCRIBED_STATE, "down", DOWN, "IDLE", 0, 0},
        {&SUBSCRIBED_STATE, "initiated", INITIATED_AGAIN, "PORT_SUBSCRIBED_STATE", 0, 0},
        {&DONE_STATE, "subscribe", SUBSCRIBE, "DONE", 0, 0},
        {&DONE_STATE, "unsubscribe", UNSUBSCRIBE, "DONE", 0, 0},
        {&DONE_STATE, "subscribed", SUBSCRIBED, "DONE", 0, 0},
        {&DONE_STATE, "down", DOWN, "DONE", 0, 0},
        {&DONE_STATE, "initiated", INITIATED_AGAIN, "DONE", 0, 0},
    };
    uint32_t id = 100;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.from->name) + " + " + row.event);
        TestEntity entity(++id, "TN_X", 4);
        for (const Step& step : row.from->reach)
            step(entity);
        ASSERT_EQ(row.from->name, stateOf(entity));
        // With a reference at hand, every unsubscribe action shows on the wire.
        handler->clearSubscriptionRefs();
        handler->storeSubscriptionRef(entity.id, SUBSCRIPTION);
        FakeTavi::clearSent();
        row.raise(entity);
        EXPECT_EQ(row.to, stateOf(entity));
        EXPECT_EQ(row.subscriptions, subscriptionsSent());
        EXPECT_EQ(row.unsubscriptions, unsubscriptionsSent());
    }
}

TEST_F(IepcsiPortSmTest, SubscribingWithoutInterfaceOnlyTraces) {
    handler->unregisterInterface();
    ASSERT_EQ(nullptr, handler->getClientIf());
    FakeTavi::clearSent();
    port.subscribeToServer();
    EXPECT_EQ("PORT_SUBSCRIBING_STATE", stateOf(port));
    EXPECT_TRUE(traces.contains(TL_INFO, "Iepcsi Server is not up yet."));
    EXPECT_TRUE(FakeTavi::sent().empty());
    // A later down notice finds it still subscribing and leaves it there.
    port.raiseEvent(ServiceEntity::IEPCSIENTITY_DOWN_NOTIFY());
    EXPECT_EQ("PORT_SUBSCRIBING_STATE", stateOf(port));
    traces.clear();
    port.unsubscribeFromServer();
    EXPECT_EQ("DONE", stateOf(port));
    EXPECT_TRUE(traces.contains(TL_INFO, "Iepcsi Server is not up yet."));
}

TEST_F(IepcsiPortSmTest, EntityWithoutIdSendsNothing) {
    connect();
    FakeTavi::clearSent();
    TestEntity anonymous(0, "TN_Z", 4);
    anonymous.subscribeToServer();
    EXPECT_EQ("PORT_SUBSCRIBING_STATE", stateOf(anonymous));
    EXPECT_TRUE(traces.contains(TL_ERROR, "Could not get port entityId"));
    traces.clear();
    anonymous.unsubscribeFromServer();
    EXPECT_EQ("DONE", stateOf(anonymous));
    EXPECT_TRUE(traces.contains(TL_ERROR, "Could not get port entityId"));
    EXPECT_TRUE(FakeTavi::sent().empty());
}

// The port and the server's connection go out with the subscription, the stored reference once with the
// unsubscription.
TEST_F(IepcsiPortSmTest, SubscriptionAndUnsubscriptionCarryThePortAndItsReference) {
    connect();
    FakeTavi::clearSent();
    port.subscribeToServer();
    const auto subscriptions = sentWith(IepcsiNo::SUBSCRIBE_ETH_PORT_STATUS_REQ);
    ASSERT_EQ(1u, subscriptions.size());
    EXPECT_EQ(SERVER, subscriptions[0].to);
    EXPECT_EQ((Bytes(IepcsiNo::SUBSCRIBE_ETH_PORT_STATUS_REQ, 32)
                   .refs(PORT_ID, SERVER_CONNECTION)
                   .be32(12, 4)
                   .chars(16, "TN_A")
                   .get()),
              subscriptions[0].bytes);

    port.raiseEvent(ServiceEntity::IEPCSIENTITY_SUBSCRIBED_EVENT());
    handler->storeSubscriptionRef(PORT_ID, SUBSCRIPTION);
    FakeTavi::clearSent();
    port.unsubscribeFromServer();
    const auto sent = sentWith(IepcsiNo::UNSUBSCRIBE_ETH_PORT_STATUS_REQ);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ((Bytes(IepcsiNo::UNSUBSCRIBE_ETH_PORT_STATUS_REQ, 16)
                   .refs(PORT_ID, SERVER_CONNECTION)
                   .be32(12, SUBSCRIPTION)
                   .get()),
              sent[0].bytes);
    EXPECT_TRUE(handler->getStatePorts().empty());
    EXPECT_EQ("DONE", stateOf(port));
}

TEST_F(IepcsiPortSmTest, UnsubscribeWithoutReferenceSendsNothing) {
    connect();
    port.subscribeToServer();
    port.raiseEvent(ServiceEntity::IEPCSIENTITY_SUBSCRIBED_EVENT());
    FakeTavi::clearSent();
    port.unsubscribeFromServer();
    EXPECT_EQ("DONE", stateOf(port));
    EXPECT_TRUE(FakeTavi::sent().empty());
    EXPECT_TRUE(
        traces.contains(TL_INFO, "Subscription Reference not found for port 7, nothing to unsubscribe"));
}

TEST_F(IepcsiPortSmTest, FirstStoredReferenceStays) {
    handler->storeSubscriptionRef(PORT_ID, 1);
    handler->storeSubscriptionRef(PORT_ID, 2);
    handler->storeSubscriptionRef(8, 3);
    EXPECT_EQ((std::map<uint32_t, uint32_t>{{PORT_ID, 1}, {8, 3}}), handler->getStatePorts());
    EXPECT_EQ(
        1u, traces.count(TL_ERROR, "Could not store subscription ref, statePorts_.insert failed for port 7"));
}

TEST_F(IepcsiPortSmTest, AnotherHandlersServerDownLeavesTheReferences) {
    ServiceHandler other(HANDLER_ID + 1, controller.get());
    handler->storeSubscriptionRef(PORT_ID, SUBSCRIPTION);
    other.sendEvent(ServiceHandler::SERVER_DOWN_EVENT());
    EXPECT_EQ(1u, handler->getStatePorts().size());
}

}  // namespace
}  // namespace Test
}  // namespace Sync
