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

#include <cstddef>
#include <vector>

#include "platform/types.h"

namespace pirn {

constexpr u32 kDtexPredictorCount = 3;

// Median-like prediction from the left (L), above (A) and above-left (Q)
// values, on exact signed values; the caller takes the result modulo 256.
// This is the definition; the row loops of the encoder (16-bit lanes) and
// of the decoder (dtex_row_restorer.h) compute the same with vector code.
inline int Med7(int left, int above, int above_left) {
    const int high = left > above ? left : above;
    const int low = left > above ? above : left;
    // The shifts must round towards minus infinity (arithmetic shift).
    if (above_left >= high) return (7 * low + high) >> 3;
    if (above_left <= low) return (7 * high + low) >> 3;
    return left + above - above_left;
}

// (s << 1) XOR (s >> 7) on the residual read as a signed byte s.
inline u8 ZigZagByte(u32 residual) {
    const int signed_value = static_cast<i8>(static_cast<u8>(residual));
    return static_cast<u8>((signed_value * 2) ^ (signed_value >> 7));
}

inline int UnZigZagByte(u32 code) { return static_cast<int>(code >> 1) ^ -static_cast<int>(code & 1); }

// ---- The encoder's side: whole rows of one quantity at a time ----------

// The nine quantities the three predictors code: plane 3 p + c is residual
// channel c of predictor p (R, R-B, R-G, G, G-R, G-B, B, B-G, B-R).
constexpr u32 kDtexPlaneCount = 3 * kDtexPredictorCount;

// Row loops run in chunks of this many values, a fixed shape the compiler
// turns into vector code; rows are padded to a whole number of chunks.
constexpr size_t kDtexRowChunk = 16;

inline size_t DtexPaddedWidth(u32 width) { return (size_t(width) + kDtexRowChunk - 1) / kDtexRowChunk * kDtexRowChunk; }

// The quantities of one pixel row in every plane, as exact signed values.
// Each plane row may be read one element before its start (a zero) and up
// to its padded width (zeros past the picture).
class DtexQuantityRows {
public:
    explicit DtexQuantityRows(u32 width);
    void Make(const u8* pixel_row);
    const i16* plane(u32 q) const { return store_.data() + q * plane_stride_ + kLead; }

private:
    static constexpr size_t kLead = kDtexRowChunk;
    i16* writable_plane(u32 q) { return store_.data() + q * plane_stride_ + kLead; }

    u32 width_;
    size_t padded_;
    size_t plane_stride_;
    std::vector<i16> store_;
};

// The residual bytes of the rows of a picture in any plane, one row after
// the other. In flat areas most of the work is skipped: a row equal to the
// one above reuses its quantities, and chunks that show one colour in both
// rows have zero residuals in every plane.
class DtexResidualRows {
public:
    DtexResidualRows(const u8* pixels, u32 width);
    // Makes row y current; rows go top to bottom, one at a time.
    void Advance(u32 y);
    // Row y's residuals in plane q (in row 0 those of the mapping of
    // predictor 0, whatever q says); `out` gets the padded width, zero past
    // the picture.
    void Make(u32 q, u8* out) const;

private:
    const u8* pixels_;
    u32 width_;
    size_t stride_;
    u32 y_ = 0;
    DtexQuantityRows rows_[2];
    u32 here_ = 0;
    u32 above_ = 0;
    // Per chunk: whether the pixels from the one left of the chunk to its
    // last are all one colour, in row y and in both rows.
    std::vector<u8> row_flat_, above_row_flat_, flat_;
};

// The residual bytes of one plane in a row below row 0, from that plane's
// quantities in the row and the row above; chunks marked in `flat` (one
// byte per chunk, or null) are known to be zero. `out` gets the padded
// width, zero past the picture.
void MakePlaneResiduals(const i16* above, const i16* here, u32 width, const u8* flat, u8* out);

// The same in row 0: each value predicted from its left neighbour, the
// first stored raw as `first` (the pixel's byte of this channel).
void MakePlaneResidualsRow0(const i16* here, u32 width, u8 first, u8* out);

// ---- The decoder's side (models/dtex_row_restorer.h) -------------------

namespace dtex_rows {

// A predictor's channel mapping: the base byte and the two other bytes
// whose differences from the base are coded.
template <int Base, int Other1, int Other2>
struct Mapping {
    static constexpr int kBase = Base;
    static constexpr int kOther1 = Other1;
    static constexpr int kOther2 = Other2;
    // Which of base, other 1, other 2 (lanes 0, 1, 2) is byte 0, 1, 2.
    static constexpr int kBaseLane0 = Base == 0 ? 0 : Other1 == 0 ? 1 : 2;
    static constexpr int kBaseLane1 = Base == 1 ? 0 : Other1 == 1 ? 1 : 2;
    static constexpr int kBaseLane2 = Base == 2 ? 0 : Other1 == 2 ? 1 : 2;
};

using Map0 = Mapping<0, 2, 1>;
using Map1 = Mapping<1, 0, 2>;
using Map2 = Mapping<2, 1, 0>;

}  // namespace dtex_rows

// pixels -> residuals (both width x height x 3 bytes, interleaved).
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
