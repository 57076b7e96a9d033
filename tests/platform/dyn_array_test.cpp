#include "platform/dyn_array.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/string_array.h"

using namespace pirn;

TEST(DynArray, CapacityGrowsInPowersOfTwo) {
    DynArray a;
    DynArrayInit(&a);
    DynArrayReserve(&a, 4, 17);
    EXPECT_EQ(a.capacity, 32u);
    EXPECT_EQ(a.count, 0u);
    DynArrayReserve(&a, 4, 3);
    EXPECT_EQ(a.capacity, 32u) << "never shrinks";
    DynArraySetExact(&a, 4, 20);
    EXPECT_EQ(a.capacity, 20u);
    EXPECT_EQ(a.count, 20u);
    DynArrayReserve(&a, 4, 21);
    EXPECT_EQ(a.capacity, 32u);
    DynArraySetExact(&a, 4, 0);
    EXPECT_EQ(a.data, nullptr);
    EXPECT_EQ(a.capacity, 0u);
    DynArrayFree(&a);
}

TEST(DynArray, InsertAndRemoveMoveTheRightElements) {
    DynArray a;
    for (u32 v : {1u, 2u, 3u}) *DynArrayAppend<u32>(&a) = v;
    u32* gap = static_cast<u32*>(DynArrayInsert(&a, 4, 1, 2));
    ASSERT_NE(gap, nullptr);
    gap[0] = 10;
    gap[1] = 11;
    u32* at = static_cast<u32*>(DynArrayInsert(&a, 4, a.count, 1));  // index = count appends
    *at = 99;
    std::vector<u32> got(DynArrayItems<u32>(a), DynArrayItems<u32>(a) + a.count);
    EXPECT_EQ(got, (std::vector<u32>{1, 10, 11, 2, 3, 99}));
    EXPECT_EQ(DynArrayInsert(&a, 4, a.count + 1, 1), nullptr) << "past the end";
    EXPECT_EQ(a.count, 6u);

    const u32 capacity = a.capacity;
    DynArrayRemove(&a, 4, 1, 2);
    got.assign(DynArrayItems<u32>(a), DynArrayItems<u32>(a) + a.count);
    EXPECT_EQ(got, (std::vector<u32>{1, 2, 3, 99}));
    EXPECT_EQ(a.capacity, capacity);
    DynArrayRemove(&a, 4, 2, 100);  // clipped to the end
    EXPECT_EQ(a.count, 2u);
    DynArrayRemove(&a, 4, 5, 1);  // nothing there
    EXPECT_EQ(a.count, 2u);
    DynArrayFree(&a);
    EXPECT_EQ(a.data, nullptr);
}

TEST(StringArray, GrowKeepsStringsAndNewElementsAreEmpty) {
    StringArray s;
    ResizeStringArray(&s, 3, "x");
    EXPECT_EQ(s.capacity, 4u);
    s[1] = "middle";
    StringArrayReserve(&s, 9);
    EXPECT_EQ(s.capacity, 16u);
    EXPECT_EQ(s[0], "x");
    EXPECT_EQ(s[1], "middle");
    StringArrayDestroyRange(&s, 1, 2);
    EXPECT_EQ(s.count, 3u);
    EXPECT_TRUE(s[1].empty());
    StringArraySetCount(&s, 1);
    StringArraySetCount(&s, 3);
    EXPECT_EQ(s[0], "x");
    EXPECT_TRUE(s[2].empty());
}

TEST(StringArray, UnionSortsBothAndDropsDuplicates) {
    StringArray a, b, result;
    for (const char* t : {"b", "a"}) StringArrayAppend(&a, t);
    for (const char* t : {"c", "a"}) StringArrayAppend(&b, t);
    ResizeStringArray(&result, 9, "stale");
    EXPECT_EQ(UnionStringArrays(&result, &a, &b), 3u);
    ASSERT_EQ(result.count, 3u);
    EXPECT_EQ(result[0], "a");
    EXPECT_EQ(result[1], "b");
    EXPECT_EQ(result[2], "c");
    EXPECT_EQ(a[0], "a");
    EXPECT_EQ(a[1], "b");
    EXPECT_EQ(b[0], "a");
    EXPECT_EQ(b[1], "c");
    for (u32 i = 3; i < result.capacity; ++i) EXPECT_TRUE(result[i].empty()) << "tail emptied";
}
