// The controller's five service handlers: their kinds in creation order, with ascending ids, which is
// also the order in which interfaces are offered each message.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "FakeTavi.h"
#include "common_fwk_classes/coli/ServiceHandler.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"
#include "common_fwk_classes/sci/ClientServiceHandler.h"
#include "control/Controller.h"
#include "control/Dispatcher.h"
#include "control/modelif/ModelHandler.h"
#include "control/secli/ServiceHandler.h"

namespace Sync {
namespace Test {
namespace {

class InspectedController : public LumovControl::Controller {
  public:
    InspectedController() : Controller("sync-lumov-control") {}

    std::vector<std::pair<uint32_t, BaseServiceHandler*>> handlers() const {
        std::vector<std::pair<uint32_t, BaseServiceHandler*>> result;
        for (const auto& entry : serviceHandlers) {
            result.emplace_back(entry.first, entry.second);
        }
        return result;
    }
};

TEST(HandlerOrder, FiveHandlersInOrderWithAscendingIdsAndTheModelReady) {
    FakeTavi::reset();
    {
        InspectedController controller;
        controller.init();
        const auto handlers = controller.handlers();
        ASSERT_EQ(5u, handlers.size());
        EXPECT_NE(nullptr, dynamic_cast<LumovControl::ModelHandler*>(handlers[0].second));
        EXPECT_NE(nullptr, dynamic_cast<EthCentral::Secli::ServiceHandler*>(handlers[1].second));
        EXPECT_NE(nullptr, dynamic_cast<Sci::ClientServiceHandler*>(handlers[2].second));
        EXPECT_NE(nullptr, dynamic_cast<Iepcsi::ServiceHandler*>(handlers[3].second));
        EXPECT_NE(nullptr, dynamic_cast<Coli::ServiceHandler*>(handlers[4].second));
        for (size_t i = 0; i < handlers.size(); ++i) {
            EXPECT_EQ(handlers[i].first, handlers[i].second->getId());
            if (i > 0) {
                EXPECT_LT(handlers[i - 1].first, handlers[i].first);
            }
        }
        // The model handler has no interface; every other handler registered its own under its id.
        EXPECT_EQ(nullptr, controller.getDispatcher()->getInterface(handlers[0].first));
        for (size_t i = 1; i < handlers.size(); ++i) {
            EXPECT_NE(nullptr, controller.getDispatcher()->getInterface(handlers[i].first)) << i;
        }
        // The model exists, with its output feature, before any interface can deliver to it.
        auto* model = dynamic_cast<LumovControl::ModelHandler*>(handlers[0].second)->getModel();
        ASSERT_NE(nullptr, model);
        EXPECT_NE(nullptr, model->outputFeature());
        EXPECT_EQ(nullptr, model->inputFeature());
    }
    FakeTavi::reset();
}

}  // namespace
}  // namespace Test
}  // namespace Sync
