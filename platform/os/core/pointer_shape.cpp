#include "platform/os/cursor_id.h"

namespace pirn {

PointerShape PointerShapeForId(int id) {
    switch (id) {
        case kCursorSizeWestEast: return PointerShape::SizeWestEast;
        case kCursorSizeNorthSouth: return PointerShape::SizeNorthSouth;
        case kCursorSizeNwSe: return PointerShape::SizeNwSe;
        case kCursorSizeNeSw: return PointerShape::SizeNeSw;
        case kCursorTextBeam: return PointerShape::TextBeam;
        case kCursorCross: return PointerShape::Cross;
        case kCursorDropAccepted:
        case kCursorBitmapHover: return PointerShape::DropAccepted;
        case kCursorDropRefused:
        case kCursorNotAllowed: return PointerShape::NotAllowed;
        case kCursorBitmapDrag: return PointerShape::MoveBitmap;
        case kCursorShadowHover: return PointerShape::ShadowHover;
        case kCursorShadowDrag: return PointerShape::ShadowDrag;
        default: return PointerShape::Arrow;
    }
}

const char* PointerShapeName(PointerShape shape) {
    switch (shape) {
        case PointerShape::Arrow: return "arrow";
        case PointerShape::SizeWestEast: return "size west-east";
        case PointerShape::SizeNorthSouth: return "size north-south";
        case PointerShape::SizeNwSe: return "size north-west/south-east";
        case PointerShape::SizeNeSw: return "size north-east/south-west";
        case PointerShape::TextBeam: return "text beam";
        case PointerShape::Cross: return "cross";
        case PointerShape::NotAllowed: return "not allowed";
        case PointerShape::DropAccepted: return "drop accepted";
        case PointerShape::MoveBitmap: return "move bitmap";
        case PointerShape::ShadowHover: return "shadow hover";
        case PointerShape::ShadowDrag: return "shadow drag";
        case PointerShape::Count: break;
    }
    return "";
}

}  // namespace pirn
