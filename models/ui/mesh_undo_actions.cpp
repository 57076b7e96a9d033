#include "models/ui/mesh_undo_actions.h"

#include <cmath>
#include <new>

#include "models/mesh_brush.h"
#include "models/mesh_flood_fill.h"

namespace pirn {

bool BrushStrokeAction::Apply() {
    ApplyStrokeChange(data_, *change_, true);
    return true;
}

void BrushStrokeAction::Undo() { ApplyStrokeChange(data_, *change_, false); }

bool FloodFillAction::Apply() {
    ApplyFillChange(data_, *change_, true);
    return true;
}

void FloodFillAction::Undo() { ApplyFillChange(data_, *change_, false); }

bool RecordBrushStroke(MeshEditData* data, UndoHistory* history) {
    std::unique_ptr<MeshStrokeChange> change = EndBrushStroke(data);
    if (!change) return false;
    // Without memory for the action the painted values stay, unrecorded.
    auto* action = new (std::nothrow) BrushStrokeAction(data, std::move(change));
    return action && PushUndoAction(*history, action, true);
}

bool RecordFloodFill(MeshEditData* data, UndoHistory* history, float x, float y) {
    std::unique_ptr<MeshFillChange> change;
    if (data->triangle_mode) {
        change = FloodFillTriangles(data, x, y);
    } else {
        change = FloodFillVertices(data, static_cast<i64>(std::floor(x + 0.5f)), static_cast<i64>(std::floor(y + 0.5f)));
    }
    if (!change) return false;
    auto* action = new (std::nothrow) FloodFillAction(data, std::move(change));
    if (action) PushUndoAction(*history, action, true);
    return true;
}

}  // namespace pirn
