#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "eventHandling/AutomatonBase.h"
#include "eventHandling/DONE.h"
#include "eventHandling/Event.h"
#include "eventHandling/EventHandler.h"
#include "eventHandling/IDLE.h"
#include "eventHandling/IEntity.h"

namespace {

struct GO_EVENT : Sync::Event<GO_EVENT> {};
struct BACK_EVENT : Sync::Event<BACK_EVENT> {};
struct SIDE_EVENT : Sync::Event<SIDE_EVENT> {};
struct DATA_EVENT : Sync::Event<DATA_EVENT> {
    explicit DATA_EVENT(int value) : value(value) {}
    int value;
};

struct RUNNING : Sync::State<RUNNING> {};
struct PAUSED : Sync::State<PAUSED> {};

class Port : public Sync::IEntity {};
class Stranger : public Sync::IEntity {};

using Log = std::vector<std::string>;

// Owns the automaton under test; its actions and guards record what they saw.
class Owner : public Sync::EventHandler {
  public:
    Owner(uint32_t id, Log& log) : EventHandler(id), log(log) {}

    bool act(Port* port) {
        log.push_back(tag + "act");
        lastPort = port;
        stateSeenByAction = port != nullptr ? port->getState(getId())->getName() : "";
        return false;
    }
    bool guard(Port* port) {
        log.push_back(tag + "guard");
        lastPort = port;
        return allow;
    }
    bool readData(DATA_EVENT* event) {
        log.push_back(tag + "data " + std::to_string(event->value));
        return true;
    }

    std::string tag;
    Log& log;
    bool allow = true;
    Port* lastPort = nullptr;
    std::string stateSeenByAction;
};

// An automaton whose table each test writes.
class Sm : public Sync::AutomatonBase<Owner, Port> {
  public:
    using Table = std::function<void(Sm&)>;
    Sm(Owner* owner, Table table) : AutomatonBase(owner), table(std::move(table)) { start(); }
    void defineTransitions() override { table(*this); }

    using AutomatonBase::addTransition;
    using AutomatonBase::defineTransition;

  private:
    Table table;
};

class AutomatonTest : public ::testing::Test {
  protected:
    Log log;
    Owner owner{7, log};
    Port port;
};

TEST_F(AutomatonTest, AnEntityStartsInIdleAndATransitionFromIdleFiresOnItsFirstEvent) {
    EXPECT_TRUE(port.isInState<Sync::IDLE>(7));
    EXPECT_EQ(port.getState(7), &Sync::IDLE::instance());
    Sm sm(&owner, [](Sm& s) { s.addTransition<GO_EVENT, Sync::IDLE, RUNNING>(&Owner::act); });
    port.sendEvent(GO_EVENT());
    EXPECT_TRUE(port.isInState<RUNNING>(7));
    EXPECT_EQ(log, (Log{"act"}));
    EXPECT_EQ(owner.lastPort, &port);
    // The action runs after the state change.
    EXPECT_EQ(owner.stateSeenByAction, "RUNNING");
}

TEST_F(AutomatonTest, ATransitionToTheSameClassRunsItsActionWithoutAStateChange) {
    Sm sm(&owner, [](Sm& s) {
        s.addTransition<GO_EVENT, Sync::IDLE, RUNNING>();
        s.addTransition<SIDE_EVENT, RUNNING, RUNNING>(&Owner::act);
    });
    port.sendEvent(GO_EVENT());
    Sync::IState* running = port.getState(7);
    port.sendEvent(SIDE_EVENT());
    port.sendEvent(SIDE_EVENT());
    EXPECT_EQ(log, (Log{"act", "act"}));
    // The state object recorded first stays: another object of the same class is the same state.
    EXPECT_EQ(port.getState(7), running);
}

TEST_F(AutomatonTest, AGuardThatRefusesLeavesTheStateAndSkipsTheAction) {
    Sm sm(&owner, [](Sm& s) { s.addTransition<GO_EVENT, Sync::IDLE, RUNNING>(&Owner::guard, &Owner::act); });
    owner.allow = false;
    port.sendEvent(GO_EVENT());
    EXPECT_TRUE(port.isInState<Sync::IDLE>(7));
    EXPECT_EQ(log, (Log{"guard"}));
    EXPECT_EQ(owner.lastPort, &port);
    owner.allow = true;
    port.sendEvent(GO_EVENT());
    EXPECT_TRUE(port.isInState<RUNNING>(7));
    EXPECT_EQ(log, (Log{"guard", "guard", "act"}));
}

TEST_F(AutomatonTest, AutomataOfDifferentOwnersKeepIndependentStates) {
    Owner other(8, log);
    other.tag = "other ";
    Sm mine(&owner, [](Sm& s) {
        s.addTransition<GO_EVENT, Sync::IDLE, RUNNING>(&Owner::act);
        s.addTransition<BACK_EVENT, RUNNING, Sync::IDLE>(&Owner::act);
    });
    Sm theirs(&other, [](Sm& s) {
        s.addTransition<GO_EVENT, Sync::IDLE, PAUSED>(&Owner::act);
        s.addTransition<BACK_EVENT, RUNNING, Sync::DONE>(&Owner::act);
    });
    port.sendEvent(GO_EVENT());
    EXPECT_TRUE(port.isInState<RUNNING>(7));
    EXPECT_TRUE(port.isInState<PAUSED>(8));
    port.sendEvent(BACK_EVENT());
    EXPECT_TRUE(port.isInState<Sync::IDLE>(7));
    EXPECT_TRUE(port.isInState<PAUSED>(8));
    // Listeners are told in the order the automata were built.
    EXPECT_EQ(log, (Log{"act", "other act", "act"}));

    // Many entities share one automaton, each with its own state.
    Port second;
    second.sendEvent(GO_EVENT());
    EXPECT_TRUE(second.isInState<RUNNING>(7));
    EXPECT_TRUE(port.isInState<Sync::IDLE>(7));
}

TEST_F(AutomatonTest, ActionsReceiveTheEventWithItsData) {
    Sm sm(&owner, [](Sm& s) { s.addTransition<DATA_EVENT, Sync::IDLE, Sync::IDLE>(&Owner::readData); });
    port.sendEvent(DATA_EVENT(41));
    port.sendEvent(DATA_EVENT(42));
    EXPECT_EQ(log, (Log{"data 41", "data 42"}));
}

TEST_F(AutomatonTest, ASourceOfAnotherClassReachesTheActionAsNull) {
    Sm sm(&owner, [](Sm& s) { s.addTransition<GO_EVENT, Sync::IDLE, RUNNING>(&Owner::act); });
    Stranger stranger;
    owner.lastPort = &port;
    stranger.sendEvent(GO_EVENT());
    EXPECT_EQ(log, (Log{"act"}));
    EXPECT_EQ(owner.lastPort, nullptr);
    EXPECT_TRUE(stranger.isInState<RUNNING>(7));
}

TEST_F(AutomatonTest, TheFirstEntryForAnEventAndStateIsKept) {
    Sm sm(&owner, [](Sm& s) {
        s.addTransition<GO_EVENT, Sync::IDLE, RUNNING>(&Owner::act);
        s.addTransition<GO_EVENT, Sync::IDLE, PAUSED>(&Owner::guard, &Owner::act);
    });
    port.sendEvent(GO_EVENT());
    EXPECT_TRUE(port.isInState<RUNNING>(7));
    EXPECT_EQ(log, (Log{"act"}));
    EXPECT_EQ(sm.getListenerCount(), 1u);
}

TEST_F(AutomatonTest, ADestroyedAutomatonNoLongerReacts) {
    auto sm = std::make_unique<Sm>(
        &owner, [](Sm& s) { s.addTransition<GO_EVENT, Sync::IDLE, RUNNING>(&Owner::act); });
    sm.reset();
    port.sendEvent(GO_EVENT());
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(port.isInState<Sync::IDLE>(7));
}

}  // namespace
