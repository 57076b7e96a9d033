#include "platform/os/cursor_id.h"

namespace pirn {

CursorShape CursorShapeForId(int id) {
    switch (id) {
        case kCursorSizeWestEast: return CursorShape::SizeWestEast;
        case kCursorSizeNorthSouth: return CursorShape::SizeNorthSouth;
        case kCursorSizeNwSe: return CursorShape::SizeNwSe;
        case kCursorSizeNeSw: return CursorShape::SizeNeSw;
        case kCursorTextBeam: return CursorShape::TextBeam;
        case kCursorCross: return CursorShape::Cross;
        case kCursorDropAccepted:
        case kCursorBitmapHover: return CursorShape::DropAccepted;
        case kCursorDropRefused:
        case kCursorNotAllowed: return CursorShape::NotAllowed;
        case kCursorBitmapDrag: return CursorShape::MoveBitmap;
        case kCursorShadowHover: return CursorShape::ShadowHover;
        case kCursorShadowDrag: return CursorShape::ShadowDrag;
        default: return CursorShape::Arrow;
    }
}

const char* CursorShapeName(CursorShape shape) {
    switch (shape) {
        case CursorShape::Arrow: return "arrow";
        case CursorShape::SizeWestEast: return "size west-east";
        case CursorShape::SizeNorthSouth: return "size north-south";
        case CursorShape::SizeNwSe: return "size north-west/south-east";
        case CursorShape::SizeNeSw: return "size north-east/south-west";
        case CursorShape::TextBeam: return "text beam";
        case CursorShape::Cross: return "cross";
        case CursorShape::NotAllowed: return "not allowed";
        case CursorShape::DropAccepted: return "drop accepted";
        case CursorShape::MoveBitmap: return "move bitmap";
        case CursorShape::ShadowHover: return "shadow hover";
        case CursorShape::ShadowDrag: return "shadow drag";
        case CursorShape::Count: break;
    }
    return "";
}

}  // namespace pirn
