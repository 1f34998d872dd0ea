#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ColiTestSupport.h"
#include "FakeTavi.h"
#include "Macros.h"
#include "TraceCapture.h"
#include "tavi.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Test {
namespace {

class ColiCommonTest : public ColiTransportTest {
  protected:
    // Unpacks a valid request from pid, which makes pid the requester.
    void becomeRequester(uint32_t pid) {
        void* msg = received(pid, coliRequest({"cmd"}));
        int argc = 0;
        char** argv = nullptr;
        ASSERT_EQ(0, coli_common_unpack_coli_req_args(msg, &argc, &argv));
        std::free(argv);
        tavi_free(&msg);
        ASSERT_EQ(pid, coli_common_get_requester());
    }

    TraceCapture traces;
};

TEST_F(ColiCommonTest, OutputOfExactly4095CharactersStaysUntilTheNextLine) {
    becomeRequester(SERVER);
    // Four cut-off lines of 999 characters plus newlines (4000) and one of 94 (95): 4095 in all.
    for (int i = 0; i < 4; ++i)
        COLII("%s", std::string(1200, 'a' + i).c_str());
    add_display_info(std::string(94, 'e').c_str());
    EXPECT_EQ(4095u, std::string(coli_common_get_display()).size());
    EXPECT_TRUE(sentWith(SYNC_COLI_IND).empty());

    COLII("last");
    const std::vector<FakeTavi::SentMessage> pieces = sentWith(SYNC_COLI_IND);
    ASSERT_EQ(1u, pieces.size());
    EXPECT_EQ(SERVER, pieces[0].to);
    const std::string text = textOf(pieces[0]);
    EXPECT_EQ(4100u, text.size());
    EXPECT_EQ(std::string(999, 'a') + "\n", text.substr(0, 1000));
    EXPECT_EQ(std::string(94, 'e') + "\nlast\n", text.substr(4000));
    EXPECT_STREQ("", coli_common_get_display());
    EXPECT_TRUE(traces.contains(TL_SEND_MSG, "SYNC_COLI_IND with len = 4101"));
}

TEST_F(ColiCommonTest, WithoutARequesterTheWholeOutputWaitsForTheResponse) {
    for (int i = 0; i < 10; ++i)
        COLII("%s", std::string(900, 'x').c_str());
    EXPECT_TRUE(FakeTavi::sent().empty());
    coli_common_send_coli_rsp(SERVER);
    ASSERT_EQ(1u, FakeTavi::sent().size());
    EXPECT_EQ(9010u, textOf(FakeTavi::sent()[0]).size());
}

TEST_F(ColiCommonTest, LinesAreCutTo999CharactersBeforeTheNewline) {
    struct Case {
        size_t length;
        size_t kept;
    };
    const Case cases[] = {{0, 0}, {998, 998}, {999, 999}, {1000, 999}, {1200, 999}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string line(c.length, 'z');
        COLII("%s", line.c_str());
        add_display_info(line.c_str());
        const std::string kept = std::string(c.kept, 'z') + "\n";
        EXPECT_EQ(kept + kept, coli_common_get_display());
        coli_common_reset();
    }
}

TEST_F(ColiCommonTest, ResponseCarriesTheOutputOnceAndThenAnEmptyText) {
    COLII("first %d", 1);
    COLII("second");
    coli_common_send_coli_rsp(SERVER);
    coli_common_send_coli_rsp(SERVER);
    const std::vector<FakeTavi::SentMessage> responses = sentWith(SYNC_COLI_RSP);
    ASSERT_EQ(2u, responses.size());
    EXPECT_EQ(SERVER, responses[0].to);
    EXPECT_EQ("first 1\nsecond\n", textOf(responses[0]));
    EXPECT_EQ(1u, responses[1].word(4));
    EXPECT_EQ("", textOf(responses[1]));
    EXPECT_TRUE(traces.contains(TL_SEND_MSG, "SYNC_COLI_RSP with len = 16"));
    EXPECT_TRUE(traces.contains(TL_SEND_MSG, "SYNC_COLI_RSP with len = 1"));
}

TEST_F(ColiCommonTest, InvalidPidsAndFormatsAreRefused) {
    COLII("kept");
    coli_common_send_coli_rsp(COLI_INVALID_PID);
    coli_common_monitor(COLI_INVALID_PID);
    coli_common_send_coli_reg_cmd_rsp(COLI_INVALID_PID, 0);
    COLII(nullptr);
    EXPECT_TRUE(FakeTavi::sent().empty());
    EXPECT_TRUE(FakeTavi::monitoredPids().empty());
    EXPECT_STREQ("kept\n", coli_common_get_display());
    EXPECT_TRUE(traces.contains(
        TL_ERROR, "coli_common_send_coli_rsp invalid pid provided [pid = 4294967295 [0xFFFFFFFF]]"));
    EXPECT_TRUE(traces.contains(TL_ERROR,
                                "coli_common_monitor invalid pid provided [pid = 4294967295 [0xFFFFFFFF]]"));
    EXPECT_TRUE(traces.contains(
        TL_ERROR, "coli_common_send_coli_reg_cmd_rsp invalid pid provided [pid = 4294967295[0xFFFFFFFF]]"));
    EXPECT_TRUE(traces.contains(TL_ERROR, "COLII invalid fmt provided [fmt = "));
}

TEST_F(ColiCommonTest, RegistrationIsRefusedForBadArguments) {
    const std::string longest(200, 'l');
    const std::string tooLong(201, 'l');
    const char* const fine[] = {"cmd", longest.c_str()};
    const char* const overLong[] = {"cmd", tooLong.c_str()};
    const char* const nullFirst[] = {nullptr, "x"};
    const char* const nullSecond[] = {"cmd", nullptr};
    struct Case {
        const char* name;
        int argc;
        const char* const* argv;
        uint32_t pid;
        int result;
        const char* error;
    };
    const Case cases[] = {
        {"200 characters", 2, fine, SERVER, 0, nullptr},
        {"201 characters", 2, overLong, SERVER, 1,
         "coli_common_pack_args too long command line argument provided [argv[1] = \"lll"},
        {"null argv", 2, nullptr, SERVER, 1, "coli_common_send_coli_reg_cmd_req invalid argv provided"},
        {"null argv[0]", 2, nullFirst, SERVER, 1, "coli_common_send_coli_reg_cmd_req invalid *argv provided"},
        {"null argv[1]", 2, nullSecond, SERVER, 1, "coli_common_pack_args_len invalid *argv provided"},
        {"no mailbox", 2, fine, COLI_INVALID_PID, 1,
         "coli_common_send_coli_reg_cmd_req invalid pid provided [pid = 4294967295 [0xFFFFFFFF]]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTavi::clearSent();
        traces.clear();
        EXPECT_EQ(c.result, coli_common_send_coli_reg_cmd_req(c.argc, c.argv, c.pid));
        EXPECT_EQ(c.result == 0 ? 1u : 0u, FakeTavi::sent().size());
        if (c.error != nullptr) {
            EXPECT_TRUE(traces.contains(TL_ERROR, c.error)) << traces.dump();
        } else {
            EXPECT_EQ(0u, traces.count(TL_ERROR, "")) << traces.dump();
        }
    }
}

TEST_F(ColiCommonTest, PackingChecksEveryArgumentBeforeCopyingAny) {
    const char* const args[] = {"ab", "", "c"};
    EXPECT_EQ(6u, coli_common_pack_args_len(3, args));
    EXPECT_EQ(0u, coli_common_pack_args_len(3, nullptr));
    char buffer[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
    EXPECT_EQ(0, coli_common_pack_args(3, args, buffer));
    EXPECT_EQ(std::string("ab\0\0c\0##", 8), std::string(buffer, 8));

    const std::string tooLong(201, 'q');
    const char* const refused[] = {"ok", tooLong.c_str()};
    char untouched[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(-1, coli_common_pack_args(2, refused, untouched));
    EXPECT_EQ(std::string("####"), std::string(untouched, 4));
    EXPECT_EQ(-1, coli_common_pack_args(3, args, nullptr));
    EXPECT_TRUE(traces.contains(TL_ERROR, "coli_common_pack_args invalid cmd provided"));
}

struct UnpackCase {
    const char* name;
    std::vector<uint8_t> bytes;
    int result;
    std::vector<std::string> args;
};

// Requests whose packed arguments overrun the message, lack their NUL or carry bytes past them are
// pinned with their warnings on the bus; these are the rest.
TEST_F(ColiCommonTest, UnpacksOnlyArgumentsThatLieWhollyInsideTheMessage) {
    const std::string two = packArgs({"synclumovcontrol", "info"});
    const UnpackCase cases[] = {
        {"three arguments",
         coliRequest({"synclumovcontrol", "info", "all"}),
         0,
         {"synclumovcontrol", "info", "all"}},
        {"empty arguments", coliMessage(SYNC_COLI_REQ, 2, std::string(2, '\0')), 0, {"", ""}},
        {"len 0", coliMessage(SYNC_COLI_REQ, 0, two), -1, {}},
        {"another message",
         coliMessage(SYNC_COLI_REG_CMD_REQ, static_cast<uint32_t>(two.size()), two),
         -2,
         {}},
    };
    for (const UnpackCase& c : cases) {
        SCOPED_TRACE(c.name);
        coli_common_reset();
        traces.clear();
        void* msg = received(SERVER, c.bytes);
        ASSERT_NE(nullptr, msg);
        int argc = -5;
        char** argv = reinterpret_cast<char**>(&argc);
        EXPECT_EQ(c.result, coli_common_unpack_coli_req_args(msg, &argc, &argv));
        if (c.result == 0) {
            EXPECT_EQ(std::vector<std::string>(argv, argv + argc), c.args);
            EXPECT_EQ(SERVER, coli_common_get_requester());
            std::free(argv);
        } else {
            EXPECT_EQ(COLI_INVALID_PID, coli_common_get_requester());
        }
        if (c.result == -1) {
            EXPECT_EQ(0, argc);
            EXPECT_EQ(nullptr, argv);
            EXPECT_TRUE(traces.contains(TL_ERROR,
                                        "coli_common_unpack_coli_req_args calling unpack_args() failed "
                                        "[unpack_args() != UNPACK_OK]"));
        }
        if (c.result == -2) {
            EXPECT_EQ(0u, traces.count(TL_ERROR, ""));
        }
        EXPECT_EQ(0u, traces.count(TL_WARNING, "")) << traces.dump();
        tavi_free(&msg);
    }
}

TEST_F(ColiCommonTest, RegistrationRequestUnpacksWithoutBecomingTheRequester) {
    const char* const argv[] = {"name", "synopsis", "text"};
    ASSERT_EQ(0, coli_common_send_coli_reg_cmd_req(3, argv, SERVER));
    void* msg = received(0x4004, FakeTavi::sent()[0].bytes);
    int argc = 0;
    char** unpacked = nullptr;
    EXPECT_EQ(-2, coli_common_unpack_coli_req_args(msg, &argc, &unpacked));
    ASSERT_EQ(0, coli_common_unpack_coli_reg_cmd_req_args(msg, &argc, &unpacked));
    EXPECT_EQ(std::vector<std::string>(argv, argv + 3), std::vector<std::string>(unpacked, unpacked + argc));
    EXPECT_EQ(COLI_INVALID_PID, coli_common_get_requester());
    std::free(unpacked);
    tavi_free(&msg);
}

TEST_F(ColiCommonTest, UnpackingDiscardsOutputLeftFromOutsideACommand) {
    COLII("stray");
    char text[] = "a\0b";
    int argc = 0;
    char** argv = nullptr;
    ASSERT_EQ(UNPACK_OK, unpack_args(text, sizeof text, &argc, &argv));
    EXPECT_EQ(2, argc);
    std::free(argv);
    EXPECT_STREQ("", coli_common_get_display());
    EXPECT_TRUE(
        traces.contains(TL_WARNING, "Display is not empty -> incorrect usage of COLII by system class"));
}

TEST_F(ColiCommonTest, RegistrationAnswerCarriesItsResult) {
    coli_common_send_coli_reg_cmd_rsp(SERVER, 7);
    ASSERT_EQ(1u, FakeTavi::sent().size());
    EXPECT_EQ(SYNC_COLI_REG_CMD_RSP, FakeTavi::sent()[0].msgno());
    EXPECT_EQ(8u, FakeTavi::sent()[0].bytes.size());
    EXPECT_EQ(7u, FakeTavi::sent()[0].word(4));
    EXPECT_TRUE(traces.contains(TL_SEND_MSG, "SYNC_COLI_REG_CMD_RSP with result = 7"));
}

}  // namespace
}  // namespace Test
}  // namespace Sync
