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

namespace
{

struct CastBase
{
    virtual ~CastBase() = default;
};
struct CastLeft : CastBase
{
};
struct CastLeftChild : CastLeft
{
};
struct CastRight : CastBase
{
};
struct CastOther
{
    virtual ~CastOther() = default;
    int pad = 0;
};
// A second base first, so that the cast to it must move the pointer.
struct CastMixed : CastOther, CastBase
{
};

template <typename T> void ExpectSameAsDynamicCast(const std::vector<const CastBase*>& objects)
{
    for (const CastBase* object : objects)
        EXPECT_EQ(FastDynamicCast<T>(object), dynamic_cast<const T*>(object))
            << typeid(T).name() << " from " << (object ? typeid(*object).name() : "null");
}

} // namespace

// Exact class, derived class, sibling, a base that is not first, and null:
// the shortcut must answer as dynamic_cast does in every case.
TEST(SharedHelpers, FastDynamicCastAnswersAsDynamicCast)
{
    const CastBase base;
    const CastLeft left;
    const CastLeftChild child;
    const CastRight right;
    const CastMixed mixed;
    const std::vector<const CastBase*> objects{&base, &left, &child, &right, &mixed, nullptr};
    ExpectSameAsDynamicCast<CastBase>(objects);
    ExpectSameAsDynamicCast<CastLeft>(objects);
    ExpectSameAsDynamicCast<CastLeftChild>(objects);
    ExpectSameAsDynamicCast<CastRight>(objects);
    ExpectSameAsDynamicCast<CastMixed>(objects);
    ExpectSameAsDynamicCast<CastOther>(objects);
    EXPECT_EQ(FastDynamicCast<CastLeft>(static_cast<const CastBase*>(&child)), &child);
    EXPECT_EQ(FastDynamicCast<CastMixed>(static_cast<const CastBase*>(&mixed)), &mixed);
}
