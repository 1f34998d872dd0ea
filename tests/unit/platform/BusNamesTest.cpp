#include <gtest/gtest.h>

#include "BusNames.h"

namespace {

using Sync::Platform::BusNames;

struct EscapeCase {
    const char* text;
    const char* escaped;
};

class BusNamesEscape : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(BusNamesEscape, MatchesTheSharedRule) {
    EXPECT_EQ(BusNames::escape(GetParam().text), GetParam().escaped);
}

INSTANTIATE_TEST_SUITE_P(Texts, BusNamesEscape,
                         ::testing::Values(EscapeCase{"", "_"},
                                           EscapeCase{"SyncLumovControl", "SyncLumovControl"},
                                           EscapeCase{"iepcsi-server", "iepcsi_2dserver"},
                                           EscapeCase{"Sync_tavi_coli", "Sync_5ftavi_5fcoli"},
                                           EscapeCase{"9lives", "_39lives"}, EscapeCase{"a9", "a9"},
                                           EscapeCase{"a.b c", "a_2eb_20c"},
                                           EscapeCase{"\xC3\xA9", "_c3_a9"}));

}  // namespace
