#include "common_fwk_classes/utilities/UniqueIdPool.h"

#include <gtest/gtest.h>

#include "Macros.h"
#include "TraceCapture.h"

namespace {

using Sync::UniqueIdPool;
using Sync::Test::TraceCapture;

void quietSyslog(int, const char*, ...) {}

TEST(UniqueIdPool, IdsAscendAcrossAllPoolsOfTheProcess) {
    UniqueIdPool a;
    UniqueIdPool b;
    const uint32_t first = a.createId();
    ASSERT_NE(first, 0u);
    EXPECT_EQ(b.createId(), first + 1);
    EXPECT_EQ(a.createId(), first + 2);
    {
        UniqueIdPool shortLived;
        EXPECT_EQ(shortLived.createId(), first + 3);
    }
    // A released id is not handed out again before the counter wraps.
    a.releaseId(first);
    EXPECT_EQ(a.createId(), first + 4);
}

TEST(UniqueIdPool, ABoundedPoolRefusesWhileFullAndTakesAnIdBackOnRelease) {
    UniqueIdPool pool(2);
    EXPECT_EQ(pool.getMaxIdAllowed(), 2u);
    EXPECT_EQ(pool.getNumAvailableId(), 2u);
    const uint32_t one = pool.createId();
    const uint32_t two = pool.createId();
    EXPECT_NE(one, 0u);
    EXPECT_GT(two, one);
    EXPECT_FALSE(pool.hasAvailableId());
    EXPECT_EQ(pool.getNumAvailableId(), 0u);
    EXPECT_EQ(pool.createId(), 0u);
    EXPECT_EQ(pool.createId(), 0u);

    pool.releaseId(one);
    EXPECT_TRUE(pool.hasAvailableId());
    EXPECT_EQ(pool.getNumAvailableId(), 1u);
    const uint32_t three = pool.createId();
    EXPECT_GT(three, two);
    EXPECT_EQ(pool.createId(), 0u);
    EXPECT_EQ(UniqueIdPool().getMaxIdAllowed(), 0xFFFFFFFFu);
}

TEST(UniqueIdPool, ReleasingAnIdNotInUseIsReportedAndChangesNothing) {
    const auto previous = Sync::setTraceSyslog(&quietSyslog);
    UniqueIdPool pool(3);
    const uint32_t id = pool.createId();
    TraceCapture capture;
    pool.releaseId(id + 1000);
    EXPECT_EQ(capture.count(Sync::TL_ERROR, "(" + std::to_string(id + 1000) + ") Id not found"), 1u)
        << capture.dump();
    EXPECT_EQ(pool.getNumAvailableId(), 2u);
    pool.releaseId(id);
    pool.releaseId(id);
    EXPECT_EQ(capture.count(Sync::TL_ERROR, "Id not found"), 2u);
    EXPECT_EQ(pool.getNumAvailableId(), 3u);
    Sync::setTraceSyslog(previous);
}

}  // namespace
