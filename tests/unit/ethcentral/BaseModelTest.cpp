// The base model with a feature factory that makes only the output feature (as in this daemon): the
// indexed port lookups against a plain walk of the port factory, output creation and deletion with
// the REC, and the input-side operations, which find no input feature.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Macros.h"
#include "SyncEthOutputTestFixture.h"
#include "TraceCapture.h"
#include "model/BaseModel.h"

namespace Sync {
namespace Test {
namespace {

using EthCentral::BaseModel;

class OutputOnlyModel : public BaseModel {
  public:
    class Features : public FeatureFactory {
      public:
        DomainEntity* createObject(uint32_t type) override {
            return type == SYNCETH_OUTPUT ? new TestOutputFeature(this, type) : nullptr;
        }
    };
    class Ports : public EthernetPortFactory {
      public:
        DomainEntity* createObject(uint32_t id) override { return new TestEthernetPort(this, id); }
    };

    void init() override {
        featureFactory = createFeatureFactory();
        portFactory = createPortFactory();
        createAndRegisterFeature(SYNCETH_OUTPUT);
    }
    FeatureFactory* getFeatureFactory() override { return featureFactory; }
    FeatureFactory* createFeatureFactory() override { return new Features(); }
    EthernetPortFactory* createPortFactory() override { return new Ports(); }

    TestOutputFeature& feature() { return *static_cast<TestOutputFeature*>(outputFeature()); }

    // What the lookup must answer: the first port, in index order, with that ldn.
    EthernetPort* walkForLdn(const std::string& ldn) {
        for (DomainEntity* entity : *getPortFactory()) {
            auto* port = static_cast<EthernetPort*>(entity);
            if (port->getLdn() == ldn) {
                return port;
            }
        }
        return nullptr;
    }
};

class BaseModelTest : public ::testing::Test {
  protected:
    void SetUp() override { model.init(); }

    TraceCapture traces;
    OutputOnlyModel model;
    OutputEventRecorder events;
};

TEST_F(BaseModelTest, LdnLookupAnswersWhatTheWalkWouldFindWhileLdnsChange) {
    EthernetPort* a = model.createPort("A");
    EthernetPort* b = model.createPort("B");
    EthernetPort* c = model.createPort("C");
    ASSERT_TRUE(a && b && c);
    const std::vector<std::function<void()>> steps = {
        [] {},
        [&] { b->setLdn("A"); },                                        // two ports named A
        [&] { a->setLdn("X"); },                                        // the first one leaves
        [&] { a->setLdn("A"); },                                        // and comes back before b
        [&] { c->updateEthernetConfiguration("m", "if", "T", 1, 0); },  // not the ldn
        [&] { b->setLdn("C"); },
    };
    for (size_t step = 0; step < steps.size(); ++step) {
        steps[step]();
        for (const std::string ldn : {"A", "B", "C", "X", "T"}) {
            EXPECT_EQ(model.walkForLdn(ldn), model.findEthernetPortByEncapsulation(ldn))
                << "step " << step << ", ldn " << ldn;
        }
    }
}

TEST_F(BaseModelTest, CreatePortReusesThePortOfAnLdnAndTakesNoNewId) {
    EthernetPort* first = model.createPort("A");
    model.createPort("B");
    EXPECT_EQ(first, model.createPort("A"));
    EXPECT_EQ(2u, model.getPortFactory()->size());
    EXPECT_EQ(first, model.findEthernetPort(first->getEntityId()));
    EXPECT_EQ(nullptr, model.findEthernetPort(first->getEntityId() + 1000));
}

TEST_F(BaseModelTest, InputSideOperationsFindNoInputFeatureAndAnswerAsFixed) {
    const struct {
        const char* name;
        std::function<bool()> call;
        bool result;
    } cases[] = {
        {"srs quality level", [&] { return model.notifySrsQualityLevelIndication(5); }, false},
        {"srs assist data", [&] { return model.notifySrsAssistDataFwd(5, 1, 2, true); }, false},
        {"defect", [&] { return model.notifyInputDefectFwd(5, 0x3); }, true},
        {"received ssm", [&] { return model.notifyInputReceivedSsmFwd(5, 2, 0); }, true},
        {"received tlv",
         [&] {
             return model.notifyInputReceivedExtendedQlTlvFwd(5, {1, 2, 3, 4});
         },
         true},
        {"recr config", [&] { return model.notifyRecrConfigInd("ref", 1, 2); }, true},
        {"recr use ql", [&] { return model.notifyRecrUseQLFrom("ref", 1); }, true},
        {"selected reference", [&] { return model.notifySelectedReferenceInd(3, "ref"); }, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result, c.call()) << c.name;
    }
    EXPECT_EQ(2u, traces.count(TL_ERROR, "SyncEthInput not found: 5"));
    // Without inputs no reference can be located on a port: the feature keeps what it had.
    EXPECT_EQ("", model.feature().getSelectedRef());
    EXPECT_TRUE(events.names.empty());
    EXPECT_EQ(nullptr, model.findSyncEthInput(5));
}

}  // namespace
}  // namespace Test
}  // namespace Sync
