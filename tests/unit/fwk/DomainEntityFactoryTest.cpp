#include "eventHandling/DomainEntityFactory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "eventHandling/DomainEntity.h"
#include "eventHandling/Event.h"
#include "eventHandling/FwkException.h"
#include "trace/TraceHooks.h"

namespace {

using Sync::DomainEntityFactory;
using Sync::FwkException;

struct Journal {
    std::vector<std::string> lines;
    void note(const std::string& line) { lines.push_back(line); }
};

class Thing : public Sync::DomainEntity {
  public:
    Thing(uint32_t id, Sync::IDomainEntityFactory* factory, uint32_t param, Journal& journal)
        : DomainEntity(id, factory), param(param), journal(journal) {}
    ~Thing() override { journal.note("delete " + std::to_string(entityId)); }
    void activate() override { journal.note("activate " + std::to_string(entityId)); }
    void deactivate() override { journal.note("deactivate " + std::to_string(entityId)); }

    uint32_t param;
    Journal& journal;
};

class ThingFactory : public DomainEntityFactory {
  public:
    ThingFactory(uint32_t max, Journal& journal) : DomainEntityFactory(9, max), journal(journal) {}

    // Creates and registers, as the model does.
    Thing* make(uint32_t id, uint32_t param = 0) {
        auto* thing = static_cast<Thing*>(create(id, param));
        add(thing);
        return thing;
    }

  protected:
    Sync::DomainEntity* createEntity(uint32_t entityId, uint32_t param) override {
        return new Thing(entityId, this, param, journal);
    }

  private:
    Journal& journal;
};

std::string refusal(ThingFactory& factory, uint32_t id) {
    try {
        Sync::DomainEntity* entity = factory.create(id, 0);
        delete entity;
    } catch (const FwkException& e) {
        return e.what();
    }
    return "no exception";
}

TEST(DomainEntityFactory, LowestFreeIdFromOne) {
    struct Case {
        std::vector<uint32_t> ids;
        uint32_t max;
        uint32_t expected;  // 0: refused
    };
    const Case cases[] = {
        {{}, 5, 1},        {{1, 2, 3}, 5, 4},      {{2, 3}, 5, 1}, {{1, 2, 4}, 5, 3},       {{1, 3}, 3, 2},
        {{0, 1, 2}, 5, 3}, {{1, 2, 3, 10}, 10, 4}, {{100}, 5, 1},  {{1, 2, 3, 4, 5}, 5, 0}, {{1, 2, 3}, 3, 0},
        {{}, 0, 0},        {{}, 0xFFFFFFFF, 0},
    };
    for (const Case& c : cases) {
        Journal journal;
        ThingFactory factory(c.max, journal);
        for (uint32_t id : c.ids) {
            factory.add(new Thing(id, &factory, 0, journal));
        }
        if (c.expected != 0) {
            EXPECT_EQ(factory.getFreeEntityId(), c.expected) << "max " << c.max;
        } else {
            try {
                factory.getFreeEntityId();
                ADD_FAILURE() << "no exception, max " << c.max;
            } catch (const FwkException& e) {
                EXPECT_EQ(std::string(e.what()),
                          "Maximum number of entities already created: " + std::to_string(c.max));
            }
        }
    }
}

TEST(DomainEntityFactory, RefusedCreationsCarryTheirReason) {
    Journal journal;
    ThingFactory factory(3, journal);
    factory.make(7);
    EXPECT_EQ(refusal(factory, 7), "Entity has already been created. entityId: 7");
    factory.make(8);
    factory.make(9);
    EXPECT_EQ(refusal(factory, 10), "Maximum number of entities already created. max: 3");
    EXPECT_EQ(factory.size(), 3u);
}

TEST(DomainEntityFactory, AddActivatesRegisteredEntitiesAndDeactivateKeepsThem) {
    Journal journal;
    ThingFactory factory(5, journal);
    Thing* first = factory.make(4);
    Thing twin(4, &factory, 0, journal);
    EXPECT_FALSE(factory.add(&twin));
    EXPECT_FALSE(factory.add(nullptr));
    EXPECT_EQ(factory.find(4), first);
    Thing stray(3, &factory, 0, journal);
    factory.deactivate(&stray);
    factory.deactivate(first);
    factory.deactivate(nullptr);
    EXPECT_EQ(journal.lines, (std::vector<std::string>{"activate 4", "deactivate 4"}));
    EXPECT_EQ(factory.lookup(4), first);
}

TEST(DomainEntityFactory, EntitiesAreKeptAndWalkedInIdOrder) {
    Journal journal;
    ThingFactory factory(100, journal);
    for (uint32_t id : {40u, 5u, 17u, 90u, 1u}) {
        factory.make(id);
    }
    EXPECT_EQ(factory.getEntityIds(), (std::vector<uint32_t>{1, 5, 17, 40, 90}));
    std::vector<uint32_t> byIndex;
    for (uint32_t i = 0; i < factory.size(); ++i) {
        byIndex.push_back(factory[i]->getEntityId());
    }
    std::vector<uint32_t> walked;
    for (Sync::DomainEntity* entity : factory) {
        walked.push_back(entity->getEntityId());
    }
    EXPECT_EQ(byIndex, factory.getEntityIds());
    EXPECT_EQ(walked, factory.getEntityIds());

    factory.destroy(17);
    factory.destroy(1234);
    EXPECT_EQ(factory.getEntityIds(), (std::vector<uint32_t>{1, 5, 40, 90}));
    EXPECT_EQ(factory.lookup(17), nullptr);
    EXPECT_EQ(journal.lines.back(), "delete 17");
}

TEST(DomainEntityFactory, DestructionDeletesInAscendingIdOrder) {
    Journal journal;
    {
        ThingFactory factory(10, journal);
        for (uint32_t id : {3u, 9u, 1u}) {
            factory.make(id);
        }
        journal.lines.clear();
    }
    EXPECT_EQ(journal.lines, (std::vector<std::string>{"delete 1", "delete 3", "delete 9"}));
}

TEST(DomainEntityFactory, FillsAndRefillsAFullTableOfSixtyFiveThousandEntities) {
    Journal journal;
    ThingFactory factory(65535, journal);
    // A chosen id comes with the marker as its param, whatever the caller passed.
    EXPECT_EQ(factory.make(DomainEntityFactory::kAnyEntityId, 77)->param, DomainEntityFactory::kAnyEntityId);
    for (uint32_t expected = 2; expected <= 65535; ++expected) {
        ASSERT_EQ(factory.make(DomainEntityFactory::kAnyEntityId)->getEntityId(), expected);
    }
    EXPECT_EQ(refusal(factory, DomainEntityFactory::kAnyEntityId),
              "Maximum number of entities already created: 65535");
    factory.destroy(30000);
    EXPECT_EQ(factory.make(DomainEntityFactory::kAnyEntityId)->getEntityId(), 30000u);
    journal.lines.clear();
}

struct NUDGE_EVENT : Sync::Event<NUDGE_EVENT> {};

void quietSyslog(int, const char*, ...) {}
void traceToStderr(uint32_t, const char*, const char*, int, const char* text) {
    std::fprintf(stderr, "%s\n", text);
}

TEST(DomainEntityFactoryDeathTest, LookupsOfEntitiesThatMustExistAbort) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Journal journal;
    ThingFactory factory(5, journal);
    factory.make(1);
    auto traced = [] {
        Sync::setTraceSyslog(&quietSyslog);
        Sync::setTraceCaptureHook(&traceToStderr);
    };
    EXPECT_DEATH(
        {
            traced();
            factory.find(9);
        },
        "Critical situation. Entity with entityId: 9 could not be found. ==> Abort");
    EXPECT_DEATH(
        {
            traced();
            factory[1];
        },
        "Critical situation. Entity at index: 1 could not be found. ==> Abort");
    // An entity that is not in its factory cannot raise events; one that is can.
    Thing* registered = factory.make(2);
    EXPECT_DEATH(
        {
            traced();
            Thing orphan(3, &factory, 0, journal);
            orphan.sendEvent(NUDGE_EVENT());
        },
        "Entity with entityId: 3 could not be found");
    registered->sendEvent(NUDGE_EVENT());
}

}  // namespace
