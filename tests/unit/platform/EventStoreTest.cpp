#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <vector>

#include "vorn.h"

namespace {

std::vector<uint32_t> values(const sync_vorn_t* store) {
    std::vector<uint32_t> all;
    for (sync_vorn_iter_t it = sync_vorn_first(store); it != nullptr; it = sync_vorn_next(store, it)) {
        uint32_t value = 0;
        EXPECT_EQ(sync_vorn_get(store, it, &value, sizeof value, nullptr), 4);
        all.push_back(value);
    }
    return all;
}

void add(sync_vorn_t* store, uint32_t value) {
    ASSERT_EQ(sync_vorn_add(store, &value, sizeof value), 0);
}

TEST(EventStore, KeepsTheNewestEntriesOldestFirst) {
    sync_vorn_t* store = sync_vorn_create(3, 4);
    ASSERT_NE(store, nullptr);
    EXPECT_TRUE(sync_vorn_empty(store));
    EXPECT_EQ(sync_vorn_first(store), nullptr);
    add(store, 15);
    EXPECT_FALSE(sync_vorn_empty(store));
    EXPECT_EQ(values(store), (std::vector<uint32_t>{15}));
    add(store, 1);
    add(store, 2);
    EXPECT_EQ(values(store), (std::vector<uint32_t>{15, 1, 2}));
    add(store, 3);
    add(store, 4);
    EXPECT_EQ(values(store), (std::vector<uint32_t>{2, 3, 4}));
    for (uint32_t v = 5; v < 12; ++v) {
        add(store, v);
    }
    EXPECT_EQ(values(store), (std::vector<uint32_t>{9, 10, 11}));
    sync_vorn_destroy(&store);
    EXPECT_EQ(store, nullptr);
    sync_vorn_destroy(&store);
}

TEST(EventStore, RefusesBadArgumentsAndForeignIterators) {
    EXPECT_EQ(sync_vorn_create(0, 4), nullptr);
    EXPECT_EQ(sync_vorn_create(4, 0), nullptr);
    sync_vorn_t* a = sync_vorn_create(2, 4);
    sync_vorn_t* b = sync_vorn_create(2, 4);
    uint64_t tooBig = 1;
    EXPECT_NE(sync_vorn_add(a, &tooBig, sizeof tooBig), 0);
    uint16_t shorter = 0xBEEF;
    ASSERT_EQ(sync_vorn_add(a, &shorter, sizeof shorter), 0);  // zero-padded
    EXPECT_EQ(values(a), (std::vector<uint32_t>{0xBEEF}));
    sync_vorn_iter_t it = sync_vorn_first(a);
    EXPECT_EQ(sync_vorn_get(b, it, nullptr, 0, nullptr), -1);
    EXPECT_EQ(sync_vorn_next(b, it), nullptr);
    EXPECT_EQ(sync_vorn_get(a, nullptr, nullptr, 0, nullptr), -1);
    uint8_t one = 0;
    EXPECT_EQ(sync_vorn_get(a, it, &one, 1, nullptr), 1);  // copies only what fits
    EXPECT_TRUE(sync_vorn_empty(nullptr));
    EXPECT_NE(sync_vorn_add(nullptr, &shorter, 2), 0);
    sync_vorn_destroy(&a);
    sync_vorn_destroy(&b);
}

TEST(EventStore, StampsEntriesWithTheTimeOfAddition) {
    sync_vorn_t* store = sync_vorn_create(10, 4);
    timespec before{};
    timespec after{};
    clock_gettime(CLOCK_REALTIME, &before);
    add(store, 7);
    clock_gettime(CLOCK_REALTIME, &after);
    timespec stamp{};
    ASSERT_EQ(sync_vorn_get(store, sync_vorn_first(store), nullptr, 0, &stamp), 0);
    EXPECT_GE(stamp.tv_sec, before.tv_sec);
    EXPECT_LE(stamp.tv_sec, after.tv_sec);
    sync_vorn_destroy(&store);
}

TEST(EventStore, FormatsLocalTimeWithMilliseconds) {
    setenv("TZ", "UTC", 1);
    tzset();
    timespec stamp{1700000000, 123999999};  // 2023-11-14 22:13:20 UTC
    char text[SYNC_VORN_TS_STR_SIZE];
    EXPECT_STREQ(sync_vorn_ts_2_str(&stamp, text, sizeof text), "2023-11-14 22:13:20.123");
    setenv("TZ", "CET-1", 1);
    tzset();
    stamp.tv_nsec = 5000000;
    EXPECT_STREQ(sync_vorn_ts_2_str(&stamp, text, sizeof text), "2023-11-14 23:13:20.005");
    char small[11];
    EXPECT_STREQ(sync_vorn_ts_2_str(&stamp, small, sizeof small), "2023-11-14");
    EXPECT_STREQ(sync_vorn_ts_2_str(nullptr, text, sizeof text), "");
    unsetenv("TZ");
    tzset();
}

}  // namespace
