#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "eventHandling/Event.h"
#include "eventHandling/IEntity.h"
#include "eventHandling/Listener.h"

namespace {

struct PING_EVENT : Sync::Event<PING_EVENT> {};
struct PONG_EVENT : Sync::Event<PONG_EVENT> {};

using Log = std::vector<std::string>;

// Records its name on every event and then runs an optional reaction.
template <class E>
class Probe : public Sync::Listener<E> {
  public:
    Probe(std::string name, Log& log) : name(std::move(name)), log(log) {}
    void onEvent(E& event) override {
        log.push_back(name);
        if (react) {
            react(event);
        }
    }

    std::string name;
    Log& log;
    std::function<void(E&)> react;
};

class ListenerRegistryTest : public ::testing::Test {
  protected:
    void raise() {
        PING_EVENT ping;
        entity.sendEvent(ping);
    }

    Sync::IEntity entity;
    Log log;
};

TEST_F(ListenerRegistryTest, ListenersHearEveryRaiseInRegistrationOrder) {
    Probe<PING_EVENT> b("b", log);
    Probe<PING_EVENT> a("a", log);
    b.startListening();
    a.startListening();
    a.startListening();  // already listening: no second entry
    raise();
    raise();
    EXPECT_EQ(log, (Log{"b", "a", "b", "a"}));
}

TEST_F(ListenerRegistryTest, ARaiseOfTheSameTypeDuringItsDispatchIsDropped) {
    Probe<PING_EVENT> ping("ping", log);
    Probe<PONG_EVENT> pong("pong", log);
    ping.react = [&](PING_EVENT&) {
        raise();
        entity.sendEvent(PONG_EVENT());
        log.push_back("ping done");
    };
    ping.startListening();
    pong.startListening();
    raise();
    EXPECT_EQ(log, (Log{"ping", "pong", "ping done"}));
}

TEST_F(ListenerRegistryTest, ChangesDuringADispatchTakeEffectWhenItEnds) {
    struct Case {
        const char* name;
        std::function<void(Probe<PING_EVENT>& target)> change;
        Log firstRaise;
        Log secondRaise;
        bool listeningAfter;
    };
    const std::vector<Case> cases = {
        {"stopped by an earlier listener: still called this time",
         [](Probe<PING_EVENT>& t) { t.stopListening(); },
         {"first", "target"},
         {"first"},
         false},
        {"stopped and started again: the removal is cancelled",
         [](Probe<PING_EVENT>& t) {
             t.stopListening();
             t.startListening();
         },
         {"first", "target"},
         {"first", "target"},
         true},
    };
    for (const Case& c : cases) {
        log.clear();
        Probe<PING_EVENT> first("first", log);
        Probe<PING_EVENT> target("target", log);
        first.startListening();
        target.startListening();
        first.react = [&](PING_EVENT&) { c.change(target); };
        raise();
        EXPECT_EQ(log, c.firstRaise) << c.name;
        first.react = nullptr;
        log.clear();
        raise();
        EXPECT_EQ(log, c.secondRaise) << c.name;
        EXPECT_EQ(target.isListening(), c.listeningAfter) << c.name;
    }
}

TEST_F(ListenerRegistryTest, AListenerStartedDuringADispatchHearsOnlyTheNextRaise) {
    Probe<PING_EVENT> first("first", log);
    Probe<PING_EVENT> late("late", log);
    Probe<PING_EVENT> never("never", log);
    first.react = [&](PING_EVENT&) {
        late.startListening();
        never.startListening();
        never.stopListening();
    };
    first.startListening();
    raise();
    EXPECT_EQ(log, (Log{"first"}));
    EXPECT_FALSE(never.isListening());
    first.react = nullptr;
    log.clear();
    raise();
    EXPECT_EQ(log, (Log{"first", "late"}));
}

TEST_F(ListenerRegistryTest, AListenerDestroyedDuringADispatchIsNotCalled) {
    Probe<PING_EVENT> first("first", log);
    auto doomed = std::make_unique<Probe<PING_EVENT>>("doomed", log);
    Probe<PING_EVENT> last("last", log);
    first.react = [&](PING_EVENT&) { doomed.reset(); };
    first.startListening();
    doomed->startListening();
    last.startListening();
    raise();
    EXPECT_EQ(log, (Log{"first", "last"}));
    log.clear();
    raise();
    EXPECT_EQ(log, (Log{"first", "last"}));
}

TEST_F(ListenerRegistryTest, AReactionThatThrowsDoesNotLeaveTheTypeDeaf) {
    Probe<PING_EVENT> probe("p", log);
    probe.react = [](PING_EVENT&) { throw std::runtime_error("refused"); };
    probe.startListening();
    EXPECT_THROW(raise(), std::runtime_error);
    EXPECT_FALSE(probe.isInCallback());
    probe.react = nullptr;
    raise();
    EXPECT_EQ(log, (Log{"p", "p"}));
}

TEST(EventTypes, EachClassHasItsOwnIdAndName) {
    PING_EVENT ping;
    PONG_EVENT pong;
    EXPECT_NE(ping.getTypeId(), pong.getTypeId());
    EXPECT_EQ(ping.getTypeId(), PING_EVENT::classTypeId());
    EXPECT_STREQ(ping.getName(), "PING_EVENT");
}

}  // namespace
