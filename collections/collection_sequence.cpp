// Sequences: creation, resizing, and what loading derives from the stored
// views (the mirrored half and the extents).

#include <algorithm>
#include <climits>
#include <cstring>

#include "collections/collection.h"

namespace pirn {

namespace {

i16 IntegerPart(i32 fixed) { return static_cast<i16>(fixed / static_cast<i32>(kFixedOne)); }

void ResizeFrameViews(const CollectionSequence& sequence, SequenceFrame* frame, u16 views) {
    const size_t first_new = frame->instances.size();
    frame->instances.resize(views, MakeBitmapInstance());
    frame->view_indices.resize(views);
    for (size_t v = first_new; v < views; ++v) {
        frame->view_indices[v] = static_cast<u16>(v);
        frame->instances[v].standard.x = IntegerPart(sequence.box_radius);
        frame->instances[v].standard.y = IntegerPart(sequence.box_upper);
    }
}

// x of a mirrored reference: measured from the other edge. A reference
// without a bitmap has no edge and keeps its x.
void MirrorReference(InstanceReference* reference) {
    if (reference->bitmap) reference->x = static_cast<i16>(reference->bitmap->width - reference->x);
}

void RebuildMirroredViews(CollectionSequence* sequence, u32 stored_views) {
    const u32 views = sequence->view_count;
    for (SequenceFrame& frame : sequence->frames) {
        if (frame.instances.size() < views) continue;
        for (u32 v = stored_views; v < views; ++v) {
            const i64 source = i64{views % 2} - 2 + 2 * i64{stored_views} - v;
            if (source < 0 || source >= views) continue;
            BitmapInstance copy = frame.instances[static_cast<size_t>(source)];
            copy.flags ^= kInstanceMirrored;
            MirrorReference(&copy.standard);
            if (copy.flags & kInstanceHasAlternate) MirrorReference(&copy.alternate);
            frame.instances[v] = copy;
        }
    }
}

void StoreExtents(CollectionSequence* sequence) {
    i32 top = INT_MIN, left = INT_MIN, right = INT_MIN, bottom = INT_MIN;
    bool any = false;
    for (const SequenceFrame& frame : sequence->frames)
        for (const BitmapInstance& instance : frame.instances) {
            const InstanceReference& shown = ShownReference(instance);
            if (!shown.bitmap) continue;
            any = true;
            top = std::max<i32>(top, shown.y);
            left = std::max<i32>(left, shown.x);
            right = std::max<i32>(right, shown.bitmap->width - shown.x);
            bottom = std::max<i32>(bottom, shown.bitmap->height - shown.y);
        }
    sequence->extent_top = any ? top : 0;
    sequence->extent_left = any ? left : 0;
    sequence->extent_right = any ? right : 0;
    sequence->extent_bottom = any ? bottom : 0;
}

}  // namespace

void InitSequence(CollectionSequence* sequence, const char* name) {
    *sequence = CollectionSequence();
    SetElementName(sequence->name, name);
    sequence->flags = kSequenceHasFrames;
    ResizeSequence(sequence, 1, 1);
}

void ResizeSequence(CollectionSequence* sequence, u16 views, u16 frames) {
    const size_t old_frames = sequence->frames.size();
    const bool views_changed = views != sequence->view_count;
    SequenceFrame fresh;
    sequence->frames.resize(frames, fresh);
    for (size_t f = 0; f < sequence->frames.size(); ++f)
        if (views_changed || f >= old_frames) ResizeFrameViews(*sequence, &sequence->frames[f], views);
    sequence->view_count = views;
    sequence->frame_count = frames;
}

void ComputeSequenceExtents(Collection* collection) {
    for (auto& sequence : collection->sequences) {
        if ((sequence->flags & kSequenceNoRotation) && !(sequence->flags & kSequenceMirroring))
            sequence->flags &= ~u32{kSequenceNoRotation};
        const u32 views = sequence->view_count;
        const u32 stored_views = views >= 3 ? views / 2 + 1 : views;
        if (sequence->flags & kSequenceMirroring) RebuildMirroredViews(sequence.get(), stored_views);
        StoreExtents(sequence.get());
    }
}

}  // namespace pirn
