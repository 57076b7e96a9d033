#include "collections/frame_view_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "collections/frame_edit_rules.h"

namespace pirn {

namespace {

i32 Round(double v) { return static_cast<i32>(std::lround(std::clamp(v, -1.0e9, 1.0e9))); }

CanvasRect PictureAt(double left, double top, double width, double height) {
    const i32 l = Round(left), t = Round(top);
    return CanvasRect{l, t, l + std::max(Round(width), 0), t + std::max(Round(height), 0)};
}

// The alpha of one pixel of a bitmap whose block holds its pixels.
u8 PixelAlpha(const CollectionBitmap& bitmap, u32 x, u32 y) {
    const size_t bytes = bitmap.bytes_per_pixel;
    const size_t at = (size_t{y} * bitmap.width + x) * bytes;
    if ((bytes != 2 && bytes != 8) || at + bytes > bitmap.pixels.size()) return 0;
    return bytes == 2 ? bitmap.pixels[at] : static_cast<u8>(bitmap.pixels[at + 3] % 32);
}

}  // namespace

CanvasRect InstancePictureRect(const BitmapInstance& instance, CanvasPoint origin, double zoom) {
    const InstanceReference& shown = ShownReference(instance);
    if (!shown.bitmap) return CanvasRect{};
    return PictureAt(origin.x - shown.x * zoom, origin.y - shown.y * zoom, shown.bitmap->width * zoom,
                     shown.bitmap->height * zoom);
}

CanvasPoint KeyPointOnCanvas(const BitmapInstance& instance, CanvasPoint origin, double zoom) {
    const InstanceReference& shown = ShownReference(instance);
    return CanvasPoint{origin.x + (instance.key_x - shown.x) * zoom, origin.y + (instance.key_y - shown.y) * zoom};
}

CanvasRect ShadowPictureRect(const SequenceFrame& frame, CanvasPoint origin, double zoom) {
    if (!frame.shadow) return CanvasRect{};
    const double cx = origin.x - double(frame.record.shadow_x) / kShadowUnitsPerPixel * zoom;
    const double cy = origin.y - double(frame.record.shadow_y) / kShadowUnitsPerPixel * zoom;
    const double w = frame.shadow->width * zoom, h = frame.shadow->height * zoom;
    return PictureAt(cx - w / 2, cy - h / 2, w, h);
}

u32 ShadowMirrorFlags(const SequenceFrame& frame) { return (frame.record.flags >> 1) & 3; }

bool PictureHit(const CollectionBitmap& bitmap, u32 mirror, const CanvasRect& picture, i32 px, i32 py) {
    if (picture.IsEmpty() || bitmap.width == 0 || bitmap.height == 0) return false;
    if (px < picture.left || px >= picture.right || py < picture.top || py >= picture.bottom) return false;
    u32 x = static_cast<u32>(i64{px - picture.left} * bitmap.width / picture.Width());
    u32 y = static_cast<u32>(i64{py - picture.top} * bitmap.height / picture.Height());
    x = std::min<u32>(x, bitmap.width - 1u);
    y = std::min<u32>(y, bitmap.height - 1u);
    if (mirror & 1) x = bitmap.width - 1u - x;
    if (mirror & 2) y = bitmap.height - 1u - y;
    return PixelAlpha(bitmap, x, y) != 0;
}

i32 SequenceReach(const CollectionSequence& sequence) {
    i64 reach = 1;
    auto take = [&reach](i64 v) { reach = std::max(reach, std::abs(v)); };
    for (const SequenceFrame& frame : sequence.frames) {
        for (const BitmapInstance& instance : frame.instances) {
            const InstanceReference& shown = ShownReference(instance);
            take(instance.key_x - i64{shown.x});
            take(instance.key_y - i64{shown.y});
            take(shown.x);
            take(shown.y);
            if (!shown.bitmap) continue;
            take(i64{shown.bitmap->width} - shown.x);
            take(i64{shown.bitmap->height} - shown.y);
            const double box = kBoxScaleBase / (shown.scale ? double(shown.scale) / kFixedOne : kBoxScaleBase);
            for (i32 v : {sequence.box_radius, sequence.box_upper, sequence.box_lower})
                take(static_cast<i64>(std::min(std::fabs(double(v) / kFixedOne * box), 1.0e6)));
        }
        if (frame.shadow) {
            take(std::abs(i64{frame.record.shadow_x}) / kShadowUnitsPerPixel + frame.shadow->width);
            take(std::abs(i64{frame.record.shadow_y}) / kShadowUnitsPerPixel + frame.shadow->height);
        }
    }
    for (i32 v : {sequence.box_radius, sequence.box_upper, sequence.box_lower}) take(std::abs(i64{v}) / kFixedOne);
    return static_cast<i32>(std::min<i64>(reach, 1 << 20));
}

void LargestSequenceBitmap(const CollectionSequence& sequence, i32* width, i32* height) {
    *width = *height = 0;
    for (const SequenceFrame& frame : sequence.frames)
        for (const BitmapInstance& instance : frame.instances)
            if (const CollectionBitmap* bitmap = ShownReference(instance).bitmap) {
                *width = std::max<i32>(*width, bitmap->width);
                *height = std::max<i32>(*height, bitmap->height);
            }
}

}  // namespace pirn
