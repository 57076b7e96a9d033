#include "platform/int_math.h"

namespace pirn {

u32 NextPowerOfTwo(u32 n) {
    if (n == 0) return 0;
    n -= 1;
    n |= n >> 1;
    n |= n >> 2;
    n |= n >> 4;
    n |= n >> 8;
    n |= n >> 16;
    return n + 1;  // wraps to 0 above 2^31
}

u32 FloorLog2(u32 n) {
    if (n < 2) return 0;
    return 31u - static_cast<u32>(__builtin_clz(n));
}

i32 PositiveModulo(i32 a, i32 b) {
    if (b == 0) return 0;
    const i64 r = static_cast<i64>(a) % b;
    return static_cast<i32>(r < 0 ? r + (b < 0 ? -static_cast<i64>(b) : b) : r);
}

i32 IntDivide(i32 a, i32 b, bool roundUp) {
    if (b == 0) return 0;
    const i64 q = static_cast<i64>(a) / b;
    const i64 r = static_cast<i64>(a) % b;
    i64 result = q;
    // A positive exact quotient is above q when the remainder has b's sign.
    if (roundUp && r != 0 && ((r > 0) == (b > 0))) result += 1;
    if (result > 2147483647) result = 2147483647;  // only INT_MIN / -1 gets here
    return static_cast<i32>(result);
}

}  // namespace pirn
