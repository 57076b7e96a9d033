#include "models/dtex_predictors.h"

#include <vector>

namespace pirn {

namespace {

using dtex_rows::Map0;
using dtex_rows::Map1;
using dtex_rows::Map2;

inline u8 Residual(int prediction, int actual) { return ZigZagByte(static_cast<u32>(prediction - actual) & 0xFF); }

// Row 0: pixel (0, 0) raw, then each quantity predicted by its left
// neighbour's (always the mapping of predictor 0).
void MakeRow0(const u8* row, u32 width, std::vector<i16>& quantities, u8* out) {
    Map0::Quantities(row, width, quantities.data());
    out[0] = row[0];
    out[1] = row[1];
    out[2] = row[2];
    const i16* q = quantities.data();
    for (size_t i = 3; i < size_t(width) * 3; ++i) out[i] = Residual(q[i - 3], q[i]);
}

// Rows 1 and below, from the quantities of this row and the one above
// under the same mapping. Every quantity position i of a row is predicted
// from i - 3 (left), i in the row above and i - 3 above, so one loop runs
// over all three channels at once.
void MakeRow(const i16* above, const i16* here, u32 width, u8* out) {
    for (size_t i = 0; i < 3; ++i) out[i] = Residual(above[i], here[i]);
    for (size_t i = 3; i < size_t(width) * 3; ++i)
        out[i] = Residual(Med7(here[i - 3], above[i], above[i - 3]), here[i]);
}

template <class M>
void MakeAll(const u8* pixels, u32 width, u32 height, u8* residuals) {
    const size_t stride = size_t(width) * 3;
    std::vector<i16> above(stride), here(stride);
    MakeRow0(pixels, width, here, residuals);
    if (height > 1) M::Quantities(pixels, width, above.data());
    for (u32 y = 1; y < height; ++y) {
        M::Quantities(pixels + y * stride, width, here.data());
        MakeRow(above.data(), here.data(), width, residuals + y * stride);
        above.swap(here);
    }
}

template <class M>
void RestoreWithMapping(std::vector<i16>& above, const u8* codes, u32 width, const u8* row_above, u8* row) {
    M::Quantities(row_above, width, above.data());
    dtex_rows::RestoreRow<M>(above.data(), width, row, [&codes] { return *codes++; });
}

}  // namespace

DtexRowRestorer::DtexRowRestorer(u32 predictor, u32 width)
    : predictor_(predictor), width_(width), above_(size_t(width) * 3) {}

void DtexRowRestorer::Restore(const u8* codes, const u8* row_above, u8* row) {
    if (!row_above)
        dtex_rows::RestoreRow0(width_, row, [&codes] { return *codes++; });
    else if (predictor_ == 1)
        RestoreWithMapping<Map1>(above_, codes, width_, row_above, row);
    else if (predictor_ == 2)
        RestoreWithMapping<Map2>(above_, codes, width_, row_above, row);
    else
        RestoreWithMapping<Map0>(above_, codes, width_, row_above, row);
}

void MakeResidualsBase0(const u8* pixels, u32 width, u32 height, u8* residuals) {
    MakeAll<Map0>(pixels, width, height, residuals);
}
void MakeResidualsBase1(const u8* pixels, u32 width, u32 height, u8* residuals) {
    MakeAll<Map1>(pixels, width, height, residuals);
}
void MakeResidualsBase2(const u8* pixels, u32 width, u32 height, u8* residuals) {
    MakeAll<Map2>(pixels, width, height, residuals);
}

void RestoreFromResidualsBase0(const u8* residuals, u32 width, u32 height, u8* pixels) {
    RestoreFromResiduals(0, residuals, width, height, pixels);
}
void RestoreFromResidualsBase1(const u8* residuals, u32 width, u32 height, u8* pixels) {
    RestoreFromResiduals(1, residuals, width, height, pixels);
}
void RestoreFromResidualsBase2(const u8* residuals, u32 width, u32 height, u8* pixels) {
    RestoreFromResiduals(2, residuals, width, height, pixels);
}

void MakeResiduals(u32 predictor, const u8* pixels, u32 width, u32 height, u8* residuals) {
    if (predictor == 1)
        MakeResidualsBase1(pixels, width, height, residuals);
    else if (predictor == 2)
        MakeResidualsBase2(pixels, width, height, residuals);
    else
        MakeResidualsBase0(pixels, width, height, residuals);
}

void RestoreFromResiduals(u32 predictor, const u8* residuals, u32 width, u32 height, u8* pixels) {
    DtexRowRestorer restorer(predictor, width);
    const size_t stride = size_t(width) * 3;
    for (u32 y = 0; y < height; ++y)
        restorer.Restore(residuals + y * stride, y ? pixels + (y - 1) * stride : nullptr, pixels + y * stride);
}

}  // namespace pirn
