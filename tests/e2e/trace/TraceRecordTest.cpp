// Reading babeltrace2's text output back into events: the trace tests are only as good as this.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "TraceRecord.h"

namespace {

using E2e::TraceRecord;

TEST(TraceRecordTest, ReadsNameAndEveryFieldOfEventLinesOnly) {
    const std::string text =
        "[1796484305.038502333] vm com_zentrova_sync_lumov_control:WARNING: { cpu_id = 1 }, { vpid = 13802 "
        "}, "
        "{ file = \"EpollController.cpp\", line = 112, warn_msg = \"Unhandled message, msg.id=4660\" }\n"
        "a warning babeltrace2 printed\n"
        "[1.000000001] host p:INFO: { info_msg = \"q\\\" b\\\\s n\\nt\\t {x}, k = v\", file = \"\" }\n"
        "[4.0] p:RETURN: { line = -3 }\n";
    const auto records = TraceRecord::parseAll(text);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].name, "com_zentrova_sync_lumov_control:WARNING");
    EXPECT_EQ(records[0].event(), "WARNING");
    EXPECT_EQ(records[0].fields,
              (std::map<std::string, std::string>{{"cpu_id", "1"},
                                                  {"vpid", "13802"},
                                                  {"file", "EpollController.cpp"},
                                                  {"line", "112"},
                                                  {"warn_msg", "Unhandled message, msg.id=4660"}}));
    EXPECT_EQ(records[0].vpid(), 13802);
    EXPECT_EQ(records[1].fields,
              (std::map<std::string, std::string>{{"info_msg", "q\" b\\s n\nt\t {x}, k = v"}, {"file", ""}}));
    EXPECT_EQ(records[1].vpid(), -1);
    EXPECT_EQ(records[2].event(), "RETURN");
    EXPECT_EQ(records[2].field("line"), "-3");
    EXPECT_EQ(records[2].field("missing"), "");
    for (const std::string line : {"", "12-05 15:21:42.515 E PLUGIN/SINK.TEXT.PRETTY apply_params: { x = 1 }",
                                   "[1.0] host p:INFO: { info_msg = \"unterminated }",
                                   "[1.0] host p:INFO: { info_msg = \"x\" } trailing", "[1.0] host p:INFO"})
        EXPECT_FALSE(TraceRecord::parse(line)) << line;
}

}  // namespace
