#pragma once
// Where bitmaps dropped on a sequence editor's grid land. A drop is planned
// whole before any cell changes: every item must find a cell of its kind
// (shadows only in column 0, bitmaps only in the view columns) inside the
// grid, or nothing changes.
//
//   - One bitmap: onto the drop cell. Dragged from another cell, it brings
//     that cell's placement along (an instance's flags, registration and
//     key point; a shadow's light flag and offset).
//   - Several from the bitmap browser: shadows one frame each downwards
//     from the drop row; bitmaps across the view columns from the drop cell,
//     on into the next frame.
//   - Several from a sequence grid: their layout there, moved so that the
//     cell the drag started from lands on the drop cell, each bringing its
//     placement.
//
// The drop describes the payload in the collection's own terms, so that the
// rules run without the window system (the grid turns its drag payload into
// one).

#include <vector>

#include "collections/collection.h"
#include "collections/sequence_grid.h"
#include "platform/types.h"

namespace pirn {

// The kinds of dropped bitmaps (the drag payloads' type ids).
enum SequenceDropKind : u32 {
    kDropShadow = 1,
    kDropBitmap = 2,
};

struct SequenceDropItem {
    u32 kind = kDropBitmap;
    CollectionBitmap* bitmap = nullptr;
    // The cell it was dragged from, if any: an instance, or a frame's shadow.
    const BitmapInstance* instance = nullptr;
    const SequenceFrame* shadow_source = nullptr;
    // Its column and row in the source grid (several from a sequence grid).
    i32 column = -1;
    i32 row = -1;
};

struct SequenceDrop {
    enum Source : u32 { kFromBitmapBrowser = 0, kFromSequenceEditor = 1 };
    const Collection* collection = nullptr;
    bool several = false;  // a grid payload, even of one item
    u32 source = kFromBitmapBrowser;
    // The source grid's cell the drag started from (several from a sequence
    // grid); the first item's place when unset (negative).
    i32 anchor_column = -1;
    i32 anchor_row = -1;
    std::vector<SequenceDropItem> items;
};

// One cell's new contents, with the placement it brings when copy is set.
struct SequenceDropPlacement {
    u32 frame = 0;
    u32 column = 0;
    CollectionBitmap* bitmap = nullptr;
    bool copy = false;
    u32 flags = 0;  // instance flags, or the frame record's first word
    i16 x = 0, y = 0, key_x = 0, key_y = 0;
    i32 shadow_x = 0, shadow_y = 0;
};

// The placements of a drop on (frame, column), or false when it does not
// fit (nothing to do then).
bool PlanSequenceDrop(const Collection& collection, const CollectionSequence& sequence, const SequenceDrop& drop,
                      u32 frame, u32 column, std::vector<SequenceDropPlacement>* plan);
// Applies a plan made for this sequence; whether a cell changed.
bool ApplySequenceDrop(const Collection& collection, CollectionSequence* sequence,
                       const std::vector<SequenceDropPlacement>& plan);

}  // namespace pirn
