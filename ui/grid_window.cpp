// Grid widget: the view of a GridModel laid out by a GridLayout; mouse,
// keys, wheel zoom, rubber band, drag hooks, edge scrolling and drawing.

#include "ui/grid_window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/os/key_codes.h"
#include "platform/os/os_time.h"
#include "platform/pref_store.h"
#include "ui/frame_step.h"
#include "ui/frame_timer.h"
#include "ui/grid_arithmetic.h"
#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

using grid_arithmetic::ClampToI32;
using grid_arithmetic::FloorDiv;

// The new scroll position that brings [lo, hi) into a view of `page` from
// `pos`, moving as little as possible (the start wins when it cannot all
// show).
i64 RevealSpan(i64 lo, i64 hi, i64 pos, i64 page) {
    if (lo < pos || hi - lo > page) return lo;
    if (hi > pos + page) return hi - page;
    return pos;
}

}  // namespace

GridWindow::GridWindow(u32 gridFlags, u32 styleFlags, Window* parent)
    : ScrollableWindow(styleFlags | kTakesFocus, parent),
      gridFlags_(gridFlags),
      model_((gridFlags & kMultipleSelection) != 0),
      layout_(GetLineHeight()) {
    UpdateScrollRange();
}

GridWindow::~GridWindow() = default;

// ---- cells ----

void GridWindow::SetCellCount(i32 count) {
    const i32 selectedBefore = model_.SelectedCount();
    const i32 currentBefore = model_.GetCurrent();
    model_.SetCellCount(count);
    if (click_.cell >= model_.GetCellCount()) click_ = Click{};
    if (pressedCell_ >= model_.GetCellCount()) dragArmed_ = false;
    UpdateScrollRange();
    Changed(model_.SelectedCount() != selectedBefore || model_.GetCurrent() != currentBefore);
}

void GridWindow::SetCellData(i32 index, void* data) {
    model_.SetData(index, data);
    Invalidate();
}

void GridWindow::SetCellLabel(i32 index, const char* label) {
    model_.SetLabel(index, label);
    Invalidate();
}

void GridWindow::SetCellLabelColor(i32 index, u32 rgba) {
    model_.SetLabelColor(index, rgba);
    Invalidate();
}

// ---- geometry ----

void GridWindow::SetItemWidth(i32 width) {
    layout_.SetImageWidth(width);
    UpdateScrollRange();
    Invalidate();
}

void GridWindow::SetItemHeight(i32 height) {
    layout_.SetImageHeight(height);
    UpdateScrollRange();
    Invalidate();
}

void GridWindow::SetSpacing(i32 spacing) {
    layout_.SetSpacing(spacing);
    UpdateScrollRange();
    Invalidate();
}

void GridWindow::SetLabelHeight(i32 height) {
    layout_.SetLabelHeight(height);
    UpdateScrollRange();
    Invalidate();
}

i32 GridWindow::GetColumnCount() const { return layout_.Columns(GetClientWidth()); }

i32 GridWindow::GetRowCount() const { return layout_.Rows(GetCellCount(), GetColumnCount()); }

i32 GridWindow::CellIndexAt(i32 column, i32 row) const {
    const i32 columns = GetColumnCount();
    if (column < 0 || row < 0 || column >= columns) return -1;
    const i64 index = i64{row} * columns + column;
    return index < GetCellCount() ? static_cast<i32>(index) : -1;
}

Point GridWindow::CellPosition(i32 index) const {
    if (!model_.IsCell(index)) return Point{-1, -1};
    const i32 columns = GetColumnCount();
    return Point{index % columns, index / columns};
}

Rect GridWindow::CellRect(i32 index) const {
    const Point at = CellPosition(index);
    if (at.x < 0) return Rect{};
    return layout_.CellRect(at.x, at.y, ScrollPoint());
}

Rect GridWindow::CellImageRect(i32 index) const {
    const Point at = CellPosition(index);
    if (at.x < 0) return Rect{};
    return layout_.ImageRect(at.x, at.y, ScrollPoint(), kGridCellMargin);
}

i32 GridWindow::CellAtClientPoint(Point client) const {
    if (client.x < 0 || client.y < 0 || client.x >= GetClientWidth() || client.y >= GetClientHeight()) return -1;
    i32 column = 0, row = 0;
    if (!layout_.CellAt(client, ScrollPoint(), GetColumnCount(), &column, &row)) return -1;
    return CellIndexAt(column, row);
}

Point GridWindow::ClientPoint(const InputEvent& e) const {
    return Point{e.X() - GetClientScreenRect().left, e.Y() - GetClientScreenRect().top};
}

void GridWindow::UpdateScrollRange() {
    const i32 columns = GetColumnCount();
    const i32 rangeY = layout_.VerticalRange(GetCellCount(), columns);
    const i32 pageY = layout_.VerticalPage(GetClientHeight());
    const i32 rangeX = layout_.HorizontalRange(columns);
    const i32 pageX = layout_.HorizontalPage(GetClientWidth());
    SetLineStep(std::max(layout_.CellHeight(), 1));
    if (rangeY == GetScrollRangeY() && pageY == GetScrollPageY() && rangeX == GetScrollRangeX() &&
        pageX == GetScrollPageX())
        return;
    SetScrollInfo(kSetRangeY | kSetPageY | kSetRangeX | kSetPageX, rangeY, 0, pageY, rangeX, 0, pageX);
}

void GridWindow::Layout() {
    ScrollableWindow::Layout();
    UpdateScrollRange();
    const i32 current = model_.GetCurrent();
    RevealCell(current >= 0 ? current : model_.FirstSelected());
}

void GridWindow::Changed(bool selection) {
    Invalidate();
    if (selection) selectionChanged.Emit();
}

// ---- table mode ----

void GridWindow::SetColumnCount(i32 count, const char* const* titles) {
    count = std::max(count, 0);
    layout_.SetTableColumns(count);
    columnTitles_.assign(static_cast<size_t>(count), std::string());
    if (titles)
        for (i32 i = 0; i < count; ++i)
            if (titles[i]) columnTitles_[static_cast<size_t>(i)] = titles[i];
    UpdateScrollRange();
    Invalidate();
}

void GridWindow::SetColumnTitle(i32 column, const char* title) {
    if (column < 0 || column >= static_cast<i32>(columnTitles_.size())) return;
    columnTitles_[static_cast<size_t>(column)] = title ? title : "";
    Invalidate();
}

void GridWindow::SetTableMode(bool on) {
    layout_.SetTableMode(on);
    UpdateScrollRange();
    Invalidate();
}

void GridWindow::SetRowNumbers(bool on, i32 firstNumber) {
    layout_.SetRowNumbers(on);
    firstRowNumber_ = firstNumber;
    UpdateScrollRange();
    Invalidate();
}

// ---- selection ----

void GridWindow::SelectCell(i32 index) { Changed(model_.Select(index)); }

void GridWindow::DeselectCell(i32 index) { Changed(model_.Deselect(index)); }

void GridWindow::DeselectAll() { Changed(model_.DeselectAll()); }

void GridWindow::SelectAll() { Changed(model_.SelectAll()); }

void GridWindow::SelectRange(i32 from, i32 to) { Changed(model_.SelectRange(from, to)); }

void GridWindow::RevealCell(i32 index) {
    const Point at = CellPosition(index);
    if (at.x < 0) return;
    const i64 cellH = layout_.CellHeight();
    const i64 top = i64{at.y} * cellH;
    const i64 y = RevealSpan(top, top + cellH, GetScrollY(), layout_.VerticalPage(GetClientHeight()));
    if (y != GetScrollY()) SetScrollY(ClampToI32(y));
    if (!layout_.IsTableMode()) return;
    const i64 cellW = layout_.CellWidth();
    const i64 left = layout_.ContentLeft() + i64{at.x} * cellW;
    const i64 x = RevealSpan(left, left + cellW, GetScrollX(), layout_.HorizontalPage(GetClientWidth()));
    if (x != GetScrollX()) SetScrollX(ClampToI32(x));
}

// ---- zoom ----

void GridWindow::SetZoom(double z) {
    if (!layout_.SetZoom(z)) return;
    zoomChanged.Emit();
    if (!zoomPrefKey_.empty()) SetPrefDouble(zoomPrefKey_, layout_.GetZoom());
    Layout();
    Invalidate();
}

void GridWindow::BindZoomPref(const char* key) {
    zoomPrefKey_ = key ? key : "";
    double stored = 0.0;
    if (!zoomPrefKey_.empty() && GetPrefDouble(zoomPrefKey_, &stored)) SetZoom(stored);
}

void GridWindow::SetDrawCellCallback(GridDrawCellCallback callback) {
    drawCell_ = callback;
    Invalidate();
}

// ---- keys ----

int GridWindow::OnKey(InputEvent& e) {
    if (!e.IsPress()) return 0;
    const u32 mods = e.KeyModifiers();
    switch (e.Code()) {
        case 'A':
            if (!(mods & kModControl)) return 0;
            SelectAll();
            return 1;
        case kKeyBackspace:
        case kKeyDelete:
            if (delete_) delete_(context_);
            return 1;
        case kKeyEnter:
            if (mods & kKeyRepeatBit) return 1;
            // The callback may change the cells: it gets the data of the
            // cells selected when the key went down.
            if (context_ && activate_)
                for (void* data : model_.SelectedData()) activate_(context_, data);
            return 1;
        case kKeyUp:
        case kKeyDown:
        case kKeyLeft:
        case kKeyRight:
            MoveByKey(e.Code(), mods);
            return 1;
        default:
            return 0;
    }
}

void GridWindow::MoveByKey(i32 code, u32 mods) {
    const i32 count = GetCellCount();
    if (count == 0) return;
    const i32 columns = GetColumnCount();
    const i32 current = model_.GetCurrent();
    const bool alt = (mods & kModAlt) != 0;
    i64 target = 0;
    if (current >= 0) {
        const i32 rowStart = current - current % columns;
        const i32 rowEnd = std::min(rowStart + columns, count) - 1;
        switch (code) {
            case kKeyUp: target = i64{current} - columns; break;
            case kKeyDown: target = i64{current} + columns; break;
            case kKeyLeft: target = alt ? rowStart : (current > rowStart ? current - 1 : -1); break;
            default: target = alt ? rowEnd : (current < rowEnd ? current + 1 : -1); break;
        }
    }
    if (target < 0 || target >= count) return;
    const i32 to = static_cast<i32>(target);
    bool changed = false;
    if (mods & kModShift) {
        // Alt with Shift selects every cell passed on the way along the row.
        if (alt && current >= 0) changed = model_.SelectRange(current, to);
        else changed = model_.Select(to);
    } else {
        changed = model_.ClearSelection();
        changed = model_.Select(to) || changed;
    }
    if (model_.GetCurrent() != to) {
        model_.SetCurrent(to);
        changed = true;
    }
    RevealCell(to);
    Changed(changed);
}

// ---- mouse ----

void GridWindow::ApplyClick(i32 cell, bool right, u32 mods, bool onRelease) {
    const bool ctrl = (mods & kModControl) != 0;
    const bool shift = (mods & kModShift) != 0;
    bool changed = false;
    // The current cell survives the clearing: a Shift click extends from it.
    if (!ctrl && !(right && model_.IsSelected(cell))) changed = model_.ClearSelection();
    if (shift && model_.IsMultipleSelection()) {
        const i32 anchor = model_.GetCurrent();
        changed = model_.SelectRange(anchor >= 0 ? anchor : cell, cell) || changed;
    } else if (onRelease && ctrl && model_.IsSelected(cell)) {
        changed = model_.Deselect(cell) || changed;
    } else {
        changed = model_.Select(cell) || changed;
    }
    Changed(changed);
}

void GridWindow::OnMouseButton(InputEvent& e) {
    const Point p = ClientPoint(e);
    const i32 cell = CellAtClientPoint(p);
    const bool right = IsRightButtonEvent(e);
    const u32 mods = e.MouseModifiers();
    if (!e.ButtonAction()) {
        dragArmed_ = false;
        const Click click = click_;
        click_ = Click{};
        if (click.pending && click.cell == cell && click.right == right) ApplyClick(cell, right, click.modifiers, true);
        if (right) contextClick.Emit(e.X(), e.Y());
        return;
    }
    click_ = Click{};
    const bool ctrl = (mods & kModControl) != 0;
    const bool shift = (mods & kModShift) != 0;
    const bool multiple = model_.IsMultipleSelection();
    if (cell >= 0) {
        if (!right && multiple) {
            dragArmed_ = true;
            pressedCell_ = cell;
            pressPoint_ = Point{e.X(), e.Y()};
        }
        // A press on a selected cell may be the start of a drag of the whole
        // selection, and a Ctrl press may be one of the cells already
        // chosen: both wait for the release. Other presses act at once.
        if (ctrl || (model_.IsSelected(cell) && !shift)) click_ = Click{true, cell, right, mods};
        else ApplyClick(cell, right, mods, false);
        return;
    }
    // Empty space. A band only makes sense where several cells may be
    // chosen.
    if (multiple && (shift || ctrl)) {
        if (!right) StartRubberBand();
        return;
    }
    DeselectAll();
    if (!right && multiple) StartRubberBand();
}

void GridWindow::OnDoubleClick(InputEvent& e) {
    if (dragArmed_ || !context_ || !activate_) return;
    const i32 cell = CellAtClientPoint(ClientPoint(e));
    if (cell >= 0) activate_(context_, model_.GetData(cell));
}

void GridWindow::OnMouseMove(InputEvent& e) {
    if (!dragArmed_) return;
    const i32 moved = std::abs(e.X() - pressPoint_.x) + std::abs(e.Y() - pressPoint_.y);
    if (moved <= kDragThreshold) return;
    dragArmed_ = false;
    click_ = Click{};
    if (context_ && drag_ && model_.GetCurrent() >= 0) drag_(context_, this, pressedCell_);
}

void GridWindow::OnWheel(InputEvent& e) {
    const i64 d = static_cast<i64>(e.OldWheel()) - e.NewWheel();
    if (e.MouseModifiers() & kModControl) {
        if (d != 0) SetZoom(GetZoom() * std::pow(kWheelZoomStep, static_cast<double>(d)));
        return;
    }
    if (e.MouseModifiers() & kWheelHorizontalBit) ScrollByX(ClampToI32(d * layout_.CellWidth()));
    else ScrollByY(ClampToI32(d * layout_.CellHeight()));
}

// ---- rubber band ----

void GridWindow::StartRubberBand() {
    if (band_.running) return;
    const Point mouse = GetMousePosition();
    const Point client{mouse.x - GetClientScreenRect().left, mouse.y - GetClientScreenRect().top};
    band_.start = Point{client.x + GetScrollX(), client.y + GetScrollY()};
    band_.pointer = mouse;
    band_.running = true;
    if (!StartDrag(this, ForwardMouseDrag)) band_.running = false;
}

void GridWindow::UpdateRubberBand(bool reveal) {
    const i32 columns = GetColumnCount();
    const i32 rows = GetRowCount();
    const i64 cellW = std::max(layout_.CellWidth(), 1);
    const i64 cellH = std::max(layout_.CellHeight(), 1);
    const Point client{band_.pointer.x - GetClientScreenRect().left, band_.pointer.y - GetClientScreenRect().top};
    if (reveal && rows > 0) {
        // The row (and in a table the column) under the pointer comes into
        // view, so that a band dragged past an edge scrolls.
        const i64 y = std::clamp<i64>(i64{client.y} - layout_.ContentTop() + GetScrollY(), 0, i64{rows} * cellH - 1);
        const i64 top = FloorDiv(y, cellH) * cellH;
        const i64 newY = RevealSpan(top, top + cellH, GetScrollY(), layout_.VerticalPage(GetClientHeight()));
        if (newY != GetScrollY()) SetScrollY(ClampToI32(newY));
        if (layout_.IsTableMode()) {
            const i64 x = std::clamp<i64>(i64{client.x} + GetScrollX() - layout_.ContentLeft(), 0,
                                          i64{columns} * cellW - 1);
            const i64 left = layout_.ContentLeft() + FloorDiv(x, cellW) * cellW;
            const i64 newX = RevealSpan(left, left + cellW, GetScrollX(), layout_.HorizontalPage(GetClientWidth()));
            if (newX != GetScrollX()) SetScrollX(ClampToI32(newX));
        }
    }
    // The band in content coordinates, measured from the first cell.
    const i64 px = i64{client.x} + GetScrollX() - layout_.ContentLeft();
    const i64 py = i64{client.y} + GetScrollY() - layout_.ContentTop();
    const i64 sx = i64{band_.start.x} - layout_.ContentLeft();
    const i64 sy = i64{band_.start.y} - layout_.ContentTop();
    const i64 firstColumn = std::max<i64>(FloorDiv(std::min(px, sx), cellW), 0);
    const i64 lastColumn = std::min<i64>(FloorDiv(std::max(px, sx), cellW), columns - 1);
    const i64 firstRow = std::max<i64>(FloorDiv(std::min(py, sy), cellH), 0);
    const i64 lastRow = std::min<i64>(FloorDiv(std::max(py, sy), cellH), rows - 1);
    std::vector<i32> inside;
    for (i64 r = firstRow; r <= lastRow; ++r)
        for (i64 c = firstColumn; c <= lastColumn; ++c) {
            const i64 index = r * columns + c;
            if (index < GetCellCount()) inside.push_back(static_cast<i32>(index));
        }
    if (model_.SetPending(inside)) Invalidate();
}

void GridWindow::EndRubberBand() {
    band_.running = false;
    Changed(model_.CommitPending());
}

void GridWindow::OnMouseDrag(Point start, Point pos, int phase) {
    if (!band_.running || phase == 0) return;
    band_.pointer = pos;
    UpdateRubberBand(false);
    if (phase == 2) EndRubberBand();
}

// ---- drag and drop ----

int GridWindow::OnDragDrop(Point pos, int phase, DragDropData* data) {
    if (!context_ || !drop_) return 0;
    const Point client{pos.x - GetClientScreenRect().left, pos.y - GetClientScreenRect().top};
    if (phase == 1 && !(GetModifierMask() & kModShift)) {
        auto direction = [](i32 at, i32 low, i32 high) {
            const bool nearLow = at < low + kAutoScrollEdge;
            const bool nearHigh = at >= high - kAutoScrollEdge;
            return nearLow == nearHigh ? 0 : (nearLow ? -1 : 1);
        };
        const i32 rows = direction(client.y, layout_.ContentTop(), GetClientHeight());
        const i32 columns = layout_.IsTableMode() ? direction(client.x, 0, GetClientWidth()) : 0;
        if (rows == 0 && columns == 0) {
            StopAutoScroll();
        } else {
            if (!autoScroll_.on) autoScroll_.lastStep = OsGetTime();
            autoScroll_.on = true;
            autoScroll_.rows = rows;
            autoScroll_.columns = columns;
        }
    } else {
        StopAutoScroll();
    }
    const i32 cell = CellAtClientPoint(client);
    if (cell < 0) return 0;
    return drop_(context_, this, data, phase, cell);
}

void GridWindow::StepAutoScroll() {
    if (!autoScroll_.on) return;
    // The drag ended or went on to another window: nothing tells the grid
    // but the pointer itself.
    if (!IsDragRunning() || GetHoverWindow() != this) {
        StopAutoScroll();
        return;
    }
    const double now = OsGetTime();
    if (now - autoScroll_.lastStep < kAutoScrollInterval) {
        RequestFrameBy(autoScroll_.lastStep + kAutoScrollInterval);
        return;
    }
    autoScroll_.lastStep = now;
    RequestFrameBy(now + kAutoScrollInterval);
    if (autoScroll_.rows) ScrollByY(autoScroll_.rows * layout_.CellHeight());
    if (autoScroll_.columns) ScrollByX(autoScroll_.columns * layout_.CellWidth());
}

void GridWindow::OnIdle() {
    ScrollableWindow::OnIdle();
    if (band_.running) UpdateRubberBand(true);
    StepAutoScroll();
}

// ---- drawing ----

void GridWindow::DrawCell(i32 index, i32 column, i32 row, bool focused) {
    const GridCell& cell = model_.Cell(index);
    const Point scroll = ScrollPoint();
    const Rect box = layout_.CellBox(column, row, scroll);
    DrawGridCellOverlay(GetSkin(), box);
    drawCell_(context_, layout_.ImageRect(column, row, scroll, kGridCellMargin), cell.data);
    if (model_.ShowsSelected(index))
        DrawHighlight(box, kHighlightFill | (focused ? kHighlightStrong : 0u) |
                               (index == model_.GetCurrent() ? kHighlightOutline : 0u));
    if (layout_.LabelStrip() > 0 && !cell.label.empty()) {
        if (cell.labelColor == 0xFFFFFFFFu) SetSkinTextColor(false);
        else SetDrawColor(cell.labelColor);
        DrawTextInRect(cell.label.c_str(), 0, kTextWrap | kTextCenter, layout_.LabelRect(column, row, scroll));
    }
}

void GridWindow::DrawRowNumbers(i32 firstRow, i32 lastRow) {
    SetSkinTextColor(false);
    const i32 left = -GetScrollX();
    for (i32 row = firstRow; row <= lastRow; ++row) {
        const Rect cell = layout_.CellRect(0, row, ScrollPoint());
        char text[16];
        std::snprintf(text, sizeof text, "%d", firstRowNumber_ + row);
        DrawTextInRect(text, 0, kTextCenter | kTextCenterVertically,
                       Rect{left, cell.top, left + GridLayout::kRowNumberWidth, cell.bottom});
    }
}

void GridWindow::DrawHeader() {
    const Rect band{0, 0, GetClientWidth(), layout_.GetHeaderHeight()};
    // The accent band of the theme, which carries white labels.
    DrawTitleBar(GetSkin(), band, true);
    SetSkinTextColor(true);
    for (i32 c = 0; c < static_cast<i32>(columnTitles_.size()); ++c) {
        if (columnTitles_[static_cast<size_t>(c)].empty()) continue;
        const Rect cell = layout_.CellRect(c, 0, ScrollPoint());
        DrawTextInRect(columnTitles_[static_cast<size_t>(c)].c_str(), 0, kTextCenter | kTextCenterVertically,
                       Rect{cell.left, band.top, cell.right, band.bottom});
    }
}

void GridWindow::DrawContents() {
    if (BeginWindowDraw(this, 1, 0) && context_ && drawCell_) {
        const i32 count = GetCellCount();
        const i32 columns = GetColumnCount();
        const i32 rows = GetRowCount();
        const i64 cellW = std::max(layout_.CellWidth(), 1);
        const i64 cellH = std::max(layout_.CellHeight(), 1);
        // Only the rows and columns in view are visited: a frame costs the
        // same for ten cells or ten thousand.
        const i32 firstRow = static_cast<i32>(std::max<i64>(GetScrollY() / cellH, 0));
        const i32 lastRow = static_cast<i32>(std::min<i64>(
            (i64{GetScrollY()} + layout_.VerticalPage(GetClientHeight())) / cellH, i64{rows} - 1));
        i32 firstColumn = 0, lastColumn = columns - 1;
        if (layout_.IsTableMode()) {
            const i64 x = i64{GetScrollX()} - layout_.ContentLeft();
            firstColumn = static_cast<i32>(std::max<i64>(FloorDiv(x, cellW), 0));
            lastColumn = static_cast<i32>(std::min<i64>(FloorDiv(x + GetClientWidth(), cellW), columns - 1));
        }
        const bool focused = HasFocus();
        for (i32 row = firstRow; row <= lastRow; ++row)
            for (i32 column = firstColumn; column <= lastColumn; ++column) {
                const i64 index = i64{row} * columns + column;
                if (index >= count) break;
                if (!IsRectVisibleInPass(this, layout_.CellRect(column, row, ScrollPoint()))) continue;
                DrawCell(static_cast<i32>(index), column, row, focused);
            }
        if (layout_.HasRowNumbers()) DrawRowNumbers(firstRow, lastRow);
        if (layout_.IsTableMode()) DrawHeader();
    }
    EndWindowDraw(this);
}

}  // namespace pirn
