#include <gtest/gtest.h>

#include "control/coli/ColiLumovSpecific.h"

namespace Sync {
namespace LumovControl {
namespace {

// These texts are what the command server and the operator see; they must not drift.
TEST(ColiLumovSpecificTest, RegistersTheDaemonsCommandTexts) {
    ColiLumovSpecific handler(5, nullptr);
    const Coli::CommandText& command = handler.getCommand();
    EXPECT_EQ("synclumovcontrol", command.name);
    EXPECT_EQ("synclumovcontrol info [ feature | output | ethernet | all ]", command.synopsis);
    EXPECT_EQ("Print feature, SyncLumovOutput, LumovernetPort", command.description);
    EXPECT_EQ(
        "usage:\n\n synclumovcontrol info [ feature | output | ethernet | all ]\nfeature  - print feature "
        "data.\n"
        "output   - print output data.\nethernet - print ethernet data.\nall      - print all options.\n\n",
        command.usage());
    EXPECT_EQ(5u, handler.getId());
}

}  // namespace
}  // namespace LumovControl
}  // namespace Sync
