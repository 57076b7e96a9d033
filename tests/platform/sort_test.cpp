#include "platform/sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace pirn;

namespace {

// The scheme written out as plainly as possible, recursive on both parts:
// what the library's sorts must reproduce exactly, ties included.
void ReferenceSortPairs(u32& state, CountColorPair* p, u32 n) {
    if (n < 16) {
        for (u32 i = 0; i + 1 < n; ++i) {
            u32 m = i;
            for (u32 k = i + 1; k < n; ++k)
                if (p[k].count < p[m].count) m = k;
            std::swap(p[i], p[m]);
        }
        return;
    }
    state = state * 1664525u + 1013904223u;
    const u32 pivot = p[state % n].count;
    u32 i = 0, j = n - 1;
    for (;;) {
        while (p[i].count < pivot) ++i;
        while (pivot < p[j].count) --j;
        if (i >= j) break;
        std::swap(p[i++], p[j--]);
    }
    ReferenceSortPairs(state, p, i);
    ReferenceSortPairs(state, p + i, n - i);
}

u32 Lcg(u32& x) { return x = x * 22695477u + 1u; }

}  // namespace

TEST(Sort, PairsMatchTheSchemeExactlyIncludingTies) {
    for (u32 n : {0u, 1u, 15u, 16u, 17u, 100u, 1000u}) {
        u32 rng = n + 7;
        std::vector<CountColorPair> pairs(n);
        for (u32 i = 0; i < n; ++i) pairs[i] = {Lcg(rng) % 10u, i};  // many equal counts
        std::vector<CountColorPair> expected = pairs;
        u32 refState = 1234, state = 1234;
        ReferenceSortPairs(refState, expected.data(), n);
        SortCountColorPairs(state, pairs.data(), n);
        EXPECT_EQ(state, refState) << n;
        for (u32 i = 0; i < n; ++i) {
            EXPECT_EQ(pairs[i].count, expected[i].count);
            EXPECT_EQ(pairs[i].color, expected[i].color) << "tie order differs at " << i << " of " << n;
        }
    }
}

TEST(Sort, SelectionSortBelowSixteenLeavesTheStateAlone) {
    std::vector<i32> v15 = {5, -1, 3, 3, 9, 0, -7, 2, 8, 1, 4, 6, 7, -2, 10};
    u32 state = 42;
    SortInts(state, v15.data(), 15);
    EXPECT_EQ(state, 42u);
    EXPECT_TRUE(std::is_sorted(v15.begin(), v15.end()));
    std::vector<i32> v16 = v15;
    v16.push_back(-100);
    SortInts(state, v16.data(), 16);
    EXPECT_NE(state, 42u);
    EXPECT_TRUE(std::is_sorted(v16.begin(), v16.end()));
}

TEST(Sort, EveryKindSortsAscending) {
    u32 rng = 99;
    std::vector<u32> u(5000);
    for (u32& x : u) x = Lcg(rng);
    std::vector<i32> s(u.begin(), u.end());
    u32 state = 1;
    SortUInts(state, u.data(), static_cast<u32>(u.size()));
    EXPECT_TRUE(std::is_sorted(u.begin(), u.end()));
    SortInts(state, s.data(), static_cast<u32>(s.size()));
    EXPECT_TRUE(std::is_sorted(s.begin(), s.end()));
    EXPECT_LT(s.front(), 0) << "signed order";

    // Already sorted input stays fast and sorted (pseudo-random pivots).
    SortUInts(state, u.data(), static_cast<u32>(u.size()));
    EXPECT_TRUE(std::is_sorted(u.begin(), u.end()));

    std::vector<std::string> names = {"b", "ab", "a", "", "\xFF", "abc", "B", "a", "zz", "z",
                                      "m", "n", "o", "p", "q", "r", "s", "t"};
    SortStrings(state, names.data(), static_cast<u32>(names.size()));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(names.front(), "");
    EXPECT_EQ(names[1], "B");
    EXPECT_EQ(names.back(), "\xFF") << "bytes compare unsigned";

    const std::vector<i32> ikeys = {5, -3, 9, 0};
    std::vector<u32> idx = {0, 1, 2, 3};
    SortIndicesByIntKey(state, idx.data(), 4, ikeys.data());
    EXPECT_EQ(idx, (std::vector<u32>{1, 3, 0, 2}));
    const std::vector<u32> ukeys = {5, 0xFFFFFFFDu, 9, 0};
    SortIndicesByKey(ukeys.data(), 4, idx.data());
    EXPECT_EQ(idx, (std::vector<u32>{3, 0, 2, 1}));
}

TEST(Sort, PermutationsGatherAndApply) {
    const u32 order[] = {2, 0, 1};
    struct Triple {
        u8 b[3];
    };
    for (u32 size : {1u, 2u, 3u, 4u, 8u}) {
        std::vector<u8> data(3 * size);
        for (u32 i = 0; i < data.size(); ++i) data[i] = static_cast<u8>(i);
        std::vector<u8> gathered(data.size());
        GatherByPermutation(gathered.data(), data.data(), 3, size, order);
        for (u32 i = 0; i < 3; ++i)
            for (u32 k = 0; k < size; ++k) EXPECT_EQ(gathered[i * size + k], data[order[i] * size + k]);
        ApplyPermutation(data.data(), 3, size, order);
        EXPECT_EQ(data, gathered);
    }
    u32 ids[4];
    IdentityPermutation(ids, 4);
    EXPECT_EQ(std::vector<u32>(ids, ids + 4), (std::vector<u32>{0, 1, 2, 3}));
}
