#pragma once
// GridWindow: a scrollable grid of cells, each an image area that its owner
// paints plus a text label under it, with zoom, single or multiple
// selection, keyboard moves, rubber-band selection and drag-and-drop hooks.
// In table mode it shows a fixed number of titled columns and may number
// its rows.
//
// The cells and their selection are a GridModel, the geometry and zoom a
// GridLayout; the grid draws them and turns input into calls on them. The
// owner paints images and reacts through callbacks, each called with the
// context it set first:
//
//   grid->SetCallbackContext(this);
//   grid->SetDrawCellCallback([](void* self, const Rect& image, void* data) {
//       static_cast<Browser*>(self)->DrawThumbnail(image, data);  // client coordinates
//   });
//   grid->SetCellCount(n);
//   for (i32 i = 0; i < n; ++i) grid->SetCellData(i, items[i]), grid->SetCellLabel(i, names[i]);
//   grid->BindZoomPref("X256BitmapBrowser.GridZoom");
//
// Selection follows the release of the button, so that pressing a cell of
// a selection and moving away drags the whole selection (the drag callback
// starts it, usually with StartDragDrop). Program calls that change the
// selection emit selectionChanged as the user's clicks do.

#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/grid_layout.h"
#include "ui/grid_model.h"
#include "ui/scrollable_window.h"
#include "ui/signal.h"

namespace pirn {

class GridWindow;

// Paints one cell's image into the rectangle (the grid's client
// coordinates, inside the current drawing scope).
using GridDrawCellCallback = void (*)(void* context, const Rect& imageRect, void* cellData);
// A double click on a cell; Enter, once for each selected cell.
using GridActivateCallback = void (*)(void* context, void* cellData);
// The pointer moved more than 3 px with the button down on a cell: the owner
// starts a drag of the selection (pressedCell is the cell pressed).
using GridDragCallback = void (*)(void* context, GridWindow* grid, i32 pressedCell);
// A payload over a cell (phase 1: may it drop here? answer > 0 accepts) or
// dropped on it (phase 0).
using GridDropCallback = int (*)(void* context, GridWindow* grid, Window::DragDropData* payload, int phase,
                                 i32 cellIndex);
// Backspace or Delete.
using GridDeleteCallback = void (*)(void* context);

class GridWindow : public ScrollableWindow {
public:
    // Grid flags (the constructor's first argument).
    enum : u32 { kMultipleSelection = 1 };
    static constexpr i32 kDragThreshold = 3;        // x plus y distance before a press becomes a drag
    static constexpr i32 kAutoScrollEdge = 16;      // pixels from an edge where a drag scrolls
    static constexpr double kAutoScrollInterval = 1.0 / 3.0;
    static constexpr double kWheelZoomStep = 0.9;

    GridWindow(u32 gridFlags, u32 styleFlags, Window* parent);
    ~GridWindow() override;

    const char* GetClassName() const override { return "GridWindow"; }
    void OnIdle() override;
    void Layout() override;
    void DrawContents() override;
    int OnKey(InputEvent& event) override;
    void OnMouseButton(InputEvent& event) override;
    void OnDoubleClick(InputEvent& event) override;
    void OnMouseMove(InputEvent& event) override;
    void OnWheel(InputEvent& event) override;
    void OnMouseDrag(Point start, Point pos, int phase) override;
    int OnDragDrop(Point pos, int phase, DragDropData* data) override;
    void OnScrollX(i32 x) override { Invalidate(); }
    void OnScrollY(i32 y) override { Invalidate(); }

    // ---- the models ----
    const GridModel& GetModel() const { return model_; }
    const GridLayout& GetLayout() const { return layout_; }
    u32 GetGridFlags() const { return gridFlags_; }

    // ---- cells ----
    void SetCellCount(i32 count);
    i32 GetCellCount() const { return model_.GetCellCount(); }
    void SetCellData(i32 index, void* data);
    void* GetCellData(i32 index) const { return model_.GetData(index); }
    // The text is copied.
    void SetCellLabel(i32 index, const char* label);
    void SetCellLabelColor(i32 index, u32 rgba);

    // ---- geometry ----
    // The unzoomed image size (96 x 96 at first), the spacing between cells
    // (8) and the label strip's height (3 lines).
    void SetItemWidth(i32 width);
    void SetItemHeight(i32 height);
    void SetSpacing(i32 spacing);
    void SetLabelHeight(i32 height);
    i32 GetColumnCount() const;
    i32 GetRowCount() const;
    // -1 outside the cells.
    i32 CellIndexAt(i32 column, i32 row) const;
    // {column, row}; {-1, -1} outside the cells.
    Point CellPosition(i32 index) const;
    // Client rectangles of a cell at the current scroll position.
    Rect CellRect(i32 index) const;
    Rect CellImageRect(i32 index) const;
    // The cell under a client point, -1 for none.
    i32 CellAtClientPoint(Point client) const;

    // ---- table mode ----
    // Column count and titles (null titles: none; the texts are copied).
    void SetColumnCount(i32 count, const char* const* titles);
    void SetColumnTitle(i32 column, const char* title);
    void SetTableMode(bool on);
    // Numbers "%d" from firstNumber in a 16-px column at the left.
    void SetRowNumbers(bool on, i32 firstNumber);

    // ---- selection ----
    void SelectCell(i32 index);
    void DeselectCell(i32 index);
    void DeselectAll();
    void SelectAll();
    void SelectRange(i32 from, i32 to);
    bool IsCellSelected(i32 index) const { return model_.IsSelected(index); }
    i32 GetCurrentCell() const { return model_.GetCurrent(); }
    // Data pointers and indices of the selected cells, in cell order.
    std::vector<void*> GetSelectedData() const { return model_.SelectedData(); }
    std::vector<i32> GetSelectedIndices() const { return model_.SelectedIndices(); }
    // Scrolls the least amount that brings the cell's row (and, in table
    // mode, its column) into view.
    void RevealCell(i32 index);

    // ---- zoom ----
    // Ignored unless 0.1 < z < 16, z differs from the zoom in force and
    // images stay at least 16 px wide; then zoomChanged, the bound
    // preference takes the zoom, the grid is laid out again.
    void SetZoom(double z);
    double GetZoom() const { return layout_.GetZoom(); }
    // Remembers the preference key and applies the zoom stored under it (a
    // real) when there is one SetZoom would take.
    void BindZoomPref(const char* key);
    const std::string& GetZoomPrefKey() const { return zoomPrefKey_; }

    // ---- callbacks ----
    // The draw, activate, drag and drop callbacks run only while the context
    // is non-null; without a context or a draw callback no cells are drawn.
    void SetCallbackContext(void* context) { context_ = context; }
    void SetDrawCellCallback(GridDrawCellCallback callback);
    void SetActivateCallback(GridActivateCallback callback) { activate_ = callback; }
    void SetDragCallback(GridDragCallback callback) { drag_ = callback; }
    void SetDropCallback(GridDropCallback callback) { drop_ = callback; }
    void SetDeleteCallback(GridDeleteCallback callback) { delete_ = callback; }

    // ---- state shown to tests and owners ----
    bool IsDragArmed() const { return dragArmed_; }
    bool IsRubberBandRunning() const { return band_.running; }
    // Rows and columns (-1, 0, 1) a drag over an edge scrolls by; 0 and 0
    // while no edge scroll runs.
    i32 GetAutoScrollRows() const { return autoScroll_.on ? autoScroll_.rows : 0; }
    i32 GetAutoScrollColumns() const { return autoScroll_.on ? autoScroll_.columns : 0; }

    SignalNone zoomChanged;
    SignalNone selectionChanged;
    SignalPair contextClick;  // x, y (screen)

private:
    struct Click {
        bool pending = false;
        i32 cell = -1;
        bool right = false;
        u32 modifiers = 0;
    };
    struct RubberBand {
        bool running = false;
        Point start;    // content coordinates
        Point pointer;  // screen
    };
    struct AutoScroll {
        bool on = false;
        i32 rows = 0;
        i32 columns = 0;
        double lastStep = 0.0;
    };

    Point ScrollPoint() const { return Point{GetScrollX(), GetScrollY()}; }
    Point ClientPoint(const InputEvent& event) const;
    void UpdateScrollRange();
    void Changed(bool selectionChanged);
    void ApplyClick(i32 cell, bool right, u32 modifiers, bool onRelease);
    void MoveByKey(i32 code, u32 modifiers);
    void StartRubberBand();
    void UpdateRubberBand(bool reveal);
    void EndRubberBand();
    void StepAutoScroll();
    void StopAutoScroll() { autoScroll_ = AutoScroll{}; }
    void DrawCell(i32 index, i32 column, i32 row, bool focused);
    void DrawHeader();
    void DrawRowNumbers(i32 firstRow, i32 lastRow);

    u32 gridFlags_;
    GridModel model_;
    GridLayout layout_;
    std::vector<std::string> columnTitles_;
    i32 firstRowNumber_ = 0;
    void* context_ = nullptr;
    GridDrawCellCallback drawCell_ = nullptr;
    GridActivateCallback activate_ = nullptr;
    GridDragCallback drag_ = nullptr;
    GridDropCallback drop_ = nullptr;
    GridDeleteCallback delete_ = nullptr;
    std::string zoomPrefKey_;
    bool dragArmed_ = false;
    i32 pressedCell_ = -1;
    Point pressPoint_;
    Click click_;
    RubberBand band_;
    AutoScroll autoScroll_;
};

}  // namespace pirn
