#pragma once
// The 16-bit rectangle of dialog tags: {top, left, bottom, right}.

#include "platform/types.h"

namespace pirn {

struct Rect16 {
    i16 top = 0;
    i16 left = 0;
    i16 bottom = 0;
    i16 right = 0;
};

inline i16 ClampToI16(i32 v) {
    return static_cast<i16>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
}

// Any rectangle type with i32 left, top, right, bottom. Every side is clamped
// to the 16-bit range in both directions.
template <typename R>
Rect16 PackRect16(const R& r) {
    return Rect16{ClampToI16(r.top), ClampToI16(r.left), ClampToI16(r.bottom), ClampToI16(r.right)};
}

template <typename R>
R UnpackRect16(const Rect16& r) {
    R out{};
    out.left = r.left;
    out.top = r.top;
    out.right = r.right;
    out.bottom = r.bottom;
    return out;
}

}  // namespace pirn
