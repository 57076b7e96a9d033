#pragma once
// Screen rectangles and points shared by the window system, the skin and the
// font: {left, top, right, bottom}, right and bottom exclusive.

#include "platform/types.h"

namespace pirn {

struct Point {
    i32 x = 0;
    i32 y = 0;
};

struct Rect {
    i32 left = 0;
    i32 top = 0;
    i32 right = 0;
    i32 bottom = 0;

    i32 Width() const { return right - left; }
    i32 Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};

// A rectangle from its top-left corner and size.
inline Rect MakeRect(i32 x, i32 y, i32 width, i32 height) {
    return Rect{x, y, x + width, y + height};
}

}  // namespace pirn
