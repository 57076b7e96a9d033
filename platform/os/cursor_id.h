#pragma once
// Pointer shapes the program asks for (`CursorId`) and the distinct shapes
// the platform shows for them.

namespace pirn {

enum CursorId : int {
    kCursorArrow = 0,
    kCursorSizeWestEast = 1,
    kCursorSizeNorthSouth = 2,
    kCursorSizeNwSe = 3,
    kCursorSizeNeSw = 4,
    kCursorTextBeam = 5,
    kCursorCross = 6,
    kCursorDropAccepted = 7,   // same shape as 10
    kCursorDropRefused = 8,    // same shape as 9
    kCursorNotAllowed = 9,
    kCursorBitmapHover = 10,   // same shape as 7
    kCursorBitmapDrag = 11,
    kCursorShadowHover = 12,
    kCursorShadowDrag = 13,
    kCursorIdCount = 14,
};

// The shapes behind the ids. Several ids share a shape; any id outside 0-13
// shows the arrow. (Not "CursorShape": Xlib defines that as a macro.)
enum class PointerShape : int {
    Arrow,
    SizeWestEast,
    SizeNorthSouth,
    SizeNwSe,
    SizeNeSw,
    TextBeam,
    Cross,
    NotAllowed,
    DropAccepted,   // program cursor 101
    MoveBitmap,     // program cursor 102
    ShadowHover,    // program cursor 106
    ShadowDrag,     // program cursor 107
    Count,
};

PointerShape PointerShapeForId(int id);
const char* PointerShapeName(PointerShape shape);

}  // namespace pirn
