// Sequences: creation, resizing, the mirrored half rebuilt from the stored
// views (as loading does, and as every edit of a stored view must) and the
// extents.

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

// x of a mirrored reference: measured from the other edge (kept within
// what the stored field holds). A reference without a bitmap has no edge
// and keeps its x.
void MirrorReference(InstanceReference* reference) {
    if (reference->bitmap)
        reference->x = static_cast<i16>(std::clamp(i32{reference->bitmap->width} - reference->x, -32768, 32767));
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

bool IsMirroredView(const CollectionSequence& sequence, u32 view) {
    return (sequence.flags & kSequenceMirroring) && view >= GetStoredViewCount(sequence) && view < sequence.view_count;
}

u32 MirrorSourceView(const CollectionSequence& sequence, u32 view) {
    if (!IsMirroredView(sequence, view)) return view;
    // View v faces as far from view 0 the other way round as view
    // views - v: with 8 views, 5 mirrors 3, 6 mirrors 2 and 7 mirrors 1.
    return sequence.view_count - view;
}

void FollowMirroredViews(CollectionSequence* sequence) {
    if (!(sequence->flags & kSequenceMirroring)) return;
    const u32 views = sequence->view_count;
    for (SequenceFrame& frame : sequence->frames) {
        if (frame.instances.size() < views) continue;
        for (u32 v = GetStoredViewCount(*sequence); v < views; ++v) {
            BitmapInstance copy = frame.instances[MirrorSourceView(*sequence, v)];
            copy.flags ^= kInstanceMirrored;
            MirrorReference(&copy.standard);
            if (copy.flags & kInstanceHasAlternate) MirrorReference(&copy.alternate);
            frame.instances[v] = copy;
        }
    }
}

void FollowMirroredViews(Collection* collection) {
    for (auto& sequence : collection->sequences) FollowMirroredViews(sequence.get());
}

void ComputeSequenceExtents(Collection* collection) {
    for (auto& sequence : collection->sequences) {
        if ((sequence->flags & kSequenceNoRotation) && !(sequence->flags & kSequenceMirroring))
            sequence->flags &= ~u32{kSequenceNoRotation};
        FollowMirroredViews(sequence.get());
        StoreExtents(sequence.get());
    }
}

}  // namespace pirn
