#pragma once
// Rebuilds detail-texture pixels from their residual codes, rows top to
// bottom, each row left to right (the decoder's side of the predictors).
//
// The three quantities of a pixel (the base byte and the two differences)
// travel together in the low lanes of one vector of 16-bit lanes, so that
// one vector step predicts all three: every value fits (quantities are
// -255..255, 7 x low + high at most 2040). Each row's quantities are kept,
// four lanes per pixel, for the row below.

#include <cstring>
#include <utility>
#include <vector>

#include "models/dtex_predictors.h"
#include "platform/types.h"

namespace pirn {

namespace dtex_rows {

typedef i16 Lanes __attribute__((vector_size(16)));
typedef u16 UnsignedLanes __attribute__((vector_size(16)));

// Lanes kept per pixel in a quantity row.
constexpr size_t kLanesPerPixel = 4;

// Two pixels' quantities (the second is ignored); rows have a spare pixel
// at the end so that this may read past the last.
inline Lanes LoadLanes(const i16* q) {
    Lanes v;
    std::memcpy(&v, q, sizeof v);
    return v;
}

inline void StoreQuantities(i16* q, Lanes v) { std::memcpy(q, &v, kLanesPerPixel * sizeof(i16)); }

// Med7 in every lane.
inline Lanes Med7Lanes(Lanes left, Lanes above, Lanes above_left) {
    const Lanes high = left > above ? left : above;
    const Lanes low = left > above ? above : left;
    // 7 x v as 8 x v - v, the shift on unsigned lanes (defined for
    // negative values); >> on signed lanes is arithmetic.
    const Lanes towards_low = (Lanes)((UnsignedLanes)low << 3) - low + high;
    const Lanes towards_high = (Lanes)((UnsignedLanes)high << 3) - high + low;
    const Lanes gradient = left + above - above_left;
    const Lanes inside = above_left <= low ? (Lanes)(towards_high >> 3) : gradient;
    return above_left >= high ? (Lanes)(towards_low >> 3) : inside;
}

inline Lanes CodeLanes(u32 c0, u32 c1, u32 c2) {
    return Lanes{static_cast<i16>(c0), static_cast<i16>(c1), static_cast<i16>(c2), 0, 0, 0, 0, 0};
}

// Rebuilds a pixel under mapping M from the predictions and the codes of
// its three channels; returns its quantities. The pixel's three bytes come
// as the low three bytes of *packed; the fourth is 0.
template <class M>
inline Lanes RestorePixel(Lanes prediction, Lanes codes, u32* packed) {
    const Lanes signed_residuals = (codes >> 1) ^ -(codes & 1);
    // Lane 0: the base byte; lanes 1, 2: (base - other) modulo 256.
    const Lanes bytes = (prediction - signed_residuals) & 0xFF;
    const Lanes base = Lanes{} + bytes[0];
    const Lanes others = (base - bytes) & 0xFF;  // lane 0 becomes 0
    // Base, other 1, other 2 in lanes 0, 1, 2, then in pixel order.
    const Lanes channels = others + (bytes & Lanes{-1, 0, 0, 0, 0, 0, 0, 0});
    const Lanes in_order =
        __builtin_shufflevector(channels, channels, M::kBaseLane0, M::kBaseLane1, M::kBaseLane2, 3, 4, 5, 6, 7);
    typedef u8 Bytes __attribute__((vector_size(8)));
    const Bytes narrow = __builtin_convertvector(in_order, Bytes);
    std::memcpy(packed, &narrow, sizeof *packed);
    return base - others;
}

// The same, storing the three bytes at pixel; with `spare` set, four
// bytes, the fourth to be overwritten by the next pixel.
template <class M>
inline Lanes RestorePixel(Lanes prediction, Lanes codes, u8* pixel, bool spare = false) {
    u32 packed;
    const Lanes quantities = RestorePixel<M>(prediction, codes, &packed);
    if (spare)
        std::memcpy(pixel, &packed, 4);
    else
        std::memcpy(pixel, &packed, 3);
    return quantities;
}

template <class M>
inline Lanes QuantityLanes(const u8* pixel) {
    const i16 base = pixel[M::kBase];
    return Lanes{base, static_cast<i16>(base - pixel[M::kOther1]), static_cast<i16>(base - pixel[M::kOther2]), 0, 0, 0, 0, 0};
}

// The decoder's row loop under mapping M (rows below row 0; row 0 always
// uses mapping 0). next_code(c) gives the code of residual channel c and
// is called for channel 0, 1, 2 of each pixel in turn.
template <class M>
class RowRestorer {
public:
    RowRestorer(u8* pixels, u32 width, u32 height)
        : pixels_(pixels), width_(width), stride_(size_t(width) * 3),
          quantities_((size_t(width) + 1) * kLanesPerPixel * 2, 0), last_(pixels + stride_ * height - 3) {
        here_q_ = quantities_.data();
        above_q_ = here_q_ + (size_t(width) + 1) * kLanesPerPixel;
    }

    void BeginRow(u32 y) {
        y_ = y;
        row_ = pixels_ + y * stride_;
        std::swap(here_q_, above_q_);
    }

    // Row 0's quantities are made under mapping 0 as it goes; the rows
    // below need them under M.
    void EndRow() {
        if (y_ != 0) return;
        for (u32 x = 0; x < width_; ++x) StoreQuantities(here_q_ + kLanesPerPixel * x, QuantityLanes<M>(row_ + 3 * size_t(x)));
    }

    // Pixels x0..x1-1 of the current row; those left of x0 are done.
    // Inline (as the functions it calls), so that the reader behind
    // next_code keeps its state in registers, and so that the decoder's
    // loop for each instruction set has its own copy.
    template <class NextCode>
    [[gnu::always_inline]] void Restore(u32 x0, u32 x1, NextCode&& next_code) {
        if (y_ == 0)
            RestoreFirstRow(x0, x1, next_code);
        else
            RestoreBelow(x0, x1, next_code);
    }

    // Whether a segment below row 0 whose residuals are all zero is a copy
    // of the pixels above it: when the row above holds one colour from the
    // pixel above-left of the segment on (from the pixel above at the left
    // edge) and the pixel to the left has that colour, every prediction is
    // that colour.
    bool CopiesAbove(u32 x0, u32 x1) const {
        const u8* above = row_ - stride_;
        const size_t from = x0 == 0 ? 0 : 3 * size_t(x0 - 1);
        if (x0 > 0 && (row_[from] != above[from] || row_[from + 1] != above[from + 1] ||
                       row_[from + 2] != above[from + 2]))
            return false;
        if (x0 > 0 && x1 - x0 == 8) {
            // A whole segment: the 27 bytes above are one colour when they
            // equal themselves shifted by a pixel, three words at a time.
            u64 bytes[3], shifted[3];
            std::memcpy(bytes, above + from, sizeof bytes);
            std::memcpy(shifted, above + from + 3, sizeof shifted);
            return ((bytes[0] ^ shifted[0]) | (bytes[1] ^ shifted[1]) | (bytes[2] ^ shifted[2])) == 0;
        }
        u32 differs = 0;
        for (size_t i = from; i + 3 < 3 * size_t(x1); ++i) differs |= above[i] ^ above[i + 3];
        return differs == 0;
    }

    void CopyAbove(u32 x0, u32 x1) {
        const size_t n = x1 - x0;
        if (n == 8) {
            std::memcpy(row_ + 3 * size_t(x0), row_ + 3 * size_t(x0) - stride_, 3 * 8);
            std::memcpy(here_q_ + kLanesPerPixel * x0, above_q_ + kLanesPerPixel * x0, kLanesPerPixel * 8 * sizeof(i16));
        } else {
            std::memcpy(row_ + 3 * size_t(x0), row_ + 3 * size_t(x0) - stride_, 3 * n);
            std::memcpy(here_q_ + kLanesPerPixel * x0, above_q_ + kLanesPerPixel * x0, kLanesPerPixel * n * sizeof(i16));
        }
    }

private:
    // Pixel (0, 0) raw, the rest predicted from the left under mapping 0.
    template <class NextCode>
    [[gnu::always_inline]] void RestoreFirstRow(u32 x0, u32 x1, NextCode& next_code) {
        u32 x = x0;
        Lanes left;
        if (x == 0) {
            row_[0] = static_cast<u8>(next_code(0));
            row_[1] = static_cast<u8>(next_code(1));
            row_[2] = static_cast<u8>(next_code(2));
            left = QuantityLanes<Map0>(row_);
            x = 1;
        } else {
            left = QuantityLanes<Map0>(row_ + 3 * size_t(x - 1));
        }
        for (; x < x1; ++x) {
            const u32 c0 = next_code(0);
            const u32 c1 = next_code(1);
            const u32 c2 = next_code(2);
            left = RestorePixel<Map0>(left, CodeLanes(c0, c1, c2), row_ + 3 * size_t(x));
        }
    }

    template <class NextCode>
    [[gnu::always_inline]] void RestoreBelow(u32 x0, u32 x1, NextCode& next_code) {
        u32 x = x0;
        Lanes left;
        if (x == 0) {
            const u32 c0 = next_code(0);
            const u32 c1 = next_code(1);
            const u32 c2 = next_code(2);
            left = RestorePixel<M>(LoadLanes(above_q_), CodeLanes(c0, c1, c2), row_);
            StoreQuantities(here_q_, left);
            x = 1;
        } else {
            left = LoadLanes(here_q_ + kLanesPerPixel * (x - 1));
        }
        Lanes above_left = LoadLanes(above_q_ + kLanesPerPixel * (x - 1));
        for (; x < x1; ++x) {
            const Lanes above = LoadLanes(above_q_ + kLanesPerPixel * x);
            const u32 c0 = next_code(0);
            const u32 c1 = next_code(1);
            const u32 c2 = next_code(2);
            u8* pixel = row_ + 3 * size_t(x);
            left = RestorePixel<M>(Med7Lanes(left, above, above_left), CodeLanes(c0, c1, c2), pixel, pixel != last_);
            StoreQuantities(here_q_ + kLanesPerPixel * x, left);
            above_left = above;
        }
    }

    u8* pixels_;
    u32 width_;
    size_t stride_;
    std::vector<i16> quantities_;
    i16* here_q_;
    i16* above_q_;
    // The picture's last pixel, which has no byte after it.
    u8* last_;
    u32 y_ = 0;
    u8* row_ = nullptr;
};

}  // namespace dtex_rows

}  // namespace pirn
