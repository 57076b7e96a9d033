// The decoder: residuals are read and pixels restored in one pass, a block
// segment (up to 8 pixels of a row sharing their parameters) at a time.
// Segments whose residuals are all zero cost no reading, and in flat areas
// they are plain copies of the row above.

#include <algorithm>
#include <cstring>
#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "models/dtex_bit_stream.h"
#include "models/dtex_decoder.h"
#include "models/dtex_predictors.h"
#include "models/dtex_rice.h"
#include "models/dtex_row_restorer.h"

namespace pirn {

namespace {

struct ZeroCodes {
    u32 operator()(u32) const { return 0; }
};

template <class M>
[[gnu::always_inline]] inline bool DecodePixels(DtexBitReader& in, const u8* params, u32 width, u32 height,
                                                u8* pixels) {
    // Locals, so that their state stays in registers.
    DtexBitReader reader = in;
    dtex_rows::RowRestorer<M> restorer(pixels, width, height);
    const u32 columns = DtexBlockCount(width);
    for (u32 y = 0; y < height; ++y) {
        restorer.BeginRow(y);
        const u8* block_params = params + size_t(y / kDtexBlockSide) * columns * 3;
        for (u32 b = 0; b < columns; ++b, block_params += 3) {
            const u32 x0 = b * kDtexBlockSide;
            const u32 x1 = std::min(width, x0 + kDtexBlockSide);
            const u32 k0 = block_params[0], k1 = block_params[1], k2 = block_params[2];
            if ((k0 & k1 & k2) == kDtexAllZero) {
                if (y > 0 && restorer.CopiesAbove(x0, x1))
                    restorer.CopyAbove(x0, x1);
                else
                    restorer.Restore(x0, x1, ZeroCodes());
            } else if (k0 != kDtexAllZero && k1 != kDtexAllZero && k2 != kDtexAllZero &&
                       reader.HasWordsFor(3 * (x1 - x0))) {
                // Nearly always: no bound checks and no empty channels.
                const u32 ks[3] = {k0, k1, k2};
                restorer.Restore(x0, x1, [&reader, &ks](u32 c) { return reader.ReadRiceInside(ks[c]); });
            } else {
                const u32 ks[3] = {k0, k1, k2};
                restorer.Restore(x0, x1, [&reader, &ks](u32 c) { return ReadRiceValue(reader, ks[c]); });
            }
        }
        restorer.EndRow();
        if (reader.failed()) return false;
    }
    in = reader;
    return true;
}

// The pixel loop for one instruction set; the loop is compiled once per
// set.
template <class M>
bool DecodePixelsBaseline(DtexBitReader& in, const u8* params, u32 width, u32 height, u8* pixels) {
    return DecodePixels<M>(in, params, width, height, pixels);
}

#if defined(__x86_64__) || defined(__i386__)
template <class M>
[[gnu::target("lzcnt,bmi,bmi2")]] bool DecodePixelsBitManipulation(DtexBitReader& in, const u8* params, u32 width,
                                                                    u32 height, u8* pixels) {
    return DecodePixels<M>(in, params, width, height, pixels);
}
#endif

template <class M>
bool DecodePixelsWith(DtexInstructions instructions, DtexBitReader& in, const u8* params, u32 width, u32 height,
                      u8* pixels) {
#if defined(__x86_64__) || defined(__i386__)
    if (instructions == DtexInstructions::kBitManipulation && HasDtexBitManipulation())
        return DecodePixelsBitManipulation<M>(in, params, width, height, pixels);
#endif
    return DecodePixelsBaseline<M>(in, params, width, height, pixels);
}

}  // namespace

bool HasDtexBitManipulation() {
#if defined(__x86_64__) || defined(__i386__)
    // From cpuid itself: not every compiler's __builtin_cpu_supports knows
    // "lzcnt". LZCNT is ABM (0x80000001 ECX bit 5); BMI1 and BMI2 are leaf 7
    // EBX bits 3 and 8.
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(0x80000001u, &a, &b, &c, &d) || !(c & (1u << 5))) return false;
        if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
        return (b & (1u << 3)) != 0 && (b & (1u << 8)) != 0;
    }();
    return has;
#else
    return false;
#endif
}

bool DecodeDtexStream(const u32* words, size_t word_count, std::vector<u8>* pixels, u32* width, u32* height) {
    return DecodeDtexStreamWith(DtexInstructions::kBitManipulation, words, word_count, pixels, width, height);
}

bool DecodeDtexStreamWith(DtexInstructions instructions, const u32* words, size_t word_count, std::vector<u8>* pixels,
                          u32* width, u32* height) {
    if (!words || word_count == 0) return false;
    const u32 header = words[0];
    const u32 w = header >> 20;
    const u32 h = (header >> 8) & 0xFFF;
    const u32 predictor = (header >> 6) & 3;
    if (w == 0 || h == 0 || predictor >= kDtexPredictorCount) return false;
    const size_t block_count = size_t(DtexBlockCount(w)) * DtexBlockCount(h);
    // The parameters alone must fit in the words given before any pixel
    // memory is taken.
    if (kDtexHeaderBits + u64(kDtexBlockParameterBits) * block_count > u64(word_count) * 32) return false;

    DtexBitReader reader(words, word_count);
    std::vector<u8> params(block_count * 3);
    for (u8& k : params) k = static_cast<u8>(reader.ReadBits(3));
    if (reader.failed()) return false;

    std::vector<u8> decoded(size_t(w) * h * 3);
    bool ok;
    if (predictor == 0)
        ok = DecodePixelsWith<dtex_rows::Map0>(instructions, reader, params.data(), w, h, decoded.data());
    else if (predictor == 1)
        ok = DecodePixelsWith<dtex_rows::Map1>(instructions, reader, params.data(), w, h, decoded.data());
    else
        ok = DecodePixelsWith<dtex_rows::Map2>(instructions, reader, params.data(), w, h, decoded.data());
    if (!ok) return false;
    pixels->swap(decoded);
    *width = w;
    *height = h;
    return true;
}

}  // namespace pirn
