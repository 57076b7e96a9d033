#pragma once
// What one stroke or one flood fill changed in a pair of planes, kept so
// that it can be undone and redone: the bodies of the editor's undo
// actions (models/ui/mesh_undo_actions.h wraps them for the undo history).

#include <memory>
#include <vector>

#include "models/mesh_edit_data.h"
#include "models/mesh_plane.h"
#include "platform/types.h"

namespace pirn {

// A stroke: the rectangle before and after, from the saved and the working
// plane of its pair.
struct MeshStrokeChange {
    MeshPlane* saved = nullptr;
    MeshPlane* working = nullptr;
    std::unique_ptr<MeshPlane> before;
    std::unique_ptr<MeshPlane> after;
    u32 x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // cells to rebuild, inclusive
};

struct MeshFillRun {
    u32 offset;  // byte offset into the plane's values
    u32 length;
};

// A flood fill: its runs with the new and the old value.
struct MeshFillChange {
    MeshPlane* saved = nullptr;
    MeshPlane* working = nullptr;
    u8 new_value = 0;
    u8 old_value = 0;
    std::vector<MeshFillRun> runs;  // sorted by offset
    i64 x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // cells to rebuild, inclusive
};

// Redo (after) or undo (before): both planes get the rectangle, its cells
// are rebuilt, the data is marked modified.
void ApplyStrokeChange(MeshEditData* data, const MeshStrokeChange& change, bool redo);
// Redo (new value) or undo (old value) over every run in both planes.
void ApplyFillChange(MeshEditData* data, const MeshFillChange& change, bool redo);

}  // namespace pirn
