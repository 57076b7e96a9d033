#include "collections/sequence_drop.h"

namespace pirn {

namespace {

bool KindFits(u32 kind, u32 column) { return kind == kDropShadow ? column == 0 : kind == kDropBitmap && column > 0; }

SequenceDropPlacement PlaceItem(const SequenceDropItem& item, u32 frame, u32 column) {
    SequenceDropPlacement placement;
    placement.frame = frame;
    placement.column = column;
    placement.bitmap = item.bitmap;
    if (item.kind == kDropBitmap && item.instance) {
        const InstanceReference& shown = ShownReference(*item.instance);
        placement.copy = true;
        // Whether an instance has an alternate is its own: the flag goes
        // with alternate fields the drop does not bring.
        placement.flags = item.instance->flags & ~u32{kInstanceHasAlternate};
        placement.x = shown.x;
        placement.y = shown.y;
        placement.key_x = item.instance->key_x;
        placement.key_y = item.instance->key_y;
    } else if (item.kind == kDropShadow && item.shadow_source) {
        placement.copy = true;
        placement.flags = item.shadow_source->record.flags;
        placement.shadow_x = item.shadow_source->record.shadow_x;
        placement.shadow_y = item.shadow_source->record.shadow_y;
    }
    return placement;
}

// Adds the item at (row, column) when that is a cell of its kind.
bool PlaceAt(const SequenceDropItem& item, i64 row, i64 column, u64 rows, u64 columns,
             std::vector<SequenceDropPlacement>* plan) {
    if (row < 0 || column < 0 || u64(row) >= rows || u64(column) >= columns) return false;
    if (!KindFits(item.kind, static_cast<u32>(column))) return false;
    plan->push_back(PlaceItem(item, static_cast<u32>(row), static_cast<u32>(column)));
    return true;
}

bool PlanFromSequenceGrid(const SequenceDrop& drop, u32 frame, u32 column, u64 rows, u64 columns,
                          std::vector<SequenceDropPlacement>* plan) {
    const SequenceDropItem& first = drop.items.front();
    const bool anchored = drop.anchor_column >= 0 && drop.anchor_row >= 0;
    const i64 anchor_column = anchored ? drop.anchor_column : first.column;
    const i64 anchor_row = anchored ? drop.anchor_row : first.row;
    for (const SequenceDropItem& item : drop.items) {
        if (item.column < 0 || item.row < 0) return false;
        const i64 to_row = i64{frame} + (item.row - anchor_row);
        const i64 to_column = i64{column} + (item.column - anchor_column);
        if (!PlaceAt(item, to_row, to_column, rows, columns, plan)) return false;
    }
    return true;
}

bool PlanFromBrowser(const SequenceDrop& drop, u32 frame, u32 column, u64 rows, u64 columns,
                     std::vector<SequenceDropPlacement>* plan) {
    const u64 views = columns - 1;
    for (size_t i = 0; i < drop.items.size(); ++i) {
        i64 row = 0, to_column = 0;
        if (column == 0) {
            row = i64{frame} + i64(i);
        } else {
            const u64 place = u64{frame} * views + (column - 1) + i;
            row = i64(place / views);
            to_column = i64(place % views) + 1;
        }
        if (!PlaceAt(drop.items[i], row, to_column, rows, columns, plan)) return false;
    }
    return true;
}

}  // namespace

bool PlanSequenceDrop(const Collection& collection, const CollectionSequence& sequence, const SequenceDrop& drop,
                      u32 frame, u32 column, std::vector<SequenceDropPlacement>* plan) {
    plan->clear();
    if (drop.collection != &collection || drop.items.empty()) return false;
    const u64 rows = sequence.frames.size();
    const u64 columns = SequenceGridColumns(sequence);
    if (frame >= rows || column >= columns) return false;
    for (const SequenceDropItem& item : drop.items)
        if (!item.bitmap || FindCollectionBitmap(collection, item.bitmap) < 0) return false;

    bool fits = false;
    if (!drop.several)
        fits = PlaceAt(drop.items.front(), frame, column, rows, columns, plan);
    else if (drop.source == SequenceDrop::kFromSequenceEditor)
        fits = PlanFromSequenceGrid(drop, frame, column, rows, columns, plan);
    else
        fits = PlanFromBrowser(drop, frame, column, rows, columns, plan);
    if (!fits) plan->clear();
    return fits;
}

bool ApplySequenceDrop(const Collection& collection, CollectionSequence* sequence,
                       const std::vector<SequenceDropPlacement>& plan) {
    bool changed = false;
    for (const SequenceDropPlacement& placement : plan) {
        if (placement.frame >= sequence->frames.size()) continue;
        SequenceGridCell cell;
        cell.frame = placement.frame;
        cell.column = placement.column;
        cell.frame_record = &sequence->frames[placement.frame];
        if (placement.column > 0) {
            cell.instance = FindSequenceInstance(sequence, placement.frame, placement.column - 1);
            if (!cell.instance) continue;
        }
        SetCellBitmap(collection, cell, placement.bitmap);
        changed = true;
        if (!placement.copy) continue;
        if (cell.instance) {
            BitmapInstance& instance = *cell.instance;
            instance.flags = placement.flags | (instance.flags & kInstanceHasAlternate);
            InstanceReference& shown = ShownReference(instance);
            shown.x = placement.x;
            shown.y = placement.y;
            instance.key_x = placement.key_x;
            instance.key_y = placement.key_y;
        } else {
            FrameRecord& record = cell.frame_record->record;
            record.flags = placement.flags;
            record.shadow_x = placement.shadow_x;
            record.shadow_y = placement.shadow_y;
        }
    }
    return changed;
}

}  // namespace pirn
