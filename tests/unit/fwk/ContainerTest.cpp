#include "eventHandling/Container.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Logs its key when deleted.
struct Item {
    Item(unsigned int key, std::vector<unsigned int>& deleted) : key(key), deleted(deleted) {}
    ~Item() { deleted.push_back(key); }
    unsigned int key;
    std::vector<unsigned int>& deleted;
};

TEST(Container, ATakenKeyLeavesTheOfferedObjectWithTheCaller) {
    std::vector<unsigned int> deleted;
    Sync::Container<unsigned int, Item> container;
    Item* first = new Item(5, deleted);
    ASSERT_TRUE(container.insert(5, first));
    Item second(5, deleted);
    EXPECT_FALSE(container.insert(5, &second));
    EXPECT_EQ(container.find(5), first);
    EXPECT_EQ(container.size(), 1u);

    EXPECT_EQ(container.release(5), first);
    EXPECT_TRUE(deleted.empty());
    delete first;
    EXPECT_FALSE(container.erase(5));
    EXPECT_EQ(container.find(5), nullptr);
}

}  // namespace
