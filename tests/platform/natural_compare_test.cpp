#include "platform/natural_compare.h"

#include <gtest/gtest.h>

using namespace pirn;

TEST(NaturalCompare, NaturalOrderCases) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    } cases[] = {
        {"a", "B", -1},         {"item9", "item10", -1}, {"abc", "ab", 1},   {nullptr, "x", -1},
        {"x", nullptr, 1},      {nullptr, nullptr, 0},   {"file2", "file10", -1},
        {"same", "same", 0},    {"a9", "a!", 1},  // a number sorts after any single character
        {"\xE9t\xE9", "ete", -1},  // 128-255 sort before ASCII
        {"", "a", -1},          {"", "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NaturalCompare(c.a, c.b), c.expected) << (c.a ? c.a : "null") << " vs " << (c.b ? c.b : "null");
        EXPECT_EQ(NaturalCompare(c.b, c.a), -c.expected);
    }
}

TEST(NaturalCompare, NaturalTiesAreBrokenBytewise) {
    // The natural order alone holds these equal; two files with such names
    // must still be distinct entries of a listing.
    EXPECT_EQ(NaturalCompareLoose("A", "a"), 0);
    EXPECT_EQ(NaturalCompareLoose("x007", "x7"), 0);
    EXPECT_EQ(NaturalCompare("A", "a"), -1);
    EXPECT_EQ(NaturalCompare("a", "A"), 1);
    EXPECT_EQ(NaturalCompare("x007", "x7"), -1);
    // The tie-break never overrides the natural order.
    EXPECT_EQ(NaturalCompare("B", "a10"), 1);
    EXPECT_EQ(NaturalCompare("file2", "File10"), -1);
}
