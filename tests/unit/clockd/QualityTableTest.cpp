// A quality table from a file replaces the built-in one whole; a bad file is refused with its line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "QualityTable.h"

namespace {

using SyncClockd::QualityTable;

std::optional<QualityTable> loadText(const std::string& text, std::string& error) {
    char path[] = "/tmp/quality-table-XXXXXX";
    const int fd = mkstemp(path);
    std::ofstream(path) << text;
    std::optional<QualityTable> table = QualityTable::load(path, error);
    close(fd);
    unlink(path);
    return table;
}

TEST(QualityTableTest, FileRowsReplaceTheBuiltInTable) {
    std::string error;
    const std::optional<QualityTable> table =
        loadText("# lab\n6 eprtc\n7 0x1  # PRC\n\nno-reference DNU_OR_DUS\n", error);
    ASSERT_TRUE(table) << error;
    bool known = true;
    EXPECT_EQ(table->lookup(6), 20u);
    EXPECT_EQ(table->lookup(7), 1u);
    EXPECT_EQ(table->lookup(248, &known), 12u) << "a class the file leaves out is no reference";
    EXPECT_FALSE(known);
    EXPECT_EQ(QualityTable::standard().lookup(248), 9u);
}

TEST(QualityTableTest, BadFilesAreRefusedNamingTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"6 PRC\n", "no \"no-reference QUALITY\" line"},
        {"no-reference SEC_OR_EEC\n6 NOT_A_QUALITY\n", ":2: quality must be one of PRC, "},
        {"no-reference SEC_OR_EEC\n256 PRC\n", ":2: clockClass must be a number from 0 to 255"},
        {"no-reference SEC_OR_EEC\n6 PRC extra\n", ":2: expected"},
        {"6 23\nno-reference 9\n", ":1: quality must be one of"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(loadText(c.text, error)) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " gave " << error;
    }
}

}  // namespace
