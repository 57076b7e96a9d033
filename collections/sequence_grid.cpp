#include "collections/sequence_grid.h"

#include "collections/sequence_properties.h"

namespace pirn {

u32 SequenceGridColumns(const CollectionSequence& sequence) { return ShownViewCount(sequence) + 1; }

std::vector<SequenceGridCell> BuildSequenceGridCells(CollectionSequence* sequence) {
    const u32 columns = SequenceGridColumns(*sequence);
    std::vector<SequenceGridCell> cells;
    cells.reserve(sequence->frames.size() * columns);
    for (u32 f = 0; f < sequence->frames.size(); ++f)
        for (u32 c = 0; c < columns; ++c) {
            SequenceGridCell cell;
            cell.index = static_cast<u32>(cells.size());
            cell.frame = f;
            cell.column = c;
            cell.frame_record = &sequence->frames[f];
            if (c > 0) cell.instance = FindSequenceInstance(sequence, f, c - 1);
            cells.push_back(cell);
        }
    return cells;
}

CollectionBitmap* CellBitmap(const SequenceGridCell& cell) {
    if (cell.IsShadow()) return cell.frame_record ? cell.frame_record->shadow : nullptr;
    return cell.instance ? ShownReference(*cell.instance).bitmap : nullptr;
}

u32 CellMirrorFlags(const SequenceGridCell& cell) {
    if (cell.IsShadow()) return cell.frame_record ? (cell.frame_record->record.flags >> 1) & 3 : 0;
    return cell.instance ? cell.instance->flags & 3 : 0;
}

namespace {

void StoreCellBitmap(const SequenceGridCell& cell, CollectionBitmap* bitmap, u16 index) {
    if (cell.IsShadow()) {
        if (!cell.frame_record) return;
        cell.frame_record->shadow = bitmap;
        cell.frame_record->record.shadow_index = index;
    } else if (cell.instance) {
        InstanceReference& shown = ShownReference(*cell.instance);
        shown.bitmap = bitmap;
        shown.index = index;
    }
}

}  // namespace

void SetCellBitmap(const Collection& collection, const SequenceGridCell& cell, CollectionBitmap* bitmap) {
    const i32 found = bitmap ? FindCollectionBitmap(collection, bitmap) : -1;
    if (found < 0) bitmap = nullptr;
    StoreCellBitmap(cell, bitmap, found < 0 || found >= kNoIndex ? kNoIndex : static_cast<u16>(found));
}

bool ClearCellBitmaps(const std::vector<SequenceGridCell*>& cells) {
    bool changed = false;
    for (SequenceGridCell* cell : cells) {
        if (!cell || !CellBitmap(*cell)) continue;
        StoreCellBitmap(*cell, nullptr, kNoIndex);
        changed = true;
    }
    return changed;
}

BitmapInstance* FindSequenceInstance(CollectionSequence* sequence, u32 frame, u32 view) {
    if (frame >= sequence->frames.size()) return nullptr;
    std::vector<BitmapInstance>& instances = sequence->frames[frame].instances;
    return view < instances.size() ? &instances[view] : nullptr;
}

}  // namespace pirn
