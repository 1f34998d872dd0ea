#include "eventHandling/BaseServiceHandler.h"

#include <gtest/gtest.h>

#include "Macros.h"
#include "TraceCapture.h"
#include "control/BaseController.h"
#include "trace/TraceHooks.h"

namespace {

// A controller that never got as far as creating its dispatcher.
class BareController : public Sync::BaseController {
  public:
    BareController() : BaseController("bare") {}
    void init() override {}
    void run() override {}
    void createOwnIdentity() override {}
    void publishYourSelf() override {}
    void createServiceHandlers() override {}
};

class Handler : public Sync::BaseServiceHandler {
  public:
    using BaseServiceHandler::BaseServiceHandler;
    void init() override {}
};

void quietSyslog(int, const char*, ...) {}

TEST(BaseServiceHandler, WithoutADispatcherThereIsNoInterfaceToFindOrRemove) {
    const Sync::TraceSyslog previous = Sync::setTraceSyslog(&quietSyslog);
    BareController controller;
    Handler handler(5, &controller);
    Sync::Test::TraceCapture capture;
    EXPECT_EQ(handler.getInterface(), nullptr);
    handler.unregisterInterface();
    EXPECT_EQ(capture.count(Sync::TL_ERROR, "Coding error: BaseController got no Dispatcher!"), 1u)
        << capture.dump();
    EXPECT_EQ(handler.getId(), 5u);
    EXPECT_EQ(handler.getController(), &controller);
    Sync::setTraceSyslog(previous);
}

}  // namespace
