// RowList: the first element held in the list itself, the rest on the heap,
// through copies, moves, shrinking and growing again.

#include "ui/row_list.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace pirn {
namespace {

TEST(RowListTest, HoldsWhatAVectorHoldsThroughCopiesAndMoves) {
    for (int n : {0, 1, 2, 3, 9}) {
        SCOPED_TRACE(n);
        RowList<int> list;
        std::vector<int> expected;
        for (int i = 0; i < n; ++i) {
            list.push_back(10 * i + 1);
            expected.push_back(10 * i + 1);
        }
        EXPECT_EQ(list, expected);
        EXPECT_EQ(list.size(), expected.size());
        if (n > 0) {
            EXPECT_EQ(list.back(), expected.back());
        }

        RowList<int> copy(list);
        EXPECT_EQ(copy, expected);
        copy.push_back(-1);  // the copy owns its elements
        EXPECT_EQ(list, expected);

        RowList<int> moved(std::move(copy));
        expected.push_back(-1);
        EXPECT_EQ(moved, expected);
        RowList<int> assigned;
        assigned.push_back(7);
        assigned.push_back(8);
        assigned = moved;
        EXPECT_EQ(assigned, expected);
        assigned = std::move(moved);
        EXPECT_EQ(assigned, expected);

        // Shrunk, then grown again with zeros, as a line is wrapped anew.
        assigned.resize(1);
        EXPECT_EQ(assigned, std::vector<int>{expected[0]});
        assigned.resize(3);
        EXPECT_EQ(assigned, (std::vector<int>{expected[0], 0, 0}));
        assigned.clear();
        EXPECT_TRUE(assigned.empty());
        EXPECT_EQ(assigned.begin(), assigned.end());
    }
}

}  // namespace
}  // namespace pirn
