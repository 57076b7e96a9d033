#include "ui/grid_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "ui/grid_arithmetic.h"

namespace pirn {

namespace {

using grid_arithmetic::ClampToI32;

i32 Scaled(i32 size, double z) { return ClampToI32(std::llround(static_cast<double>(size) * z)); }

}  // namespace

GridLayout::GridLayout(i32 lineHeight)
    : labelHeight_(3 * std::max(lineHeight, 0)), headerHeight_(std::max(lineHeight, 0) * 3 / 2) {}

bool GridLayout::AcceptsZoom(double z) const {
    if (!(z > kMinimumZoom && z < kMaximumZoom) || z == zoom_) return false;
    return ZoomedWidthAt(z) >= kMinimumZoomedWidth;
}

bool GridLayout::SetZoom(double z) {
    if (!AcceptsZoom(z)) return false;
    zoom_ = z;
    return true;
}

i32 GridLayout::ZoomedWidthAt(double z) const { return Scaled(imageWidth_, z); }

i32 GridLayout::ZoomedHeight() const { return Scaled(imageHeight_, zoom_); }

i32 GridLayout::LabelStrip() const { return CellWidth() < kLabelMinimumCellWidth ? 0 : labelHeight_; }

i32 GridLayout::Columns(i32 clientWidth) const {
    if (IsTableMode()) return tableColumns_;
    const i32 width = clientWidth - ContentLeft();
    return std::max(width / std::max(CellWidth(), 1), 1);
}

i32 GridLayout::Rows(i32 cellCount, i32 columns) const {
    if (cellCount <= 0) return 0;
    const i64 c = std::max(columns, 1);
    return ClampToI32((i64{cellCount} + c - 1) / c);
}

i32 GridLayout::VerticalRange(i32 cellCount, i32 columns) const {
    return ClampToI32(i64{CellHeight()} * Rows(cellCount, columns));
}

i32 GridLayout::VerticalPage(i32 clientHeight) const { return std::max(clientHeight - GetHeaderHeight(), 0); }

i32 GridLayout::HorizontalRange(i32 columns) const {
    if (!IsTableMode()) return 0;
    return ClampToI32(i64{CellWidth()} * columns + ContentLeft());
}

i32 GridLayout::HorizontalPage(i32 clientWidth) const { return IsTableMode() ? std::max(clientWidth, 0) : 0; }

Rect GridLayout::CellRect(i32 column, i32 row, Point scroll) const {
    const i64 left = ContentLeft() + i64{column} * CellWidth() - scroll.x;
    const i64 top = ContentTop() + i64{row} * CellHeight() - scroll.y;
    return Rect{ClampToI32(left), ClampToI32(top), ClampToI32(left + CellWidth()), ClampToI32(top + CellHeight())};
}

Rect GridLayout::CellBox(i32 column, i32 row, Point scroll) const {
    const Rect cell = CellRect(column, row, scroll);
    const i32 before = spacing_ / 2;
    const i32 after = spacing_ - before;
    return Rect{cell.left + before, cell.top + before, cell.right - after, cell.bottom - after};
}

Rect GridLayout::ImageRect(i32 column, i32 row, Point scroll, i32 margin) const {
    const Rect box = CellBox(column, row, scroll);
    Rect image{box.left + margin, box.top + margin, box.right - margin, box.top + ZoomedHeight() - margin};
    if (image.right < image.left) image.right = image.left;
    if (image.bottom < image.top) image.bottom = image.top;
    return image;
}

Rect GridLayout::LabelRect(i32 column, i32 row, Point scroll) const {
    const Rect box = CellBox(column, row, scroll);
    const i32 top = box.top + ZoomedHeight();
    return Rect{box.left, top, box.right, top + LabelStrip()};
}

bool GridLayout::CellAt(Point client, Point scroll, i32 columns, i32* column, i32* row) const {
    // The header stays put; the row numbers scroll sideways with the cells.
    if (client.y < ContentTop()) return false;
    const i64 x = i64{client.x} + scroll.x - ContentLeft();
    const i64 y = i64{client.y} - ContentTop() + scroll.y;
    if (x < 0) return false;
    const i32 c = ClampToI32(grid_arithmetic::FloorDiv(x, std::max(CellWidth(), 1)));
    const i32 r = ClampToI32(grid_arithmetic::FloorDiv(y, std::max(CellHeight(), 1)));
    if (c < 0 || r < 0 || c >= std::max(columns, 1)) return false;
    if (column) *column = c;
    if (row) *row = r;
    return true;
}

}  // namespace pirn
