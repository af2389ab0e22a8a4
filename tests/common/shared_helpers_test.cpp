#include "common/shared_helpers.h"

#include <gtest/gtest.h>

TEST(SharedHelpers, FindSharedByPointerRaisesUseCount)
{
    std::vector<std::shared_ptr<int>> items{std::make_shared<int>(1), std::make_shared<int>(2)};
    auto found = FindSharedByPointer(items, items[1].get());
    EXPECT_EQ(*found, 2);
    EXPECT_EQ(items[1].use_count(), 2);
}

TEST(SharedHelpers, FindSharedByPointerMissingIsCode2)
{
    std::vector<std::shared_ptr<int>> items{std::make_shared<int>(1)};
    int other = 3;
    try
    {
        FindSharedByPointer(items, &other);
        FAIL() << "no exception";
    }
    catch (const CVARDException& e)
    {
        EXPECT_EQ(e.GetCode(), 2);
    }
}

TEST(SharedHelpers, WeakPtrLockOfExpiredIsEmpty)
{
    std::weak_ptr<int> weak;
    {
        auto shared = std::make_shared<int>(5);
        weak = shared;
        auto locked = WeakPtrLock(weak);
        ASSERT_TRUE(locked);
        EXPECT_EQ(shared.use_count(), 2);
    }
    EXPECT_FALSE(WeakPtrLock(weak));
    NoOperation("trace", 1, 2.5);
}
