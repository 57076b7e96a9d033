#include "models/dtex_predictors.h"

namespace pirn {

namespace {

// The three quantities of a pixel under a channel mapping: the base byte
// and the exact differences base - first other, base - second other.
template <int Base, int Other1, int Other2>
struct Mapping {
    static int Q0(const u8* p) { return p[Base]; }
    static int Q1(const u8* p) { return p[Base] - p[Other1]; }
    static int Q2(const u8* p) { return p[Base] - p[Other2]; }
};

using Map0 = Mapping<0, 2, 1>;
using Map1 = Mapping<1, 0, 2>;
using Map2 = Mapping<2, 1, 0>;

inline u8 Residual(int prediction, int actual) { return ZigZagByte(static_cast<u32>(prediction - actual) & 0xFF); }

template <class M>
void MakeRow0(const u8* row, u32 width, u8* out) {
    out[0] = row[0];
    out[1] = row[1];
    out[2] = row[2];
    for (u32 x = 1; x < width; ++x) {
        const u8* left = row + 3 * (x - 1);
        const u8* here = row + 3 * x;
        u8* r = out + 3 * x;
        r[0] = Residual(M::Q0(left), M::Q0(here));
        r[1] = Residual(M::Q1(left), M::Q1(here));
        r[2] = Residual(M::Q2(left), M::Q2(here));
    }
}

template <class M>
void MakeRow(const u8* above_row, const u8* row, u32 width, u8* out) {
    out[0] = Residual(M::Q0(above_row), M::Q0(row));
    out[1] = Residual(M::Q1(above_row), M::Q1(row));
    out[2] = Residual(M::Q2(above_row), M::Q2(row));
    for (u32 x = 1; x < width; ++x) {
        const u8* left = row + 3 * (x - 1);
        const u8* above = above_row + 3 * x;
        const u8* above_left = above_row + 3 * (x - 1);
        const u8* here = row + 3 * x;
        u8* r = out + 3 * x;
        r[0] = Residual(Med7(M::Q0(left), M::Q0(above), M::Q0(above_left)), M::Q0(here));
        r[1] = Residual(Med7(M::Q1(left), M::Q1(above), M::Q1(above_left)), M::Q1(here));
        r[2] = Residual(Med7(M::Q2(left), M::Q2(above), M::Q2(above_left)), M::Q2(here));
    }
}

template <class M>
void MakeAll(const u8* pixels, u32 width, u32 height, u8* residuals) {
    const size_t stride = size_t(width) * 3;
    MakeRow0<Map0>(pixels, width, residuals);
    for (u32 y = 1; y < height; ++y)
        MakeRow<M>(pixels + (y - 1) * stride, pixels + y * stride, width, residuals + y * stride);
}

// Rebuilds one pixel from its three predictions and residual codes.
template <int Base, int Other1, int Other2>
inline void RestorePixel(int pred0, int pred1, int pred2, const u8* codes, u8* pixel) {
    const int base = (pred0 - UnZigZagByte(codes[0])) & 0xFF;
    const int difference1 = (pred1 - UnZigZagByte(codes[1])) & 0xFF;
    const int difference2 = (pred2 - UnZigZagByte(codes[2])) & 0xFF;
    pixel[Base] = static_cast<u8>(base);
    pixel[Other1] = static_cast<u8>((base - difference1) & 0xFF);
    pixel[Other2] = static_cast<u8>((base - difference2) & 0xFF);
}

template <int B, int O1, int O2>
void RestoreRow(const u8* above_row, const u8* codes, u32 width, u8* row) {
    using M = Mapping<B, O1, O2>;
    RestorePixel<B, O1, O2>(M::Q0(above_row), M::Q1(above_row), M::Q2(above_row), codes, row);
    for (u32 x = 1; x < width; ++x) {
        const u8* left = row + 3 * (x - 1);
        const u8* above = above_row + 3 * x;
        const u8* above_left = above_row + 3 * (x - 1);
        RestorePixel<B, O1, O2>(Med7(M::Q0(left), M::Q0(above), M::Q0(above_left)),
                                Med7(M::Q1(left), M::Q1(above), M::Q1(above_left)),
                                Med7(M::Q2(left), M::Q2(above), M::Q2(above_left)), codes + 3 * x, row + 3 * x);
    }
}

void RestoreRow0(const u8* codes, u32 width, u8* row) {
    row[0] = codes[0];
    row[1] = codes[1];
    row[2] = codes[2];
    for (u32 x = 1; x < width; ++x) {
        const u8* left = row + 3 * (x - 1);
        RestorePixel<0, 2, 1>(Map0::Q0(left), Map0::Q1(left), Map0::Q2(left), codes + 3 * x, row + 3 * x);
    }
}

template <int B, int O1, int O2>
void RestoreAll(const u8* residuals, u32 width, u32 height, u8* pixels) {
    const size_t stride = size_t(width) * 3;
    RestoreRow0(residuals, width, pixels);
    for (u32 y = 1; y < height; ++y)
        RestoreRow<B, O1, O2>(pixels + (y - 1) * stride, residuals + y * stride, width, pixels + y * stride);
}

}  // namespace

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
    RestoreAll<0, 2, 1>(residuals, width, height, pixels);
}
void RestoreFromResidualsBase1(const u8* residuals, u32 width, u32 height, u8* pixels) {
    RestoreAll<1, 0, 2>(residuals, width, height, pixels);
}
void RestoreFromResidualsBase2(const u8* residuals, u32 width, u32 height, u8* pixels) {
    RestoreAll<2, 1, 0>(residuals, width, height, pixels);
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
    if (predictor == 1)
        RestoreFromResidualsBase1(residuals, width, height, pixels);
    else if (predictor == 2)
        RestoreFromResidualsBase2(residuals, width, height, pixels);
    else
        RestoreFromResidualsBase0(residuals, width, height, pixels);
}

}  // namespace pirn
