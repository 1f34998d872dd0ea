#include <gtest/gtest.h>

#include "BusNames.h"

namespace {

using Sync::Platform::BusNames;

// How every other kind of character is escaped is read back from the bus's own names of mailboxes;
// an underscore is the one no mailbox there carries.
TEST(BusNames, AnUnderscoreIsEscapedLikeAnyOtherCharacter) {
    EXPECT_EQ(BusNames::escape("Sync_tavi_coli"), "Sync_5ftavi_5fcoli");
}

}  // namespace
