#pragma once
// GridLayout: where a GridWindow's cells stand, worked out from the image
// size, the spacing, the label height and the zoom, and the zoom's limits.
// Plain arithmetic with no window, so that sizes, hit tests and scroll
// ranges are tested on their own.
//
// A cell is the zoomed image with the label strip under it, plus the
// spacing: half of it on each side, so that neighbouring cells stand one
// spacing apart. The label strip is left out of cells narrower than 64 px.
// Cells run left to right in rows; in table mode the column count is fixed
// and a header row of titles stands above them. Row numbers, when shown,
// take a 16-px column at the left.
//
// Coordinates are the grid's client coordinates; content coordinates are
// the same before scrolling (x and y of the scroll position subtracted
// give client coordinates).

#include "platform/types.h"
#include "ui/rect.h"

namespace pirn {

class GridLayout {
public:
    static constexpr i32 kDefaultImageSize = 96;
    static constexpr i32 kDefaultSpacing = 8;
    static constexpr i32 kMinimumZoomedWidth = 16;
    static constexpr i32 kLabelMinimumCellWidth = 64;
    static constexpr i32 kRowNumberWidth = 16;
    static constexpr double kMinimumZoom = 0.1;  // exclusive
    static constexpr double kMaximumZoom = 16.0;  // exclusive

    // The label height is 3 lines and the table header 1.5 lines of the
    // given line height.
    explicit GridLayout(i32 lineHeight = 14);

    // ---- settings ----
    void SetImageWidth(i32 w) { imageWidth_ = w < 0 ? 0 : w; }
    void SetImageHeight(i32 h) { imageHeight_ = h < 0 ? 0 : h; }
    void SetSpacing(i32 s) { spacing_ = s < 0 ? 0 : s; }
    void SetLabelHeight(i32 h) { labelHeight_ = h < 0 ? 0 : h; }
    void SetRowNumbers(bool on) { rowNumbers_ = on; }
    // A count below 1 leaves table mode off whatever SetTableMode says.
    void SetTableColumns(i32 count) { tableColumns_ = count < 0 ? 0 : count; }
    void SetTableMode(bool on) { tableMode_ = on; }
    i32 GetImageWidth() const { return imageWidth_; }
    i32 GetImageHeight() const { return imageHeight_; }
    i32 GetSpacing() const { return spacing_; }
    i32 GetLabelHeight() const { return labelHeight_; }
    bool HasRowNumbers() const { return rowNumbers_; }
    bool IsTableMode() const { return tableMode_ && tableColumns_ > 0; }
    i32 GetTableColumns() const { return tableColumns_; }
    i32 GetHeaderHeight() const { return IsTableMode() ? headerHeight_ : 0; }

    // ---- zoom ----
    double GetZoom() const { return zoom_; }
    // Whether SetZoom would take z: strictly between 0.1 and 16, other than
    // the zoom in force, and leaving zoomed images at least 16 px wide.
    bool AcceptsZoom(double z) const;
    // Takes z when AcceptsZoom allows it.
    bool SetZoom(double z);

    // ---- sizes ----
    // The image size times the zoom, rounded to the nearest integer.
    i32 ZoomedWidth() const { return ZoomedWidthAt(zoom_); }
    i32 ZoomedHeight() const;
    i32 ZoomedWidthAt(double z) const;
    i32 LabelStrip() const;
    i32 CellWidth() const { return ZoomedWidth() + spacing_; }
    i32 CellHeight() const { return spacing_ + LabelStrip() + ZoomedHeight(); }

    // The table's column count, else as many cells as the width beside the
    // row numbers holds, at least 1.
    i32 Columns(i32 clientWidth) const;
    i32 Rows(i32 cellCount, i32 columns) const;
    // Where the cells begin: right of the row numbers, below the header.
    i32 ContentLeft() const { return rowNumbers_ ? kRowNumberWidth : 0; }
    i32 ContentTop() const { return GetHeaderHeight(); }

    // Scroll ranges and pages in pixels. The horizontal ones are 0 outside
    // table mode (the cells then wrap to the width instead).
    i32 VerticalRange(i32 cellCount, i32 columns) const;
    i32 VerticalPage(i32 clientHeight) const;
    i32 HorizontalRange(i32 columns) const;
    i32 HorizontalPage(i32 clientWidth) const;

    // ---- places ----
    // The cell's whole rectangle (spacing included) at a column and row.
    Rect CellRect(i32 column, i32 row, Point scroll) const;
    // The cell less the spacing: image and label strip together.
    Rect CellBox(i32 column, i32 row, Point scroll) const;
    // The image area: the image part of the box inset by the margin.
    Rect ImageRect(i32 column, i32 row, Point scroll, i32 margin) const;
    // The label strip under the image (empty when there is none).
    Rect LabelRect(i32 column, i32 row, Point scroll) const;
    // Column and row of the cell whose rectangle holds the client point;
    // false in the row-number column, the header, or past the cells of a
    // table's columns (the row may lie beyond the last cell).
    bool CellAt(Point client, Point scroll, i32 columns, i32* column, i32* row) const;

private:
    i32 imageWidth_ = kDefaultImageSize;
    i32 imageHeight_ = kDefaultImageSize;
    i32 spacing_ = kDefaultSpacing;
    i32 labelHeight_;
    i32 headerHeight_;
    double zoom_ = 1.0;
    bool rowNumbers_ = false;
    bool tableMode_ = false;
    i32 tableColumns_ = 0;
};

}  // namespace pirn
