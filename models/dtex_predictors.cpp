#include "models/dtex_predictors.h"

#include <algorithm>
#include <cstring>

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

// The residual codes of one chunk, through locals for the same reason.
void CodeChunk(const i16* prediction, const i16* here, u8* out) {
    i16 p[kDtexRowChunk], actual[kDtexRowChunk];
    std::memcpy(p, prediction, sizeof p);
    std::memcpy(actual, here, sizeof actual);
    u8 codes[kDtexRowChunk];
    for (size_t i = 0; i < kDtexRowChunk; ++i) codes[i] = ZigZagByte(static_cast<u32>(p[i] - actual[i]));
    std::memcpy(out, codes, sizeof codes);
}

}  // namespace

void MakePlaneResiduals(const i16* above, const i16* here, u32 width, u8* out) {
    const size_t padded = DtexPaddedWidth(width);
    // Column 0 is predicted from above alone; the loop's value there is
    // replaced below.
    for (size_t x0 = 0; x0 < padded; x0 += kDtexRowChunk) {
        i16 left[kDtexRowChunk], up[kDtexRowChunk], corner[kDtexRowChunk];
        std::memcpy(left, here + x0 - 1, sizeof left);
        std::memcpy(up, above + x0, sizeof up);
        std::memcpy(corner, above + x0 - 1, sizeof corner);
        i16 prediction[kDtexRowChunk];
        for (size_t i = 0; i < kDtexRowChunk; ++i) prediction[i] = static_cast<i16>(Med7(left[i], up[i], corner[i]));
        CodeChunk(prediction, here + x0, out + x0);
    }
    out[0] = ZigZagByte(static_cast<u32>(above[0] - here[0]));
    std::fill(out + width, out + padded, u8(0));
}

void MakePlaneResidualsRow0(const i16* here, u32 width, u8 first, u8* out) {
    const size_t padded = DtexPaddedWidth(width);
    for (size_t x0 = 0; x0 < padded; x0 += kDtexRowChunk) CodeChunk(here + x0 - 1, here + x0, out + x0);
    out[0] = first;
    std::fill(out + width, out + padded, u8(0));
}

namespace {

using dtex_rows::Map0;
using dtex_rows::Map1;
using dtex_rows::Map2;

void MakeAll(u32 predictor, const u8* pixels, u32 width, u32 height, u8* residuals) {
    const size_t stride = size_t(width) * 3;
    const size_t padded = DtexPaddedWidth(width);
    DtexQuantityRows above(width), here(width);
    std::vector<u8> planes(3 * padded);
    for (u32 y = 0; y < height; ++y) {
        const u8* row = pixels + y * stride;
        here.Make(row);
        for (u32 c = 0; c < 3; ++c) {
            u8* out = planes.data() + c * padded;
            if (y == 0)
                MakePlaneResidualsRow0(here.plane(c), width, row[c], out);
            else
                MakePlaneResiduals(above.plane(3 * predictor + c), here.plane(3 * predictor + c), width, out);
        }
        u8* out = residuals + y * stride;
        for (u32 x = 0; x < width; ++x)
            for (u32 c = 0; c < 3; ++c) out[3 * size_t(x) + c] = planes[c * padded + x];
        std::swap(above, here);
    }
}

template <class M>
void RestoreAll(const u8* residuals, u32 width, u32 height, u8* pixels) {
    const size_t stride = size_t(width) * 3;
    for (u32 y = 0; y < height; ++y) {
        const u8* codes = residuals + y * stride;
        auto next_code = [&codes](u32) { return u32(*codes++); };
        u8* row = pixels + y * stride;
        if (y == 0)
            dtex_rows::RestoreRow0Segment(row, 0, width, next_code);
        else
            dtex_rows::RestoreSegment<M>(row - stride, row, 0, width, next_code);
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
