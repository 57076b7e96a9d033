#pragma once
// Where the frame editor's canvas shows things, apart from its window. The
// sequence's origin stands at one point of the canvas; an instance's
// picture is placed so that its registration point (x, y, counted from the
// picture's top-left as shown, mirrored or not) lies on the origin, the key
// point is (key x, key y) from the same corner, and the frame's shadow is
// centred on the origin less its offset (1/13107 pixel units). Everything
// scales with the zoom.

#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

struct CanvasPoint {
    double x = 0;
    double y = 0;
};

// Right and bottom exclusive, as the window system's rectangles.
struct CanvasRect {
    i32 left = 0;
    i32 top = 0;
    i32 right = 0;
    i32 bottom = 0;
    i32 Width() const { return right - left; }
    i32 Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
};

// The screen rectangle of the instance's shown bitmap (empty without one).
CanvasRect InstancePictureRect(const BitmapInstance& instance, CanvasPoint origin, double zoom);
CanvasPoint KeyPointOnCanvas(const BitmapInstance& instance, CanvasPoint origin, double zoom);
// The frame's shadow (empty without one).
CanvasRect ShadowPictureRect(const SequenceFrame& frame, CanvasPoint origin, double zoom);
// Mirror bits (1 horizontal, 2 vertical) of the shadow: the frame record's
// bits 1 and 2.
u32 ShadowMirrorFlags(const SequenceFrame& frame);

// Whether the point of the screen falls on a pixel of the bitmap drawn in
// the rectangle (mirrored by the bits) whose alpha is not 0.
bool PictureHit(const CollectionBitmap& bitmap, u32 mirror, const CanvasRect& picture, i32 x, i32 y);

// How far the sequence reaches from its origin in any direction, in bitmap
// pixels: its pictures and its selection box; at least 1.
i32 SequenceReach(const CollectionSequence& sequence);
// The widest and the tallest bitmap the sequence shows.
void LargestSequenceBitmap(const CollectionSequence& sequence, i32* width, i32* height);

}  // namespace pirn
