#pragma once
// GridModel: the cells a GridWindow shows, in display order, and which of
// them are selected. Each cell has a label (copied), an owner's data
// pointer, a label colour and two flags: selected, and pending (inside a
// rubber band that is still being dragged). A cell shows as selected when
// exactly one of the two is set, so a band drawn over selected cells shows
// them deselected until it is let go.
//
// The current cell is the one keyboard moves start from and a Shift click
// extends from; -1 when there is none. The rules of single and multiple
// selection live here; the grid turns clicks and keys into these calls and
// tells its owner. Every changing call answers whether anything changed.

#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

struct GridCell {
    enum : u32 {
        kSelected = 1,
        kPending = 2,
    };
    std::string label;
    void* data = nullptr;
    u32 flags = 0;
    u32 labelColor = 0xFFFFFFFFu;  // -1: the theme's text colour
};

class GridModel {
public:
    explicit GridModel(bool multipleSelection = false) : multiple_(multipleSelection) {}

    bool IsMultipleSelection() const { return multiple_; }

    // ---- cells ----
    // New cells have no label, no data and the default label colour. Cells
    // cut off take their selection with them; a current cell among them
    // becomes the last selected cell left, or -1.
    void SetCellCount(i32 count);
    i32 GetCellCount() const { return static_cast<i32>(cells_.size()); }
    bool IsCell(i32 index) const { return index >= 0 && index < GetCellCount(); }
    // The cell at a valid index (IsCell).
    const GridCell& Cell(i32 index) const { return cells_[static_cast<size_t>(index)]; }
    // Each ignores an index outside the cells.
    void SetData(i32 index, void* data);
    void SetLabel(i32 index, const char* label);
    void SetLabelColor(i32 index, u32 rgba);
    void* GetData(i32 index) const { return IsCell(index) ? Cell(index).data : nullptr; }

    // ---- selection ----
    i32 GetCurrent() const { return current_; }
    // Makes a cell current without selecting it (-1 for none).
    void SetCurrent(i32 index) { current_ = IsCell(index) ? index : -1; }
    bool IsSelected(i32 index) const { return IsCell(index) && (Cell(index).flags & GridCell::kSelected); }
    // Selected or pending, but not both.
    bool ShowsSelected(i32 index) const;

    // Selects the cell and makes it current; on a single-selection grid the
    // previous current cell is deselected first.
    bool Select(i32 index);
    // Clears the cell's flag; when it was current, the last selected cell
    // (in cell order) becomes current, or -1.
    bool Deselect(i32 index);
    // Every flag cleared, no current cell.
    bool DeselectAll();
    // Every flag cleared; the current cell stays (it anchors a Shift click).
    bool ClearSelection();
    // Multiple selection only: every cell selected, cell 0 current.
    bool SelectAll();
    // Selects every cell from `from` to `to` (either order, both included,
    // clipped to the cells); the current cell stays. A single-selection
    // grid selects `to` alone, as Select would.
    bool SelectRange(i32 from, i32 to);

    // In cell order.
    std::vector<i32> SelectedIndices() const;
    std::vector<void*> SelectedData() const;
    i32 FirstSelected() const;
    i32 LastSelected() const;
    i32 SelectedCount() const;

    // ---- rubber band ----
    // Exactly the listed cells become pending (indices outside the cells are
    // skipped); answers whether any cell's look changed.
    bool SetPending(const std::vector<i32>& cells);
    // Every pending cell's selection is toggled and its pending flag
    // cleared. A current cell left unselected gives way to the last
    // selected cell, as does a missing one.
    bool CommitPending();
    bool HasPending() const;

private:
    void FixCurrent();

    bool multiple_;
    std::vector<GridCell> cells_;
    i32 current_ = -1;
};

}  // namespace pirn
