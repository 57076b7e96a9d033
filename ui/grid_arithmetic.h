#pragma once
// Integer arithmetic of grid positions, shared by the layout and the widget.

#include <algorithm>
#include <cstdint>

#include "platform/types.h"

namespace pirn::grid_arithmetic {

inline i32 ClampToI32(i64 v) { return static_cast<i32>(std::clamp<i64>(v, INT32_MIN, INT32_MAX)); }

// Floor division, so that points left of or above the first cell give
// negative columns and rows instead of 0.
inline i64 FloorDiv(i64 a, i64 b) {
    i64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace pirn::grid_arithmetic
