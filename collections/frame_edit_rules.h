#pragma once
// The rules of the frame editor apart from its window: which key mode the
// held keys choose and what a move in it changes, stepping and wrapping
// frames and views, the animation's frame, the title, and the selection
// box with the drags of its edges, of the shadow and of the points.
//
// Points are moved on the reference an instance shows (the alternate one
// while alternates are shown); every coordinate stays within -32768..32767.
// Sequences may have no frames or no views: indices then stay 0 and
// nothing is moved.

#include <string>

#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

// Ticks of a sequence's "Ticks per Frame" in a second.
constexpr u32 kSequenceTicksPerSecond = 30;
// A frame record's shadow offsets count this many to a pixel.
constexpr i32 kShadowUnitsPerPixel = 13107;
// The scale an instance's selection box is measured against (16.16 10.0),
// also used for instances whose scale is 0.
constexpr double kBoxScaleBase = 10.0;

enum FrameKeyMode : u32 {
    kKeyModeNone = 0,      // arrows step views and frames
    kKeyModeKeyPoint = 1,  // F1: the current instance's key point
    kKeyModeSequence = 2,  // F5, Shift+Alt+Control: every instance of the sequence
    kKeyModeView = 3,      // F4, Shift+Control: the current view in every frame
    kKeyModeFrame = 4,     // F3, Shift+Alt: every view of the current frame
    kKeyModeBitmap = 5,    // F2, Shift: the current instance
};

struct FrameEditKeys {
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool function[5] = {};  // F1..F5
};
// Shift decides first (Alt and Control choose among modes 2-5); without it
// the function keys are tried from F1 to F5.
FrameKeyMode FrameKeyModeFor(const FrameEditKeys& keys);
// The status name of a mode ("" for none).
const char* FrameKeyModeName(FrameKeyMode mode);

i16 ClampCoordinate(i64 value);
// Changes the points the mode moves by (dx, dy) with the current frame and
// view: registration points in modes 2-5, the key point in mode 1; whether
// a coordinate changed. Mode 0 moves nothing.
//
// In a sequence with "Use Mirroring" only the stored views are moved and
// the mirrored ones rebuilt from them at once: with a mirrored view
// current, its stored view moves instead, x reflected, so that the current
// view moves as asked and shows what the next load will show.
bool MoveInKeyMode(CollectionSequence* sequence, FrameKeyMode mode, u32 frame, u32 view, i64 dx, i64 dy);
// A move of (dx, dy) as the canvas shows it, by the arrows or a drag:
// the pictures (modes 2-5) or the key point (mode 1) go that way.
bool MoveOnCanvas(CollectionSequence* sequence, FrameKeyMode mode, u32 frame, u32 view, i64 dx, i64 dy);
// Moves the instance's key point; whether it changed.
bool MoveKeyPoint(BitmapInstance* instance, i64 dx, i64 dy);

// value modulo count into 0..count-1 (so -1 is the last); 0 without any.
u32 WrapIndex(i64 value, u32 count);
// value kept at most count - 1; 0 without any.
u32 ClampIndex(u32 value, u32 count);
// The frame shown while playing: start + floor(elapsed x 30) / max(ticks, 1),
// wrapped into the frame count.
u32 AnimationFrame(u32 start_frame, double elapsed_seconds, u16 ticks_per_frame, u32 frame_count);
// "%s (Frame %d @ %d%c)": the name, the frame, the view's angle and the
// degree sign.
std::string FrameEditTitle(const CollectionSequence& sequence, u32 frame, u32 view);

// Screen pixels per box unit of an instance at a zoom: 10.0 / its shown
// scale (10.0 standing in for a scale of 0), times the zoom.
double BoxPixelScale(const BitmapInstance* instance, double zoom);
struct BoxExtent {
    double left = 0, top = 0, right = 0, bottom = 0;
};
// The selection box around the registration point (x, y) on screen:
// x -/+ radius sideways, y - upper edge to y - lower edge.
BoxExtent SelectionBoxAround(const CollectionSequence& sequence, const BitmapInstance* instance, double x, double y,
                             double zoom);

enum BoxEdge : u32 { kNoBoxEdge = 0, kBoxLeft, kBoxRight, kBoxTop, kBoxBottom };
// Drags an edge by `motion` screen pixels (x for left and right, y for top
// and bottom): the radius by half of it, a height by all of it, in 16.16
// units. An edge dragged past its opposite becomes the opposite edge.
// Whether a value changed.
bool DragBoxEdge(CollectionSequence* sequence, const BitmapInstance* instance, double zoom, double motion,
                 BoxEdge* edge);

// Drags the frame's shadow by whole pixels of motion / zoom (truncated):
// 13107 units a pixel off its offsets. The pixels applied come back, so
// that the drag's reference point advances by them.
bool DragShadowOffset(FrameRecord* record, double motion_x, double motion_y, double zoom, i32* applied_x,
                      i32* applied_y);

}  // namespace pirn
