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

#include <vector>

#include "platform/types.h"

namespace pirn {

constexpr u32 kDtexPredictorCount = 3;

// Median-like prediction from the left (L), above (A) and above-left (Q)
// values, on exact signed values; the caller takes the result modulo 256.
inline int Med7(int left, int above, int above_left) {
    const int high = left > above ? left : above;
    const int low = left > above ? above : left;
    // The shifts must round towards minus infinity (arithmetic shift).
    // Written as selects rather than branches: on noisy pictures the
    // branches would be mispredicted half of the time.
    const int towards_low = (7 * low + high) >> 3;
    const int towards_high = (7 * high + low) >> 3;
    const int gradient = left + above - above_left;
    const int inside = above_left <= low ? towards_high : gradient;
    return above_left >= high ? towards_low : inside;
}

// (s << 1) XOR (s >> 7) on the residual read as a signed byte s.
inline u8 ZigZagByte(u32 residual) {
    const int signed_value = static_cast<i8>(static_cast<u8>(residual));
    return static_cast<u8>((signed_value * 2) ^ (signed_value >> 7));
}

inline int UnZigZagByte(u32 code) { return static_cast<int>(code >> 1) ^ -static_cast<int>(code & 1); }

namespace dtex_rows {

// The three quantities of a pixel under a channel mapping: the base byte
// and the exact differences base - first other, base - second other.
template <int Base, int Other1, int Other2>
struct Mapping {
    static constexpr int kBase = Base;
    static constexpr int kOther1 = Other1;
    static constexpr int kOther2 = Other2;
    static void Quantities(const u8* row, u32 width, i16* out) {
        for (u32 x = 0; x < width; ++x, row += 3, out += 3) {
            out[0] = row[Base];
            out[1] = static_cast<i16>(row[Base] - row[Other1]);
            out[2] = static_cast<i16>(row[Base] - row[Other2]);
        }
    }
};

using Map0 = Mapping<0, 2, 1>;
using Map1 = Mapping<1, 0, 2>;
using Map2 = Mapping<2, 1, 0>;

// Rebuilds row 0 left to right from codes given one at a time by
// next_code (channel 0, 1, 2 of each pixel): pixel (0, 0) raw, then the
// mapping of predictor 0 predicted from the left.
template <class NextCode>
inline void RestoreRow0(u32 width, u8* row, NextCode next_code) {
    row[0] = static_cast<u8>(next_code());
    row[1] = static_cast<u8>(next_code());
    row[2] = static_cast<u8>(next_code());
    int left0 = row[0], left1 = row[0] - row[2], left2 = row[0] - row[1];
    for (u32 x = 1; x < width; ++x) {
        u8* p = row + 3 * size_t(x);
        const int s0 = UnZigZagByte(next_code());
        const int s1 = UnZigZagByte(next_code());
        const int s2 = UnZigZagByte(next_code());
        const int red = (left0 - s0) & 0xFF;
        const int blue = (red - ((left1 - s1) & 0xFF)) & 0xFF;
        const int green = (red - ((left2 - s2) & 0xFF)) & 0xFF;
        p[0] = static_cast<u8>(red);
        p[1] = static_cast<u8>(green);
        p[2] = static_cast<u8>(blue);
        left0 = red;
        left1 = red - blue;
        left2 = red - green;
    }
}

// Rebuilds a row below row 0 left to right; `above` holds the row above's
// quantities under the same mapping.
template <class M, class NextCode>
inline void RestoreRow(const i16* above, u32 width, u8* row, NextCode next_code) {
    int left0 = 0, left1 = 0, left2 = 0;
    for (u32 x = 0; x < width; ++x, row += 3) {
        const int s0 = UnZigZagByte(next_code());
        const int s1 = UnZigZagByte(next_code());
        const int s2 = UnZigZagByte(next_code());
        int pred0, pred1, pred2;
        if (x == 0) {
            pred0 = above[0];
            pred1 = above[1];
            pred2 = above[2];
        } else {
            const i16* a = above + 3 * size_t(x);
            pred0 = Med7(left0, a[0], a[-3]);
            pred1 = Med7(left1, a[1], a[-2]);
            pred2 = Med7(left2, a[2], a[-1]);
        }
        const int base = (pred0 - s0) & 0xFF;
        const int other1 = (base - ((pred1 - s1) & 0xFF)) & 0xFF;
        const int other2 = (base - ((pred2 - s2) & 0xFF)) & 0xFF;
        row[M::kBase] = static_cast<u8>(base);
        row[M::kOther1] = static_cast<u8>(other1);
        row[M::kOther2] = static_cast<u8>(other2);
        left0 = base;
        left1 = base - other1;
        left2 = base - other2;
    }
}

}  // namespace dtex_rows

// pixels -> residuals (both width x height x 3 bytes).
void MakeResidualsBase0(const u8* pixels, u32 width, u32 height, u8* residuals);
void MakeResidualsBase1(const u8* pixels, u32 width, u32 height, u8* residuals);
void MakeResidualsBase2(const u8* pixels, u32 width, u32 height, u8* residuals);
// residuals -> pixels.
void RestoreFromResidualsBase0(const u8* residuals, u32 width, u32 height, u8* pixels);
void RestoreFromResidualsBase1(const u8* residuals, u32 width, u32 height, u8* pixels);
void RestoreFromResidualsBase2(const u8* residuals, u32 width, u32 height, u8* pixels);

// Rebuilds pixels one row at a time, so that a decoder can restore each
// row as soon as its residuals are read.
class DtexRowRestorer {
public:
    DtexRowRestorer(u32 predictor, u32 width);
    // row_above: the restored row above, null for row 0.
    void Restore(const u8* codes, const u8* row_above, u8* row);

private:
    u32 predictor_;
    u32 width_;
    std::vector<i16> above_;
};

// By predictor number 0..2.
void MakeResiduals(u32 predictor, const u8* pixels, u32 width, u32 height, u8* residuals);
void RestoreFromResiduals(u32 predictor, const u8* residuals, u32 width, u32 height, u8* pixels);

}  // namespace pirn
