#include "ui/grid_model.h"

#include <algorithm>

namespace pirn {

void GridModel::SetCellCount(i32 count) {
    cells_.resize(static_cast<size_t>(std::max(count, 0)));
    if (current_ >= GetCellCount()) {
        current_ = -1;
        FixCurrent();
    }
}

void GridModel::SetData(i32 index, void* data) {
    if (IsCell(index)) cells_[static_cast<size_t>(index)].data = data;
}

void GridModel::SetLabel(i32 index, const char* label) {
    if (IsCell(index)) cells_[static_cast<size_t>(index)].label = label ? label : "";
}

void GridModel::SetLabelColor(i32 index, u32 rgba) {
    if (IsCell(index)) cells_[static_cast<size_t>(index)].labelColor = rgba;
}

bool GridModel::ShowsSelected(i32 index) const {
    if (!IsCell(index)) return false;
    const u32 f = Cell(index).flags;
    return ((f & GridCell::kSelected) != 0) != ((f & GridCell::kPending) != 0);
}

bool GridModel::Select(i32 index) {
    if (!IsCell(index)) return false;
    bool changed = false;
    if (!multiple_ && current_ != index && IsSelected(current_)) {
        cells_[static_cast<size_t>(current_)].flags &= ~GridCell::kSelected;
        changed = true;
    }
    GridCell& cell = cells_[static_cast<size_t>(index)];
    if (!(cell.flags & GridCell::kSelected)) {
        cell.flags |= GridCell::kSelected;
        changed = true;
    }
    if (current_ != index) {
        current_ = index;
        changed = true;
    }
    return changed;
}

bool GridModel::Deselect(i32 index) {
    if (!IsSelected(index)) return false;
    cells_[static_cast<size_t>(index)].flags &= ~GridCell::kSelected;
    if (current_ == index) current_ = LastSelected();
    return true;
}

bool GridModel::DeselectAll() {
    const bool changed = ClearSelection() || current_ != -1;
    current_ = -1;
    return changed;
}

bool GridModel::ClearSelection() {
    bool changed = false;
    for (GridCell& cell : cells_) {
        if (cell.flags & GridCell::kSelected) changed = true;
        cell.flags &= ~GridCell::kSelected;
    }
    return changed;
}

bool GridModel::SelectAll() {
    if (!multiple_ || cells_.empty()) return false;
    bool changed = current_ != 0;
    for (GridCell& cell : cells_) {
        if (!(cell.flags & GridCell::kSelected)) changed = true;
        cell.flags |= GridCell::kSelected;
    }
    current_ = 0;
    return changed;
}

bool GridModel::SelectRange(i32 from, i32 to) {
    if (!IsCell(to)) return false;
    if (!multiple_ || !IsCell(from)) {
        const i32 kept = current_;
        const bool changed = Select(to);
        // A range never moves the current cell, even when it is one cell.
        if (multiple_ && IsCell(kept)) current_ = kept;
        return changed;
    }
    bool changed = false;
    for (i32 i = std::min(from, to); i <= std::max(from, to); ++i) {
        GridCell& cell = cells_[static_cast<size_t>(i)];
        if (!(cell.flags & GridCell::kSelected)) changed = true;
        cell.flags |= GridCell::kSelected;
    }
    return changed;
}

std::vector<i32> GridModel::SelectedIndices() const {
    std::vector<i32> out;
    for (i32 i = 0; i < GetCellCount(); ++i)
        if (Cell(i).flags & GridCell::kSelected) out.push_back(i);
    return out;
}

std::vector<void*> GridModel::SelectedData() const {
    std::vector<void*> out;
    for (const GridCell& cell : cells_)
        if (cell.flags & GridCell::kSelected) out.push_back(cell.data);
    return out;
}

i32 GridModel::FirstSelected() const {
    for (i32 i = 0; i < GetCellCount(); ++i)
        if (Cell(i).flags & GridCell::kSelected) return i;
    return -1;
}

i32 GridModel::LastSelected() const {
    for (i32 i = GetCellCount() - 1; i >= 0; --i)
        if (Cell(i).flags & GridCell::kSelected) return i;
    return -1;
}

i32 GridModel::SelectedCount() const {
    i32 n = 0;
    for (const GridCell& cell : cells_)
        if (cell.flags & GridCell::kSelected) ++n;
    return n;
}

bool GridModel::SetPending(const std::vector<i32>& cells) {
    std::vector<u8> wanted(cells_.size(), 0);
    for (i32 i : cells)
        if (IsCell(i)) wanted[static_cast<size_t>(i)] = 1;
    bool changed = false;
    for (size_t i = 0; i < cells_.size(); ++i) {
        const bool pending = (cells_[i].flags & GridCell::kPending) != 0;
        if (pending == (wanted[i] != 0)) continue;
        cells_[i].flags ^= GridCell::kPending;
        changed = true;
    }
    return changed;
}

bool GridModel::CommitPending() {
    bool changed = false;
    for (GridCell& cell : cells_) {
        if (!(cell.flags & GridCell::kPending)) continue;
        cell.flags ^= GridCell::kSelected;
        cell.flags &= ~GridCell::kPending;
        changed = true;
    }
    if (changed) FixCurrent();
    return changed;
}

bool GridModel::HasPending() const {
    for (const GridCell& cell : cells_)
        if (cell.flags & GridCell::kPending) return true;
    return false;
}

void GridModel::FixCurrent() {
    if (!IsSelected(current_)) current_ = LastSelected();
}

}  // namespace pirn
