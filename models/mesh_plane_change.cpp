#include "models/mesh_plane_change.h"

#include <cstring>

namespace pirn {

void ApplyStrokeChange(MeshEditData* data, const MeshStrokeChange& change, bool redo) {
    const MeshPlane* rect = redo ? change.after.get() : change.before.get();
    if (rect) {
        PasteMeshPlaneRect(change.saved, *rect);
        PasteMeshPlaneRect(change.working, *rect);
    }
    InvalidateMeshRegion(data, change.x0, change.x1, change.y0, change.y1);
    NotifyModified(data);
    RequestRedraw(data);
}

void ApplyFillChange(MeshEditData* data, const MeshFillChange& change, bool redo) {
    const u8 value = redo ? change.new_value : change.old_value;
    for (MeshPlane* plane : {change.saved, change.working})
        for (const MeshFillRun& run : change.runs)
            if (u64(run.offset) + run.length <= plane->values.size())
                std::memset(plane->values.data() + run.offset, value, run.length);
    InvalidateMeshRegion(data, change.x0, change.x1, change.y0, change.y1);
    NotifyModified(data);
    RequestRedraw(data);
}

}  // namespace pirn
