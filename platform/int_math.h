#pragma once
// Integer helpers shared across the program.

#include "platform/types.h"

namespace pirn {

// n when n is a power of two (0 for 0), else the next power of two above n.
// Values above 2^31 have no u32 power of two above them and give 0.
u32 NextPowerOfTwo(u32 n);
// floor(log2 n) for n >= 2, else 0.
u32 FloorLog2(u32 n);
// Remainder of a / b moved into [0, b) for b > 0.
i32 PositiveModulo(i32 a, i32 b);
// a / b truncated; with roundUp and a remainder left, rounded toward plus
// infinity (one more for positive quotients). b = 0 gives 0.
i32 IntDivide(i32 a, i32 b, bool roundUp);

}  // namespace pirn
