#include "control/CastTo.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "MessagingTestDoubles.h"
#include "control/InitCfmPrimitive.h"
#include "control/InitReqPrimitive.h"
#include "trace/TraceHooks.h"

namespace Sync {
namespace {

void traceToStderr(uint32_t, const char*, const char*, int, const char* text) {
    std::fprintf(stderr, "%s\n", text);
}

TEST(CastToTest, ReturnsTheObjectWhenTheClassMatches) {
    InitCfmPrimitive confirm(0x5003, "T_INIT_CFM");
    BasePrimitive* base = &confirm;
    EXPECT_EQ(&confirm, castTo<InitCfmPrimitive>(base));
    EXPECT_EQ(nullptr, castTo<InitCfmPrimitive>(static_cast<BasePrimitive*>(nullptr)));
}

TEST(CastToDeathTest, WrongClassAbortsAsACodingError) {
    // The tracing library runs threads of its own.
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    InitReqPrimitive request(0x5002, "T_INIT_REQ");
    BasePrimitive* base = &request;
    EXPECT_DEATH(
        {
            setTraceSyslog(&Sync::Test::quietSyslog);
            setTraceCaptureHook(&traceToStderr);
            castTo<InitCfmPrimitive>(base);
        },
        "Coding Error: dynamic cast pointer: 0x[0-9a-f]+ .* failed! ==> Abort");
}

}  // namespace
}  // namespace Sync
