#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "ColiTestSupport.h"
#include "FakeTavi.h"
#include "Macros.h"
#include "TraceCapture.h"
#include "common_fwk_classes/coli/Interface.h"
#include "common_fwk_classes/coli/ServiceHandler.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "eventHandling/Listener.h"
#include "tavi.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Test {
namespace {

using PrintEvent = Coli::ServiceHandler::PRINT_COLI_EVENT;

const char* const USAGE =
    "usage:\n\n synclumovcontrol info [ feature | output | ethernet | all ]\nfeature  - print feature data.\n"
    "output   - print output data.\nethernet - print ethernet data.\nall      - print all options.\n\n";
const std::regex COMPLETED("completed at \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\n");

Coli::CommandText lumovCommand() {
    return Coli::CommandText{"synclumovcontrol",
                             "synclumovcontrol info [ feature | output | ethernet | all ]",
                             "Print feature, SyncLumovOutput, LumovernetPort"};
}

// Stands in for the model handler: records each print request and prints one line for it.
class PrintRecorder : public Listener<PrintEvent> {
  public:
    PrintRecorder() { startListening(); }
    void onEvent(PrintEvent& event) override {
        printTypes.push_back(event.printType);
        sources.push_back(event.getSource());
        COLII("printout %u line 0", event.printType);
    }

    std::vector<uint32_t> printTypes;
    std::vector<IEntity*> sources;
};

class ColiServiceTest : public HandlerTest<Coli::ServiceHandler> {
  protected:
    static constexpr uint32_t HANDLER_ID = 5;
    static constexpr uint32_t SERVER = 0x2002;

    Coli::ServiceHandler* createHandler() override {
        return new Coli::ServiceHandler(HANDLER_ID, controller.get(), lumovCommand());
    }
    void SetUp() override {
        coli_common_reset();
        HandlerTest::SetUp();
    }
    void TearDown() override {
        HandlerTest::TearDown();
        coli_common_reset();
    }

    // Sends a request as the command server and returns the whole answer (pieces and response).
    std::string answerTo(const std::vector<uint8_t>& request) {
        FakeTavi::clearSent();
        EXPECT_TRUE(FakeTavi::inject(SERVER, request));
        EXPECT_EQ(1u, deliverAll());
        std::string answer;
        size_t responses = 0;
        for (const FakeTavi::SentMessage& message : FakeTavi::sent()) {
            EXPECT_EQ(SERVER, message.to);
            EXPECT_TRUE(message.msgno() == SYNC_COLI_IND || message.msgno() == SYNC_COLI_RSP);
            EXPECT_EQ(0u, responses) << "output after the response";
            responses += message.msgno() == SYNC_COLI_RSP ? 1 : 0;
            answer += textOf(message);
        }
        EXPECT_EQ(1u, responses);
        return answer;
    }

    std::string answerTo(const std::vector<std::string>& args) { return answerTo(coliRequest(args)); }

    PrintRecorder recorder;
};

TEST_F(ColiServiceTest, RefusedRegistrationIsReported) {
    const uint32_t results[] = {0, 1};
    for (uint32_t result : results) {
        SCOPED_TRACE(result);
        traces.clear();
        ASSERT_TRUE(FakeTavi::inject(SERVER, coliMessage(SYNC_COLI_REG_CMD_RSP, result, "")));
        EXPECT_EQ(1u, deliverAll());
        EXPECT_TRUE(traces.contains(TL_REC_MSG, "SYNC_COLI_REG_CMD_RSP"));
        EXPECT_EQ(result != 0, traces.contains(TL_ERROR, "Failed to register COLI cmd"));
    }
    EXPECT_TRUE(FakeTavi::sent().empty());
}

struct CommandCase {
    const char* name;
    std::vector<std::string> args;
    std::string errorAnswer;  // "" for none
    bool completed;
    std::vector<uint32_t> printTypes;
};

// The feature, ethernet and all printouts and a wrong selection are answered on the bus; these are
// the other commands.
TEST_F(ColiServiceTest, AnswersEveryCommandWithErrorsPrintoutsAndCompletion) {
    const CommandCase cases[] = {
        {"two words", {"synclumovcontrol", "info"}, "Incorrect number of arguments: 2\n\n", false, {}},
        {"four words",
         {"synclumovcontrol", "info", "all", "more"},
         "Incorrect number of arguments: 4\n\n",
         false,
         {}},
        {"other command",
         {"SyncLumovControl", "info", "all"},
         "Incorrect cmd: SyncLumovControl \n\n",
         false,
         {}},
        {"show", {"synclumovcontrol", "show", "all"}, "Incorrect arg: show \n\n", false, {}},
        {"ALL", {"synclumovcontrol", "info", "ALL"}, "Incorrect arg: ALL \n\n", true, {}},
        {"empty selection", {"synclumovcontrol", "info", ""}, "Incorrect arg:  \n\n", true, {}},
        {"output", {"synclumovcontrol", "info", "output"}, "", true, {3}},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.printTypes.clear();
        recorder.sources.clear();
        std::string expected;
        for (uint32_t type : c.printTypes)
            expected += "printout " + std::to_string(type) + " line 0\n";
        if (!c.errorAnswer.empty())
            expected += c.errorAnswer + USAGE + "\n";

        const std::string answer = answerTo(c.args);
        EXPECT_EQ(c.printTypes, recorder.printTypes);
        for (IEntity* source : recorder.sources)
            EXPECT_EQ(static_cast<IEntity*>(handler), source);
        if (c.completed) {
            ASSERT_GE(answer.size(), expected.size());
            EXPECT_EQ(expected, answer.substr(0, expected.size()));
            EXPECT_TRUE(std::regex_match(answer.substr(expected.size()), COMPLETED)) << answer;
        } else {
            EXPECT_EQ(expected, answer);
        }
    }
}

TEST_F(ColiServiceTest, HandlerRegisteredTwiceBindsNothingTheSecondTime) {
    Coli::ServiceHandler second(HANDLER_ID, controller.get(), lumovCommand());
    second.init();
    EXPECT_TRUE(traces.contains(TL_ERROR, "FAILED to add interface"));
    // The first handler's interface is still the one that answers.
    EXPECT_NE(nullptr, dynamic_cast<Coli::Interface*>(controller->getDispatcher()->getInterface(HANDLER_ID)));
    answerTo({"synclumovcontrol", "info", "feature"});
    EXPECT_EQ(std::vector<IEntity*>{handler}, recorder.sources);
}

}  // namespace
}  // namespace Test
}  // namespace Sync
