// Reading babeltrace2's text output back into events: the trace tests are only as good as this.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "CaseName.h"
#include "TraceRecord.h"

namespace {

using E2e::TraceRecord;

struct LineCase {
    const char* what;
    std::string line;
    std::string name;
    std::map<std::string, std::string> fields;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.line;
}

class TraceRecordLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(TraceRecordLineTest, ReadsNameAndEveryField) {
    auto record = TraceRecord::parse(GetParam().line);
    ASSERT_TRUE(record) << GetParam().what;
    EXPECT_EQ(record->name, GetParam().name);
    EXPECT_EQ(record->fields, GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TraceRecordLineTest,
    ::testing::Values(
        LineCase{
            "context and payload",
            "[1796484305.038502333] vm com_zentrova_sync_lumov_control:WARNING: { cpu_id = 1 }, "
            "{ vpid = 13802 }, { file = \"EpollController.cpp\", line = 112, warn_msg = \"Unhandled message, "
            "msg.id=4660 [0x00001234]\" }",
            "com_zentrova_sync_lumov_control:WARNING",
            {{"cpu_id", "1"},
             {"vpid", "13802"},
             {"file", "EpollController.cpp"},
             {"line", "112"},
             {"warn_msg", "Unhandled message, msg.id=4660 [0x00001234]"}}},
        LineCase{"escapes and separators inside a string",
                 "[1.000000001] host p:INFO: { info_msg = \"q\\\" b\\\\s n\\nt\\t {x}, k = v\" }",
                 "p:INFO",
                 {{"info_msg", "q\" b\\s n\nt\t {x}, k = v"}}},
        LineCase{
            "empty string and trailing blanks",
            "[2.5] host p:ENTER: { cpu_id = 0 }, { file = \"\", line = 7, info_msg = \"Enter==>(init) \" }",
            "p:ENTER",
            {{"cpu_id", "0"}, {"file", ""}, {"line", "7"}, {"info_msg", "Enter==>(init) "}}},
        LineCase{"nested compound kept as printed",
                 "[3.0] host p:X: { a = { b = 1, c = \"}\" }, d = [ [0] = 2 ], e = -3 }",
                 "p:X",
                 {{"a", "{ b = 1, c = \"}\" }"}, {"d", "[ [0] = 2 ]"}, {"e", "-3"}}},
        LineCase{"no host name",
                 "[4.0] p:PACKET: { stack = 3, info_msg = \"x\" }",
                 "p:PACKET",
                 {{"stack", "3"}, {"info_msg", "x"}}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return E2e::caseName(info.param.what); });

TEST(TraceRecordTest, RefusesLinesThatAreNotEvents) {
    for (const std::string line : {"", "Waiting for data availability.",
                                   "12-05 15:21:42.515 E PLUGIN/SINK.TEXT.PRETTY apply_params: { x = 1 }",
                                   "[1.0] host p:INFO: { info_msg = \"unterminated }",
                                   "[1.0] host p:INFO: { info_msg = \"x\" } trailing", "[1.0] host p:INFO"}) {
        EXPECT_FALSE(TraceRecord::parse(line)) << line;
    }
}

TEST(TraceRecordTest, ParseAllKeepsOrderAndSkipsOtherLines) {
    const std::string text =
        "[1.0] h p:ENTER: { vpid = 5 }, { file = \"a.cpp\", line = 1, info_msg = \"Enter==>(f) \" }\n"
        "a warning babeltrace2 printed\n"
        "[2.0] h p:RETURN: { vpid = 6 }, { file = \"a.cpp\", line = 2, info_msg = \"Return<==(f) \" }\n";
    auto records = TraceRecord::parseAll(text);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].event(), "ENTER");
    EXPECT_EQ(records[0].vpid(), 5);
    EXPECT_EQ(records[1].event(), "RETURN");
    EXPECT_EQ(records[1].field("line"), "2");
    EXPECT_EQ(records[1].field("missing"), "");
    EXPECT_EQ(TraceRecord().vpid(), -1);
}

}  // namespace
