#pragma once
// The cells of a sequence as the sequence editor's grid shows them: one row
// per frame; column 0 the frame's shadow, columns 1..V the shown views (the
// stored half of a mirrored sequence). Cell index = row x (V + 1) + column.
//
// A cell points into the sequence, so the cells are made again whenever the
// sequence's frames or views change.

#include <vector>

#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

struct SequenceGridCell {
    u32 index = 0;
    u32 frame = 0;
    u32 column = 0;  // 0 the shadow, else view column - 1
    SequenceFrame* frame_record = nullptr;
    BitmapInstance* instance = nullptr;  // null for the shadow column

    bool IsShadow() const { return column == 0; }
    // The view of an instance cell, -1 for the shadow column.
    i32 View() const { return static_cast<i32>(column) - 1; }
};

// V + 1.
u32 SequenceGridColumns(const CollectionSequence& sequence);
// Every cell, row by row.
std::vector<SequenceGridCell> BuildSequenceGridCells(CollectionSequence* sequence);

// What a cell shows: the instance's shown bitmap or the frame's shadow.
CollectionBitmap* CellBitmap(const SequenceGridCell& cell);
// How it is mirrored (1 horizontal, 2 vertical): by the instance flags
// (bits 0 and 1), or for a shadow by the frame record's first word (bits 1
// and 2).
u32 CellMirrorFlags(const SequenceGridCell& cell);

// Points the cell at a bitmap of the collection (null: none), the stored
// index following.
void SetCellBitmap(const Collection& collection, const SequenceGridCell& cell, CollectionBitmap* bitmap);
// Empties every cell that shows a bitmap; whether any did.
bool ClearCellBitmaps(const std::vector<SequenceGridCell*>& cells);

// The instance of frame f, view v, or null outside the sequence.
BitmapInstance* FindSequenceInstance(CollectionSequence* sequence, u32 frame, u32 view);

}  // namespace pirn
