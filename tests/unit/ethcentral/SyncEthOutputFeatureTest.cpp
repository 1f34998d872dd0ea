#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "Macros.h"
#include "SyncEthOutputTestFixture.h"
#include "TraceCapture.h"

namespace Sync {
namespace Test {
namespace {

size_t historyEntries(SyncEthOutputFeature& feature) {
    size_t entries = 0;
    for (const std::string& line : printed([&feature] { feature.printFeatureInfo(); })) {
        entries += line.compare(0, 3, "  [") == 0 ? 1 : 0;
    }
    return entries;
}

class SyncEthOutputFeatureTest : public ::testing::Test {
  protected:
    OutputModel<> model;
    TestOutputFeature* feature = model.feature;
};

struct UpdateCase {
    const char* name;
    void (SyncEthOutputFeature::*update)(uint32_t);
    uint32_t (SyncEthOutputFeature::*get)() const;
    uint32_t value;
    const char* event;
    size_t historyEntries;  // only a changed quality is remembered
};

const UpdateCase updateCases[] = {
    {"selection mode", &SyncEthOutputFeature::updateSelectionProcessMode,
     &SyncEthOutputFeature::getSelectionProcessMode, 1, ESMC, 1},
    {"clock quality", &SyncEthOutputFeature::updateClockSettledQuality,
     &SyncEthOutputFeature::getClockSettledQuality, 20, TRANSMIT, 2},
    {"telecom standard", &SyncEthOutputFeature::updateTelecomStandard,
     &SyncEthOutputFeature::getTelecomStandard, 3, TRANSMIT, 1},
};

// Two equal indications in a row: one round of events on every output, one history entry at most.
TEST(SyncEthOutputFeatureUpdateTest, EachUpdateAnnouncesOnlyAChange) {
    for (const UpdateCase& c : updateCases) {
        SCOPED_TRACE(c.name);
        OutputModel<> m;
        const std::vector<SyncEthOutput*> outputs = m.withOutputs(3);
        OutputEventRecorder recorder;
        (m.feature->*c.update)(c.value);
        (m.feature->*c.update)(c.value);
        EXPECT_EQ(c.value, (m.feature->*c.get)());
        EXPECT_EQ(eventsOn(c.event, outputs), recorder.names);
        EXPECT_EQ(c.historyEntries, historyEntries(*m.feature));
    }
}

TEST_F(SyncEthOutputFeatureTest, RecDeleteForgetsQualityWithoutHistoryOrEvents) {
    model.withOutputs(2);
    feature->updateSelectionProcessMode(1);
    feature->updateClockSettledQuality(20);
    OutputEventRecorder recorder;
    feature->updateRecDelete();
    EXPECT_TRUE(recorder.names.empty());
    EXPECT_EQ(0u, feature->getRecState());
    EXPECT_EQ(2u, feature->getSelectionProcessMode());
    EXPECT_EQ(15u, feature->getClockSettledQuality());
    feature->updateClockSettledQuality(15);
    EXPECT_EQ(2u, historyEntries(*feature));
    feature->updateClockSettledQuality(20);
    EXPECT_EQ(3u, historyEntries(*feature));
}

TEST_F(SyncEthOutputFeatureTest, ExtendedQlTlvUpdateTransmitsOnlyWhenSomethingDiffers) {
    const std::vector<SyncEthOutput*> outputs = model.withOutputs(2);
    OutputEventRecorder recorder;
    feature->updateExtendedQlTlvInfo(0, 0x02, 1, 0);
    EXPECT_TRUE(recorder.names.empty());
    const uint8_t changes[][4] = {{5, 0x02, 1, 0}, {5, 0x03, 1, 0}, {5, 0x03, 2, 0}, {5, 0x03, 2, 7}};
    for (const auto& c : changes) {
        recorder.names.clear();
        feature->updateExtendedQlTlvInfo(c[0], c[1], c[2], c[3]);
        EXPECT_EQ(eventsOn(TRANSMIT, outputs), recorder.names);
        EXPECT_EQ(c[0], outputs[1]->getSyncEMasterId());
        EXPECT_EQ(c[1], outputs[1]->getFlag());
        EXPECT_EQ(c[2], outputs[1]->getNumberCascadedEnhancedEec());
        EXPECT_EQ(c[3], outputs[1]->getNumberCascadedEec());
    }
}

TEST_F(SyncEthOutputFeatureTest, BrokenAndInitRestartsTheChainAtThisNodeAndAlwaysTransmits) {
    model.withOutputs(1);
    const uint8_t mac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    feature->setMySyncEMasterId(mac);
    feature->updateExtendedQlTlvInfo(9, 0x07, 5, 6);
    OutputEventRecorder recorder;
    for (bool broken : {false, false, true}) {
        feature->updateExtendedQlTlvInfoByBrokenAndInit(broken);
        EXPECT_EQ(0x021122FFFE334455ull, feature->getSyncEMasterId());
        EXPECT_EQ(broken ? 0x00 : 0x02, feature->getFlag());
        EXPECT_EQ(1, feature->getNumberCascadedEeec());
        EXPECT_EQ(0, feature->getNumberCascadedEec());
    }
    EXPECT_EQ(3u, recorder.count(TRANSMIT));
}

TEST_F(SyncEthOutputFeatureTest, ActiveReferenceTakesTheLagOfItsPortsOutput) {
    const std::vector<SyncEthOutput*> outputs = model.withOutputs(2);
    outputs[1]->getEthernetPort()->updateLagPortConfiguration(1, "L1");
    model.addPort("port-without-output");
    OutputEventRecorder recorder;
    feature->updateActiveReference("ref-1", "port-2");
    EXPECT_EQ("ref-1", feature->getSelectedRef());
    EXPECT_EQ("port-2", feature->getPortOfActiveReference());
    EXPECT_EQ("L1", feature->getLagPortLdnOfActiveReference());
    EXPECT_EQ(eventsOn(TRANSMIT, outputs), recorder.names);
    // Stored and announced even when nothing changed.
    feature->updateActiveReference("ref-1", "port-without-output");
    feature->updateActiveReference("ref-1", "port-without-output");
    EXPECT_EQ("NONE", feature->getLagPortLdnOfActiveReference());
    EXPECT_EQ(6u, recorder.count(TRANSMIT));
}

TEST_F(SyncEthOutputFeatureTest, LagChangeOfTheActiveReferenceTransmitsOnThatLagOnly) {
    const std::vector<SyncEthOutput*> outputs = model.withOutputs(4);
    outputs[0]->getEthernetPort()->updateLagPortConfiguration(1, "L1");
    outputs[2]->getEthernetPort()->updateLagPortConfiguration(1, "L1");
    outputs[3]->getEthernetPort()->updateLagPortConfiguration(1, "L2");
    OutputEventRecorder recorder;
    feature->updateLagPortOfActiveReference("L1");
    EXPECT_EQ(eventsOn(TRANSMIT, {outputs[0], outputs[2]}), recorder.names);
    EXPECT_EQ(0xFu, outputs[2]->getSsmCode());
}

TEST_F(SyncEthOutputFeatureTest, DeletingOutputsRaisesDeletedAndForgetsThem) {
    const std::vector<SyncEthOutput*> outputs = model.withOutputs(3);
    const uint32_t middleId = outputs[1]->getEntityId();
    EthernetPort* middlePort = outputs[1]->getEthernetPort();
    OutputEventRecorder recorder;
    EXPECT_TRUE(feature->deleteSyncEthOutput(outputs[1]));
    EXPECT_EQ((std::vector<std::string>{std::string(DELETED) + "(" + std::to_string(middleId) + ")"}),
              recorder.names);
    EXPECT_EQ(nullptr, feature->findSyncEthOutput(middleId));
    EXPECT_EQ(nullptr, feature->findSyncEthOutputByPortId(middlePort->getEntityId()));
    EXPECT_EQ(nullptr, feature->findSyncEthOutputByEncapsulation("port-2"));

    // The port gets a new output, under a new id; all go, highest index first.
    const uint32_t again = feature->createSyncEthOutput(middlePort);
    EXPECT_GT(again, outputs[2]->getEntityId());
    recorder.names.clear();
    const std::vector<std::string> expected = {std::string(DELETED) + "(" + std::to_string(again) + ")",
                                               eventsOn(DELETED, {outputs[2]})[0],
                                               eventsOn(DELETED, {outputs[0]})[0]};
    feature->deleteSyncEthOutputs();
    EXPECT_EQ(expected, recorder.names);
    EXPECT_EQ(0u, feature->myFactory()->size());
}

TEST(SyncEthOutputFeatureLdnTest, FindersFollowAPortWhoseLdnIsItsTnportName) {
    OutputModel<TnportNamedEthernetPort> model;
    model.feature->updateRecCreate();
    TnportNamedEthernetPort* port = model.addPort("ignored");
    port->updateEthernetConfiguration("mac", "eth0", "tn-1", 1, 0);
    SyncEthOutput* output = model.addOutput(port);
    ASSERT_NE(nullptr, output);
    port->updateEthernetConfiguration("mac", "eth0", "tn-2", 1, 0);
    EXPECT_EQ(output, model.feature->findSyncEthOutputByEncapsulation("tn-2"));
    EXPECT_EQ(nullptr, model.feature->findSyncEthOutputByEncapsulation("tn-1"));
    EXPECT_EQ(output->getEntityId(), model.feature->createSyncEthOutput(port));
}

// The indexed finders against a plain walk of the factory in index order, over a long run of random
// creations, deletions, renamings (so that ports share ldns) and rebindings.
TEST_F(SyncEthOutputFeatureTest, IndexedFindersMatchAWalkInIndexOrder) {
    feature->updateRecCreate();
    const std::vector<std::string> names = {"a", "b", "c", "d", "e", "f"};
    std::vector<TestEthernetPort*> ports;
    for (int i = 0; i < 12; ++i) {
        ports.push_back(model.addPort(names[i % names.size()] + std::to_string(i)));
    }
    auto walk = [this](const std::function<bool(EthernetPort*)>& matches) -> SyncEthOutput* {
        for (DomainEntity* entity : *feature->myFactory()) {
            if (matches(static_cast<SyncEthOutput*>(entity)->getEthernetPort())) {
                return static_cast<SyncEthOutput*>(entity);
            }
        }
        return nullptr;
    };
    std::mt19937 random(12345);
    auto pick = [&random](size_t n) { return static_cast<uint32_t>(random() % n); };
    for (int step = 0; step < 1500; ++step) {
        SCOPED_TRACE(step);
        const uint32_t outputs = feature->myFactory()->size();
        auto anyOutput = [&] { return static_cast<SyncEthOutput*>((*feature->myFactory())[pick(outputs)]); };
        const uint32_t action = pick(4);
        if (action == 0) {
            feature->createSyncEthOutput(ports[pick(ports.size())]);
        } else if (action == 1 && outputs > 0) {
            feature->deleteSyncEthOutput(anyOutput());
        } else if (action == 2) {
            ports[pick(ports.size())]->setLdn(names[pick(names.size())]);
        } else if (outputs > 0) {
            anyOutput()->setEthernetPort(ports[pick(ports.size())]);
        }
        for (const std::string& name : names) {
            ASSERT_EQ(walk([&](EthernetPort* p) { return p->getLdn() == name; }),
                      feature->findSyncEthOutputByEncapsulation(name));
        }
        for (TestEthernetPort* port : ports) {
            ASSERT_EQ(walk([&](EthernetPort* p) { return p == port; }),
                      feature->findSyncEthOutputByPortId(port->getEntityId()));
        }
    }
}

TEST_F(SyncEthOutputFeatureTest, FanOutCopesWithOutputsDeletedByTheReaction) {
    const std::vector<SyncEthOutput*> outputs = model.withOutputs(4);
    const std::vector<std::string> transmits = eventsOn(TRANSMIT, outputs);
    const std::vector<std::string> deletes = eventsOn(DELETED, outputs);
    OutputEventRecorder recorder;
    recorder.after = [&](PolymorphEvent& event) {
        const bool transmit =
            event.getTypeId() == SyncEthOutput::SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT::classTypeId();
        if (transmit && event.getSource() == outputs[0]) {
            feature->deleteSyncEthOutput(outputs[1]);
        } else if (transmit && event.getSource() == outputs[2]) {
            feature->deleteSyncEthOutput(outputs[2]);
        } else if (transmit && event.getSource() == outputs[3]) {
            feature->deleteSyncEthOutput(outputs[0]);  // one already visited: the last moves down
        }
    };
    feature->notifyTransmitSsm();
    EXPECT_EQ((std::vector<std::string>{transmits[0], deletes[1], transmits[2], deletes[2], transmits[3],
                                        deletes[0]}),
              recorder.names);
}

TEST_F(SyncEthOutputFeatureTest, PrintsEveryOutputInIndexOrder) {
    EXPECT_EQ((std::vector<std::string>{"************************* SyncEthOutput *************************",
                                        " #Total SyncEthOutput: 0", ""}),
              printed([this] { feature->printOutputs(); }));
    const std::vector<SyncEthOutput*> outputs = model.withOutputs(2);
    const std::vector<std::string> lines = printed([this] { feature->printOutputs(); });
    ASSERT_EQ(3u + 2 * 7, lines.size());
    EXPECT_EQ(" #Total SyncEthOutput: 2", lines[1]);
    EXPECT_EQ(" #SyncEthOutput, id: " + std::to_string(outputs[0]->getEntityId()) + " ", lines[3]);
    EXPECT_EQ(" #SyncEthOutput, id: " + std::to_string(outputs[1]->getEntityId()) + " ", lines[10]);
}

struct FactorylessFeature : SyncEthOutputFeature {
    FactorylessFeature() : SyncEthOutputFeature(nullptr, 1) {}
    void activate() override {}
    void deactivate() override {}
};

TEST(SyncEthOutputFeatureFactoryTest, MissingOutputFactoryStopsTheProcess) {
    FactorylessFeature feature;
    feature.updateRecCreate();
    PortFactory<TestEthernetPort> ports;
    TestEthernetPort* port = ports.createPort("p");
    EXPECT_EQ(nullptr, feature.findSyncEthOutput(1));
    EXPECT_DEATH(feature.notifyTransmitSsm(), "");
    EXPECT_DEATH(feature.createSyncEthOutput(port), "");
}

}  // namespace
}  // namespace Test
}  // namespace Sync
