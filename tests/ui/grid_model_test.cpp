// The grid's cells and selection without a window: single and multiple
// selection rules, the current cell, shrinking, and the rubber band's
// pending cells that show selected by exclusive or.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/grid_model.h"

namespace pirn {
namespace {

std::vector<i32> Selected(const GridModel& m) { return m.SelectedIndices(); }

TEST(GridModel, NewCellsAreBlankAndLabelsAreCopied) {
    GridModel m;
    m.SetCellCount(3);
    EXPECT_EQ(m.GetCellCount(), 3);
    for (i32 i = 0; i < 3; ++i) {
        EXPECT_EQ(m.Cell(i).data, nullptr);
        EXPECT_EQ(m.Cell(i).label, "");
        EXPECT_EQ(m.Cell(i).labelColor, 0xFFFFFFFFu);
        EXPECT_EQ(m.Cell(i).flags, 0u);
    }
    std::string name = "Walk 0";
    m.SetLabel(1, name.c_str());
    name = "changed";  // the caller's buffer may change or go
    EXPECT_EQ(m.Cell(1).label, "Walk 0");
    m.SetLabel(7, "outside");  // ignored, no crash
    m.SetData(-1, &name);
    EXPECT_EQ(m.GetData(-1), nullptr);
}

TEST(GridModel, SingleSelectionKeepsOneCell) {
    GridModel m(false);
    m.SetCellCount(5);
    EXPECT_TRUE(m.Select(1));
    EXPECT_TRUE(m.Select(3));
    EXPECT_EQ(Selected(m), (std::vector<i32>{3}));
    EXPECT_EQ(m.GetCurrent(), 3);
    EXPECT_FALSE(m.Select(3));  // nothing new
    EXPECT_FALSE(m.SelectAll());
    EXPECT_TRUE(m.SelectRange(0, 4));  // a range on a single grid is its end
    EXPECT_EQ(Selected(m), (std::vector<i32>{4}));
    EXPECT_FALSE(m.Select(9));
}

TEST(GridModel, MultipleSelectionRulesAndTheCurrentCell) {
    struct Case {
        const char* what;
        std::vector<i32> select;  // Select in order
        std::vector<i32> deselect;
        std::vector<i32> selected;
        i32 current;
    };
    const Case cases[] = {
        {"select adds", {1, 4, 2}, {}, {1, 2, 4}, 2},
        {"deselecting the current picks the last selected in cell order", {4, 1, 2}, {2}, {1, 4}, 4},
        {"deselecting another keeps the current", {1, 4, 2}, {4}, {1, 2}, 2},
        {"deselecting everything leaves none", {3}, {3}, {}, -1},
        {"deselecting an unselected cell changes nothing", {3}, {1}, {3}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GridModel m(true);
        m.SetCellCount(6);
        for (i32 i : c.select) m.Select(i);
        for (i32 i : c.deselect) m.Deselect(i);
        EXPECT_EQ(Selected(m), c.selected);
        EXPECT_EQ(m.GetCurrent(), c.current);
    }
}

TEST(GridModel, RangesAllAndClearing) {
    GridModel m(true);
    m.SetCellCount(8);
    m.Select(5);
    EXPECT_TRUE(m.SelectRange(5, 2));
    EXPECT_EQ(Selected(m), (std::vector<i32>{2, 3, 4, 5}));
    EXPECT_EQ(m.GetCurrent(), 5);  // a range leaves the current cell
    EXPECT_TRUE(m.ClearSelection());
    EXPECT_TRUE(Selected(m).empty());
    EXPECT_EQ(m.GetCurrent(), 5);  // cleared but still the anchor
    EXPECT_TRUE(m.SelectAll());
    EXPECT_EQ(m.SelectedCount(), 8);
    EXPECT_EQ(m.GetCurrent(), 0);
    EXPECT_TRUE(m.DeselectAll());
    EXPECT_EQ(m.GetCurrent(), -1);
    EXPECT_FALSE(m.DeselectAll());
}

TEST(GridModel, ShrinkingDropsCutCellsAndMovesTheCurrentCell) {
    GridModel m(true);
    m.SetCellCount(10);
    m.Select(2);
    m.Select(8);
    m.SetCellCount(5);
    EXPECT_EQ(Selected(m), (std::vector<i32>{2}));
    EXPECT_EQ(m.GetCurrent(), 2);
    m.SetCellCount(0);
    EXPECT_EQ(m.GetCurrent(), -1);
    m.SetCellCount(3);  // grown again: fresh cells, nothing selected
    EXPECT_TRUE(Selected(m).empty());
}

TEST(GridModel, PendingCellsShowByExclusiveOrAndToggleOnCommit) {
    GridModel m(true);
    m.SetCellCount(6);
    m.Select(1);
    m.Select(2);
    EXPECT_TRUE(m.SetPending({2, 3}));
    EXPECT_TRUE(m.ShowsSelected(1));   // selected only
    EXPECT_FALSE(m.ShowsSelected(2));  // selected and pending
    EXPECT_TRUE(m.ShowsSelected(3));   // pending only
    EXPECT_FALSE(m.ShowsSelected(4));
    EXPECT_FALSE(m.SetPending({3, 2}));  // the same cells: no change to show
    EXPECT_TRUE(m.SetPending({3}));      // the band shrank
    EXPECT_TRUE(m.ShowsSelected(2));
    EXPECT_TRUE(m.SetPending({2, 3, 99}));
    EXPECT_TRUE(m.CommitPending());
    EXPECT_FALSE(m.HasPending());
    EXPECT_EQ(Selected(m), (std::vector<i32>{1, 3}));
    // The current cell (2) went: the last selected cell takes over.
    EXPECT_EQ(m.GetCurrent(), 3);
    EXPECT_FALSE(m.CommitPending());
}

}  // namespace
}  // namespace pirn
