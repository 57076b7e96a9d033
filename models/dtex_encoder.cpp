// The encoder: every predictor is tried on each block row while its pixels
// are in cache, the block costs following from sums of shifted residuals;
// the chosen predictor's residuals are then made once more, row by row, and
// Rice coded.

#include <algorithm>

#include "models/dtex_bit_stream.h"
#include "models/dtex_codec.h"
#include "models/dtex_predictors.h"
#include "models/dtex_rice.h"

namespace pirn {

namespace {

struct Trials {
    // Three parameters per block for each predictor, predictor-major.
    std::vector<u8> params;
    u64 totals[kDtexPredictorCount] = {};
};

// Block costs of all three predictors in one pass over the pixels.
Trials TryAllPredictors(const u8* pixels, u32 width, u32 height) {
    const size_t padded = DtexPaddedWidth(width);
    const u32 columns = DtexBlockCount(width);
    const size_t block_count = size_t(columns) * DtexBlockCount(height);
    Trials trials;
    trials.params.resize(kDtexPredictorCount * block_count * 3);
    // One block row of residuals: plane-major, then row.
    std::vector<u8> residuals(kDtexPlaneCount * kDtexBlockSide * padded);
    auto plane_rows = [&residuals, padded](u32 q) { return residuals.data() + q * kDtexBlockSide * padded; };
    DtexResidualRows residual_rows(pixels, width);
    for (u32 y0 = 0; y0 < height; y0 += kDtexBlockSide) {
        const u32 rows = std::min(kDtexBlockSide, height - y0);
        for (u32 r = 0; r < rows; ++r) {
            residual_rows.Advance(y0 + r);
            for (u32 q = 0; q < kDtexPlaneCount; ++q) residual_rows.Make(q, plane_rows(q) + r * padded);
        }
        const size_t first_block = size_t(y0 / kDtexBlockSide) * columns;
        for (u32 q = 0; q < kDtexPlaneCount; ++q) {
            const u32 p = q / 3, c = q % 3;
            u8* params = trials.params.data() + (p * block_count + first_block) * 3 + c;
            trials.totals[p] += ChooseBlockRiceParameters(plane_rows(q), padded, rows, width, params);
        }
    }
    return trials;
}

// The residuals of predictor p, one row at a time, each Rice coded with its
// block's parameters.
void WriteResiduals(const u8* pixels, u32 width, u32 height, u32 p, const u8* params, DtexBitWriter& out) {
    DtexBitWriter writer = out;  // a local, so that its state stays in registers
    const size_t padded = DtexPaddedWidth(width);
    const u32 columns = DtexBlockCount(width);
    std::vector<u8> channel_rows(3 * padded);
    const u8* r0 = channel_rows.data();
    const u8* r1 = r0 + padded;
    const u8* r2 = r1 + padded;
    DtexResidualRows residual_rows(pixels, width);
    for (u32 y = 0; y < height; ++y) {
        residual_rows.Advance(y);
        for (u32 c = 0; c < 3; ++c) residual_rows.Make(3 * p + c, channel_rows.data() + c * padded);
        const u8* block_params = params + size_t(y / kDtexBlockSide) * columns * 3;
        for (u32 b = 0; b < columns; ++b, block_params += 3) {
            const u32 k0 = block_params[0], k1 = block_params[1], k2 = block_params[2];
            if ((k0 & k1 & k2) == kDtexAllZero) continue;
            const u32 x1 = std::min(width, (b + 1) * kDtexBlockSide);
            for (u32 x = b * kDtexBlockSide; x < x1; ++x) {
                WriteRiceValue(writer, r0[x], k0);
                WriteRiceValue(writer, r1[x], k1);
                WriteRiceValue(writer, r2[x], k2);
            }
        }
    }
    out = writer;
}

}  // namespace

bool EncodeDtexStream(const u8* pixels, u32 width, u32 height, std::vector<u32>* words, u32* byte_length) {
    if (!pixels || width < 1 || width > kDtexMaxSide || height < 1 || height > kDtexMaxSide) return false;
    const size_t block_count = size_t(DtexBlockCount(width)) * DtexBlockCount(height);
    const Trials trials = TryAllPredictors(pixels, width, height);
    // Equal totals keep the lower predictor number.
    u32 best = 0;
    for (u32 p = 1; p < kDtexPredictorCount; ++p)
        if (trials.totals[p] < trials.totals[best]) best = p;
    const u64 total = trials.totals[best] + u64(kDtexBlockParameterBits) * block_count;

    const u64 length = 4 * ((total + 89) / 32);
    if (length > 0xFFFFFFFBu) return false;
    words->assign(static_cast<size_t>(length / 4) + 1, 0);
    DtexBitWriter writer(words->data(), (width << 14) | (height << 2) | best);
    const u8* params = trials.params.data() + best * block_count * 3;
    for (size_t i = 0; i < block_count * 3; ++i) writer.PutBits(params[i], 3);
    WriteResiduals(pixels, width, height, best, params, writer);
    writer.Flush();
    *byte_length = static_cast<u32>(length);
    return true;
}

}  // namespace pirn
