#pragma once
// The detail-texture codec's three predictors. Predictor p codes byte p of
// each pixel (the base channel) and the differences of the base and the
// other two bytes, each predicted from its left, above and above-left
// neighbours; residuals are zig-zag coded bytes, three per pixel.
//
//   p   channel 0   channel 1   channel 2
//   0   R           R - B       R - G
//   1   G           G - R       G - B
//   2   B           B - G       B - R
//
// Row 0 always uses the mapping of predictor 0 and pixel (0, 0) is stored
// raw, so all three predictors share the first row.

#include "platform/types.h"

namespace pirn {

constexpr u32 kDtexPredictorCount = 3;

// Median-like prediction from the left (L), above (A) and above-left (Q)
// values, on exact signed values; the caller takes the result modulo 256.
inline int Med7(int left, int above, int above_left) {
    const int high = left > above ? left : above;
    const int low = left > above ? above : left;
    // The shifts must round towards minus infinity (arithmetic shift).
    if (above_left >= high) return (7 * low + high) >> 3;
    if (above_left <= low) return (7 * high + low) >> 3;
    return left + above - above_left;
}

inline u8 ZigZagByte(u32 residual) {
    const i8 signed_value = static_cast<i8>(static_cast<u8>(residual));
    return static_cast<u8>(signed_value >= 0 ? 2 * signed_value : -2 * signed_value - 1);
}

inline int UnZigZagByte(u32 code) { return static_cast<int>(code >> 1) ^ -static_cast<int>(code & 1); }

// pixels -> residuals (both width x height x 3 bytes).
void MakeResidualsBase0(const u8* pixels, u32 width, u32 height, u8* residuals);
void MakeResidualsBase1(const u8* pixels, u32 width, u32 height, u8* residuals);
void MakeResidualsBase2(const u8* pixels, u32 width, u32 height, u8* residuals);
// residuals -> pixels.
void RestoreFromResidualsBase0(const u8* residuals, u32 width, u32 height, u8* pixels);
void RestoreFromResidualsBase1(const u8* residuals, u32 width, u32 height, u8* pixels);
void RestoreFromResidualsBase2(const u8* residuals, u32 width, u32 height, u8* pixels);

// By predictor number 0..2.
void MakeResiduals(u32 predictor, const u8* pixels, u32 width, u32 height, u8* residuals);
void RestoreFromResiduals(u32 predictor, const u8* residuals, u32 width, u32 height, u8* pixels);

}  // namespace pirn
