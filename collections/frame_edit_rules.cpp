#include "collections/frame_edit_rules.h"

#include <algorithm>
#include <cmath>

#include "collections/sequence_messages.h"
#include "collections/sequence_properties.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// Moves the shown registration point; whether it changed.
bool MovePoint(BitmapInstance* instance, i64 dx, i64 dy) {
    InstanceReference& shown = ShownReference(*instance);
    const i16 x = ClampCoordinate(i64{shown.x} + dx);
    const i16 y = ClampCoordinate(i64{shown.y} + dy);
    if (x == shown.x && y == shown.y) return false;
    shown.x = x;
    shown.y = y;
    return true;
}

const BitmapInstance* InstanceAt(const CollectionSequence& sequence, u32 frame, u32 view) {
    if (frame >= sequence.frames.size() || view >= sequence.view_count) return nullptr;
    const std::vector<BitmapInstance>& instances = sequence.frames[frame].instances;
    return view < instances.size() ? &instances[view] : nullptr;
}

i32 ClampFixed(double value) {
    return static_cast<i32>(std::clamp(value, -2147483648.0, 2147483647.0));
}

}  // namespace

FrameKeyMode FrameKeyModeFor(const FrameEditKeys& keys) {
    if (keys.shift) {
        if (keys.alt && keys.control) return kKeyModeSequence;
        if (keys.control) return kKeyModeView;
        if (keys.alt) return kKeyModeFrame;
        return kKeyModeBitmap;
    }
    static const FrameKeyMode kByFunctionKey[5] = {kKeyModeKeyPoint, kKeyModeBitmap, kKeyModeFrame, kKeyModeView,
                                                   kKeyModeSequence};
    for (int i = 0; i < 5; ++i)
        if (keys.function[i]) return kByFunctionKey[i];
    return kKeyModeNone;
}

const char* FrameKeyModeName(FrameKeyMode mode) {
    switch (mode) {
        case kKeyModeKeyPoint: return sequence_text::kMoveKeypoint;
        case kKeyModeSequence: return sequence_text::kMoveSequence;
        case kKeyModeView: return sequence_text::kMoveView;
        case kKeyModeFrame: return sequence_text::kMoveFrame;
        case kKeyModeBitmap: return sequence_text::kMoveBitmap;
        case kKeyModeNone: break;
    }
    return "";
}

i16 ClampCoordinate(i64 value) { return static_cast<i16>(std::clamp<i64>(value, -32768, 32767)); }

bool MoveKeyPoint(BitmapInstance* instance, i64 dx, i64 dy) {
    const i16 x = ClampCoordinate(i64{instance->key_x} + dx);
    const i16 y = ClampCoordinate(i64{instance->key_y} + dy);
    if (x == instance->key_x && y == instance->key_y) return false;
    instance->key_x = x;
    instance->key_y = y;
    return true;
}

bool MoveInKeyMode(CollectionSequence* sequence, FrameKeyMode mode, u32 frame, u32 view, i64 dx, i64 dy) {
    // A mirrored view is rebuilt from its stored view, so a move made while
    // one is current goes to the stored views, x reflected as the rebuild
    // reflects it, and only stored views are moved at all.
    const u32 source = MirrorSourceView(*sequence, view);
    const u32 stored_views = std::min<u32>(GetStoredViewCount(*sequence), sequence->view_count);
    const BitmapInstance* current = InstanceAt(*sequence, frame, source);
    const i64 sx = source != view && current && ShownReference(*current).bitmap ? -dx : dx;
    bool changed = false;
    auto move = [&](BitmapInstance& instance) { changed = MovePoint(&instance, sx, dy) || changed; };
    auto move_views = [&](SequenceFrame& f) {
        for (u32 v = 0; v < stored_views && v < f.instances.size(); ++v) move(f.instances[v]);
    };
    switch (mode) {
        case kKeyModeKeyPoint:
            // A mirrored view carries its stored view's key point as it is.
            if (current) changed = MoveKeyPoint(&sequence->frames[frame].instances[source], dx, dy);
            break;
        case kKeyModeSequence:
            for (SequenceFrame& f : sequence->frames) move_views(f);
            break;
        case kKeyModeView:
            for (SequenceFrame& f : sequence->frames)
                if (source < f.instances.size()) move(f.instances[source]);
            break;
        case kKeyModeFrame:
            if (frame < sequence->frames.size()) move_views(sequence->frames[frame]);
            break;
        case kKeyModeBitmap:
            if (current) move(sequence->frames[frame].instances[source]);
            break;
        case kKeyModeNone: break;
    }
    if (changed) FollowMirroredViews(sequence);
    return changed;
}

bool MoveOnCanvas(CollectionSequence* sequence, FrameKeyMode mode, u32 frame, u32 view, i64 dx, i64 dy) {
    // The key point is drawn where it stands; a picture stands where its
    // registration point is not: it moves the other way inside it.
    const i64 sign = mode == kKeyModeKeyPoint ? 1 : -1;
    return MoveInKeyMode(sequence, mode, frame, view, sign * dx, sign * dy);
}

u32 WrapIndex(i64 value, u32 count) {
    if (count == 0) return 0;
    const i64 wrapped = value % i64{count};
    return static_cast<u32>(wrapped < 0 ? wrapped + count : wrapped);
}

u32 ClampIndex(u32 value, u32 count) { return count == 0 ? 0 : std::min(value, count - 1); }

u32 AnimationFrame(u32 start_frame, double elapsed_seconds, u16 ticks_per_frame, u32 frame_count) {
    const double ticks = std::floor(std::max(elapsed_seconds, 0.0) * kSequenceTicksPerSecond);
    const i64 steps = static_cast<i64>(std::min(ticks, 9.0e15)) / std::max<i64>(ticks_per_frame, 1);
    return WrapIndex(i64{start_frame} + steps, frame_count);
}

std::string FrameEditTitle(const CollectionSequence& sequence, u32 frame, u32 view) {
    return FormatString(sequence_text::kFrameEditTitle, sequence.name, int(frame),
                        int(ViewAngle(view, sequence.view_count)), sequence_text::kDegreeSign);
}

double BoxPixelScale(const BitmapInstance* instance, double zoom) {
    const u32 scale = instance ? ShownReference(*instance).scale : kStandardScale;
    const double real = scale ? double(scale) / kFixedOne : kBoxScaleBase;
    return kBoxScaleBase / real * zoom;
}

BoxExtent SelectionBoxAround(const CollectionSequence& sequence, const BitmapInstance* instance, double x, double y,
                             double zoom) {
    const double unit = BoxPixelScale(instance, zoom) / kFixedOne;
    BoxExtent box;
    box.left = x - sequence.box_radius * unit;
    box.right = x + sequence.box_radius * unit;
    box.top = y - sequence.box_upper * unit;
    box.bottom = y - sequence.box_lower * unit;
    return box;
}

bool DragBoxEdge(CollectionSequence* sequence, const BitmapInstance* instance, double zoom, double motion,
                 BoxEdge* edge) {
    const double pixels = BoxPixelScale(instance, zoom);
    if (!(pixels > 0)) return false;
    const double units = motion / pixels * kFixedOne;
    const i32 radius = sequence->box_radius, upper = sequence->box_upper, lower = sequence->box_lower;
    switch (*edge) {
        case kBoxLeft:
        case kBoxRight: {
            i32 r = ClampFixed(sequence->box_radius + (*edge == kBoxRight ? units : -units) / 2);
            if (r < 0) {
                r = r == INT32_MIN ? INT32_MAX : -r;
                *edge = *edge == kBoxRight ? kBoxLeft : kBoxRight;
            }
            sequence->box_radius = r;
            break;
        }
        case kBoxTop:
        case kBoxBottom: {
            i32& moved = *edge == kBoxTop ? sequence->box_upper : sequence->box_lower;
            moved = ClampFixed(moved - units);
            if (sequence->box_upper < sequence->box_lower) {
                std::swap(sequence->box_upper, sequence->box_lower);
                *edge = *edge == kBoxTop ? kBoxBottom : kBoxTop;
            }
            break;
        }
        case kNoBoxEdge: break;
    }
    return radius != sequence->box_radius || upper != sequence->box_upper || lower != sequence->box_lower;
}

bool DragShadowOffset(FrameRecord* record, double motion_x, double motion_y, double zoom, i32* applied_x,
                      i32* applied_y) {
    *applied_x = *applied_y = 0;
    if (!(zoom > 0)) return false;
    const i64 px = static_cast<i64>(std::clamp(motion_x / zoom, -1.0e6, 1.0e6));
    const i64 py = static_cast<i64>(std::clamp(motion_y / zoom, -1.0e6, 1.0e6));
    const i32 x = ClampFixed(double(record->shadow_x) - double(px) * kShadowUnitsPerPixel);
    const i32 y = ClampFixed(double(record->shadow_y) - double(py) * kShadowUnitsPerPixel);
    const bool changed = x != record->shadow_x || y != record->shadow_y;
    record->shadow_x = x;
    record->shadow_y = y;
    *applied_x = static_cast<i32>(px);
    *applied_y = static_cast<i32>(py);
    return changed;
}

}  // namespace pirn
