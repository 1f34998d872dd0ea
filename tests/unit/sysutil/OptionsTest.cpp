// A program's command line through getopt_long: each option declared once, its value checked where
// it is declared, --help and --version for free, and an error for anything it does not know.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Options.h"

namespace {

using SyncSys::Options;

struct Taken {
    uint64_t hold = 60;
    size_t mode = 0;
    bool quiet = false;
    std::string path;
};

Options commandLine(Taken& taken) {
    Options options("prog", "[--hold N] [--mode A|B] [--quiet] [--path P] [WORD]", "A program.");
    options.addNumber("hold", "N", "seconds", 0, 100, [&taken](uint64_t n) { taken.hold = n; });
    options.addChoice("mode", {"A", "B"}, "a mode", [&taken](size_t choice) { taken.mode = choice; });
    options.addFlag("quiet", "says less", [&taken] { taken.quiet = true; });
    options.add("path", "P", "a file", [&taken](const std::string& value, std::string& error) {
        error = "--path " + value + ": not absolute";
        taken.path = value;
        return value.front() == '/';
    });
    options.allowOperands(1);
    const Options::Code codes[] = {{0, "fine"}, {2, "bad arguments"}};
    options.addCodes("Exit status:", codes);
    return options;
}

TEST(OptionsTest, EachOptionTakesItsValueAndAnythingWrongIsBad) {
    const struct {
        std::vector<const char*> argv;
        Options::Outcome outcome;
        uint64_t hold;
        size_t mode;
        bool quiet;
        std::vector<std::string> operands;
    } cases[] = {
        {{}, Options::RUN, 60, 0, false, {}},
        {{"--hold", "010", "--mode", "B", "--quiet", "word"}, Options::RUN, 10, 1, true, {"word"}},
        {{"word", "--hold=0x10"}, Options::RUN, 16, 0, false, {"word"}},
        {{"--path", "/etc/x"}, Options::RUN, 60, 0, false, {}},
        {{"--hold", "101"}, Options::BAD, 60, 0, false, {}},
        {{"--hold"}, Options::BAD, 60, 0, false, {}},
        {{"--mode", "a"}, Options::BAD, 60, 0, false, {}},
        {{"--path", "etc"}, Options::BAD, 60, 0, false, {}},
        {{"--loud"}, Options::BAD, 60, 0, false, {}},
        {{"-q"}, Options::BAD, 60, 0, false, {}},
        {{"one", "two"}, Options::BAD, 60, 0, false, {}},
        {{"--version", "--hold", "x"}, Options::DONE, 60, 0, false, {}},
        {{"-h"}, Options::DONE, 60, 0, false, {}},
    };
    for (const auto& c : cases) {
        std::vector<char*> argv = {const_cast<char*>("prog")};
        for (const char* word : c.argv)
            argv.push_back(const_cast<char*>(word));
        argv.push_back(nullptr);
        Taken taken;
        Options options = commandLine(taken);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const Options::Outcome outcome = options.parse(static_cast<int>(argv.size() - 1), argv.data());
        const std::string out = testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        SCOPED_TRACE(testing::PrintToString(c.argv) + " said " + out + err);
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(err.empty(), outcome != Options::BAD) << "an error is said, and only an error";
        EXPECT_EQ(out.empty(), outcome != Options::DONE);
        if (outcome == Options::BAD)
            continue;
        EXPECT_EQ(taken.hold, c.hold);
        EXPECT_EQ(taken.mode, c.mode);
        EXPECT_EQ(taken.quiet, c.quiet);
        EXPECT_EQ(options.operands(), c.operands);
    }
}

}  // namespace
