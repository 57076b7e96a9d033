#include "models/dtex_predictors.h"

#include <algorithm>
#include <cstring>

#include "models/dtex_row_restorer.h"

namespace pirn {

DtexQuantityRows::DtexQuantityRows(u32 width)
    : width_(width), padded_(DtexPaddedWidth(width)), plane_stride_(padded_ + kLead),
      store_(kDtexPlaneCount * plane_stride_ + kLead, 0) {}

void DtexQuantityRows::Make(const u8* pixel_row) {
    i16* red = writable_plane(0);
    i16* green = writable_plane(3);
    i16* blue = writable_plane(6);
    for (u32 x = 0; x < width_; ++x, pixel_row += 3) {
        red[x] = pixel_row[0];
        green[x] = pixel_row[1];
        blue[x] = pixel_row[2];
    }
    i16* const differences[6] = {writable_plane(1), writable_plane(2), writable_plane(4),
                                 writable_plane(5), writable_plane(7), writable_plane(8)};
    for (size_t x0 = 0; x0 < padded_; x0 += kDtexRowChunk) {
        // Through locals: the planes share one buffer, which would keep the
        // compiler from vector code.
        i16 r[kDtexRowChunk], g[kDtexRowChunk], b[kDtexRowChunk];
        std::memcpy(r, red + x0, sizeof r);
        std::memcpy(g, green + x0, sizeof g);
        std::memcpy(b, blue + x0, sizeof b);
        i16 d[6][kDtexRowChunk];
        for (size_t i = 0; i < kDtexRowChunk; ++i) {
            d[0][i] = static_cast<i16>(r[i] - b[i]);
            d[1][i] = static_cast<i16>(r[i] - g[i]);
            d[2][i] = static_cast<i16>(g[i] - r[i]);
            d[3][i] = static_cast<i16>(g[i] - b[i]);
            d[4][i] = static_cast<i16>(b[i] - g[i]);
            d[5][i] = static_cast<i16>(b[i] - r[i]);
        }
        for (size_t j = 0; j < 6; ++j) std::memcpy(differences[j] + x0, d[j], sizeof d[j]);
    }
}

namespace {

constexpr size_t kChunk = kDtexRowChunk;

// Zig-zag codes of the low bytes of 16-bit residuals.
inline u8 ZigZagLane(i16 residual) {
    const u32 bits = static_cast<u16>(residual);
    return static_cast<u8>((bits << 1) ^ (0u - ((bits >> 7) & 1)));
}

// One chunk of residual codes. Written on 16-bit lanes, where every value
// fits (|7 low + high| <= 2040, |gradient| <= 765), so that the compiler
// turns it into eight-lane vector code; the cases are picked per lane as
// in Med7.
void CodeChunk(const i16* left_in, const i16* up_in, const i16* corner_in, const i16* actual_in, u8* out) {
    // Through locals, which the compiler knows overlap nothing.
    i16 left[kChunk], up[kChunk], corner[kChunk], actual[kChunk];
    std::memcpy(left, left_in, sizeof left);
    std::memcpy(up, up_in, sizeof up);
    std::memcpy(corner, corner_in, sizeof corner);
    std::memcpy(actual, actual_in, sizeof actual);
    u8 codes[kChunk];
    for (size_t i = 0; i < kChunk; ++i) {
        const i16 high = left[i] > up[i] ? left[i] : up[i];
        const i16 low = left[i] > up[i] ? up[i] : left[i];
        const i16 towards_low = static_cast<i16>(static_cast<i16>(7 * low + high) >> 3);
        const i16 towards_high = static_cast<i16>(static_cast<i16>(7 * high + low) >> 3);
        const i16 gradient = static_cast<i16>(left[i] + up[i] - corner[i]);
        const i16 inside = corner[i] <= low ? towards_high : gradient;
        const i16 prediction = corner[i] >= high ? towards_low : inside;
        codes[i] = ZigZagLane(static_cast<i16>(prediction - actual[i]));
    }
    std::memcpy(out, codes, sizeof codes);
}

// Row 0's chunks: the prediction is the left value.
void CodeChunkFromLeft(const i16* left_in, const i16* actual_in, u8* out) {
    i16 left[kChunk], actual[kChunk];
    std::memcpy(left, left_in, sizeof left);
    std::memcpy(actual, actual_in, sizeof actual);
    u8 codes[kChunk];
    for (size_t i = 0; i < kChunk; ++i) codes[i] = ZigZagLane(static_cast<i16>(left[i] - actual[i]));
    std::memcpy(out, codes, sizeof codes);
}

// Whether pixels first..last (inclusive) of a row all have one colour.
bool OneColour(const u8* row, size_t first, size_t last) {
    const u8* p = row + 3 * first;
    for (size_t i = 3; i < 3 * (last - first + 1); ++i)
        if (p[i] != p[i - 3]) return false;
    return true;
}

}  // namespace

void MakePlaneResiduals(const i16* above, const i16* here, u32 width, const u8* flat, u8* out) {
    const size_t padded = DtexPaddedWidth(width);
    // Column 0 is predicted from above alone; the loop's value there is
    // replaced below.
    for (size_t x0 = 0; x0 < padded; x0 += kChunk) {
        if (flat && flat[x0 / kChunk])
            std::memset(out + x0, 0, kChunk);
        else
            CodeChunk(here + x0 - 1, above + x0, above + x0 - 1, here + x0, out + x0);
    }
    out[0] = ZigZagByte(static_cast<u32>(above[0] - here[0]));
    std::fill(out + width, out + padded, u8(0));
}

void MakePlaneResidualsRow0(const i16* here, u32 width, u8 first, u8* out) {
    const size_t padded = DtexPaddedWidth(width);
    for (size_t x0 = 0; x0 < padded; x0 += kChunk) CodeChunkFromLeft(here + x0 - 1, here + x0, out + x0);
    out[0] = first;
    std::fill(out + width, out + padded, u8(0));
}

DtexResidualRows::DtexResidualRows(const u8* pixels, u32 width)
    : pixels_(pixels), width_(width), stride_(size_t(width) * 3), rows_{DtexQuantityRows(width), DtexQuantityRows(width)},
      row_flat_(DtexPaddedWidth(width) / kChunk), above_row_flat_(row_flat_.size()), flat_(row_flat_.size()) {}

void DtexResidualRows::Advance(u32 y) {
    y_ = y;
    const u8* row = pixels_ + y * stride_;
    above_ = here_;
    const bool same_as_above = y > 0 && std::memcmp(row, row - stride_, stride_) == 0;
    if (!same_as_above) {
        here_ = y == 0 ? 0 : 1 - above_;
        rows_[here_].Make(row);
    }
    row_flat_.swap(above_row_flat_);
    for (size_t c = 0; c < row_flat_.size(); ++c) {
        const size_t first = c == 0 ? 0 : c * kChunk - 1;
        const size_t last = std::min<size_t>(width_, (c + 1) * kChunk) - 1;
        row_flat_[c] = OneColour(row, first, last);
        flat_[c] = y > 0 && row_flat_[c] && above_row_flat_[c] &&
                   (same_as_above || std::memcmp(row + 3 * first, row + 3 * first - stride_, 3) == 0);
    }
}

void DtexResidualRows::Make(u32 q, u8* out) const {
    if (y_ == 0) {
        const u32 c = q % 3;
        MakePlaneResidualsRow0(rows_[here_].plane(c), width_, pixels_[c], out);
    } else {
        MakePlaneResiduals(rows_[above_].plane(q), rows_[here_].plane(q), width_, flat_.data(), out);
    }
}

namespace {

using dtex_rows::Map0;
using dtex_rows::Map1;
using dtex_rows::Map2;

void MakeAll(u32 predictor, const u8* pixels, u32 width, u32 height, u8* residuals) {
    const size_t stride = size_t(width) * 3;
    const size_t padded = DtexPaddedWidth(width);
    DtexResidualRows rows(pixels, width);
    std::vector<u8> planes(3 * padded);
    for (u32 y = 0; y < height; ++y) {
        rows.Advance(y);
        for (u32 c = 0; c < 3; ++c) rows.Make(3 * predictor + c, planes.data() + c * padded);
        u8* out = residuals + y * stride;
        for (u32 x = 0; x < width; ++x)
            for (u32 c = 0; c < 3; ++c) out[3 * size_t(x) + c] = planes[c * padded + x];
    }
}

template <class M>
void RestoreAll(const u8* residuals, u32 width, u32 height, u8* pixels) {
    dtex_rows::RowRestorer<M> restorer(pixels, width, height);
    const u8* codes = residuals;
    for (u32 y = 0; y < height; ++y) {
        restorer.BeginRow(y);
        restorer.Restore(0, width, [&codes](u32) { return u32(*codes++); });
        restorer.EndRow();
    }
}

}  // namespace

void MakeResidualsBase0(const u8* pixels, u32 width, u32 height, u8* residuals) {
    MakeAll(0, pixels, width, height, residuals);
}
void MakeResidualsBase1(const u8* pixels, u32 width, u32 height, u8* residuals) {
    MakeAll(1, pixels, width, height, residuals);
}
void MakeResidualsBase2(const u8* pixels, u32 width, u32 height, u8* residuals) {
    MakeAll(2, pixels, width, height, residuals);
}

void RestoreFromResidualsBase0(const u8* residuals, u32 width, u32 height, u8* pixels) {
    RestoreAll<Map0>(residuals, width, height, pixels);
}
void RestoreFromResidualsBase1(const u8* residuals, u32 width, u32 height, u8* pixels) {
    RestoreAll<Map1>(residuals, width, height, pixels);
}
void RestoreFromResidualsBase2(const u8* residuals, u32 width, u32 height, u8* pixels) {
    RestoreAll<Map2>(residuals, width, height, pixels);
}

void MakeResiduals(u32 predictor, const u8* pixels, u32 width, u32 height, u8* residuals) {
    MakeAll(predictor < kDtexPredictorCount ? predictor : 0, pixels, width, height, residuals);
}

void RestoreFromResiduals(u32 predictor, const u8* residuals, u32 width, u32 height, u8* pixels) {
    if (predictor == 1)
        RestoreFromResidualsBase1(residuals, width, height, pixels);
    else if (predictor == 2)
        RestoreFromResidualsBase2(residuals, width, height, pixels);
    else
        RestoreFromResidualsBase0(residuals, width, height, pixels);
}

}  // namespace pirn
