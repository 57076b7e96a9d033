// Grid geometry without a window: cell sizes from image size, spacing,
// label strip and zoom; the zoom's limits; columns, rows, scroll ranges and
// hit tests, in table mode and with row numbers too.

#include <gtest/gtest.h>

#include <limits>

#include "ui/grid_layout.h"

namespace pirn {
namespace {

constexpr i32 kLine = 14;

TEST(GridLayout, DefaultCellsAndTheLabelStrip) {
    GridLayout g(kLine);
    EXPECT_EQ(g.ZoomedWidth(), 96);
    EXPECT_EQ(g.CellWidth(), 104);
    EXPECT_EQ(g.LabelStrip(), 42);
    EXPECT_EQ(g.CellHeight(), 8 + 42 + 96);
    struct Case {
        double zoom;
        i32 zoomed;
        i32 strip;
    };
    // Cells narrower than 64 px (zoomed width + 8) lose the label.
    const Case cases[] = {{0.6, 58, 42}, {0.58, 56, 42}, {0.57, 55, 0}, {0.25, 24, 0}, {2.0, 192, 42}};
    for (const Case& c : cases) {
        GridLayout z(kLine);
        ASSERT_TRUE(z.SetZoom(c.zoom)) << c.zoom;
        EXPECT_EQ(z.ZoomedWidth(), c.zoomed) << c.zoom;
        EXPECT_EQ(z.LabelStrip(), c.strip) << c.zoom;
        EXPECT_EQ(z.CellHeight(), 8 + c.strip + c.zoomed) << c.zoom;
    }
}

TEST(GridLayout, ZoomLimits) {
    struct Case {
        double z;
        bool taken;
    };
    const Case cases[] = {
        {0.1, false},   {16.0, false}, {15.99, true}, {0.17, true},  // 96 x 0.17 = 16.32: 16 px
        {0.16, false},                                                 // 15.36: 15 px, too narrow
        {1.0, false},                                                  // the zoom in force
        {-2.0, false},  {std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const Case& c : cases) {
        GridLayout g(kLine);
        EXPECT_EQ(g.SetZoom(c.z), c.taken) << c.z;
        EXPECT_EQ(g.GetZoom(), c.taken ? c.z : 1.0) << c.z;
    }
    // A small image cannot be zoomed down as far.
    GridLayout small(kLine);
    small.SetImageWidth(22);
    EXPECT_FALSE(small.SetZoom(0.5));  // 11 px
    EXPECT_TRUE(small.SetZoom(0.75));  // 16.5: 17 px
}

TEST(GridLayout, ColumnsRowsAndRanges) {
    GridLayout g(kLine);
    EXPECT_EQ(g.Columns(520), 5);
    EXPECT_EQ(g.Columns(519), 4);
    EXPECT_EQ(g.Columns(50), 1);  // never fewer than one
    EXPECT_EQ(g.Columns(-10), 1);
    EXPECT_EQ(g.Rows(11, 5), 3);
    EXPECT_EQ(g.Rows(0, 5), 0);
    EXPECT_EQ(g.VerticalRange(11, 5), 3 * g.CellHeight());
    EXPECT_EQ(g.VerticalPage(300), 300);
    EXPECT_EQ(g.HorizontalRange(5), 0);  // cells wrap instead
    EXPECT_EQ(g.HorizontalPage(300), 0);

    // Cells with no width at all still divide.
    GridLayout empty(kLine);
    empty.SetImageWidth(0);
    empty.SetSpacing(0);
    EXPECT_EQ(empty.CellWidth(), 0);
    EXPECT_EQ(empty.Columns(500), 500);

    GridLayout table(kLine);
    table.SetTableColumns(4);
    table.SetTableMode(true);
    table.SetRowNumbers(true);
    EXPECT_EQ(table.Columns(100), 4);
    EXPECT_EQ(table.GetHeaderHeight(), 21);
    EXPECT_EQ(table.HorizontalRange(4), 4 * 104 + 16);
    EXPECT_EQ(table.HorizontalPage(300), 300);
    EXPECT_EQ(table.VerticalPage(300), 300 - 21);
    table.SetTableColumns(0);  // no columns: no table
    EXPECT_FALSE(table.IsTableMode());
}

TEST(GridLayout, CellPlacesAndHitTests) {
    GridLayout g(kLine);
    const Point none{0, 0};
    EXPECT_EQ(g.CellRect(1, 2, none), (Rect{104, 292, 208, 438}));
    EXPECT_EQ(g.CellBox(1, 2, none), (Rect{108, 296, 204, 434}));
    EXPECT_EQ(g.ImageRect(1, 2, none, 2), (Rect{110, 298, 202, 390}));
    EXPECT_EQ(g.LabelRect(1, 2, none), (Rect{108, 392, 204, 434}));
    EXPECT_EQ(g.CellRect(0, 1, Point{0, 100}), (Rect{0, 46, 104, 192}));

    struct Hit {
        Point client;
        Point scroll;
        bool found;
        i32 column, row;
    };
    const Hit hits[] = {
        {{0, 0}, {0, 0}, true, 0, 0},
        {{103, 145}, {0, 0}, true, 0, 0},
        {{104, 146}, {0, 0}, true, 1, 1},
        {{10, 10}, {0, 146}, true, 0, 1},
        {{10, 10}, {0, 130}, true, 0, 0},
        {{430, 10}, {0, 0}, false, 0, 0},  // past the 4 columns
    };
    for (const Hit& h : hits) {
        i32 c = -1, r = -1;
        EXPECT_EQ(g.CellAt(h.client, h.scroll, 4, &c, &r), h.found) << h.client.x << "," << h.client.y;
        if (h.found) {
            EXPECT_EQ(c, h.column);
            EXPECT_EQ(r, h.row);
        }
    }

    GridLayout table(kLine);
    table.SetTableColumns(3);
    table.SetTableMode(true);
    table.SetRowNumbers(true);
    i32 c = -1, r = -1;
    EXPECT_FALSE(table.CellAt(Point{50, 10}, none, 3, &c, &r));  // the header
    EXPECT_FALSE(table.CellAt(Point{8, 40}, none, 3, &c, &r));   // the row numbers
    EXPECT_TRUE(table.CellAt(Point{16, 21}, none, 3, &c, &r));
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 0);
    // Scrolled sideways, the row numbers go with the cells.
    EXPECT_TRUE(table.CellAt(Point{8, 40}, Point{104, 0}, 3, &c, &r));
    EXPECT_EQ(c, 0);
    EXPECT_EQ(table.CellRect(0, 0, Point{0, 0}), (Rect{16, 21, 120, 167}));
}

}  // namespace
}  // namespace pirn
