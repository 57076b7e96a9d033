#pragma once
// Conversions between a 2-byte bitmap's (alpha, colour index) pairs and the
// stored pixel bytes of the bitmap codec, the loops every decode and save
// spends its time in:
//   narrow  one byte, the index; index 0 is transparent;
//   wide    two bytes, the transparency nibble t (alpha (15 - t) x 17) and
//           the index.
// The pairs they make are normalised: alpha a multiple of 17, index 0 where
// alpha is 0.
//
// Each conversion has a plain form, one pixel at a time, which is its
// definition, and a vector form that works on 8 or 16 pixels at a time in
// SSE2 registers where the compiler has them (both of our x86 builds) and
// answers exactly what the plain form answers. They are inline because the
// codec calls them once per RLE run, and most runs are short.

#include <cstddef>
#include <cstring>

#include "platform/types.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pirn {

namespace plain_pairs {

// Narrow stored pixels to pairs: (255, i) for a non-zero index, (0, 0) else.
inline void PairsFromNarrow(const u8* stored, u8* pairs, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        pairs[2 * i] = stored[i] ? 255 : 0;
        pairs[2 * i + 1] = stored[i];
    }
}

// Wide stored pixels to pairs; answers whether some alpha lies strictly
// between 0 and 255.
inline bool PairsFromWide(const u8* stored, u8* pairs, size_t count) {
    bool partial = false;
    for (size_t i = 0; i < count; ++i) {
        const u8 level = static_cast<u8>(15 - (stored[2 * i] & 15));
        pairs[2 * i] = static_cast<u8>(level * 17);
        pairs[2 * i + 1] = level ? stored[2 * i + 1] : 0;
        partial |= level != 0 && level != 15;
    }
    return partial;
}

// Pairs in place: alpha to (alpha / 16) x 17, index 0 where that is 0;
// answers whether some alpha lies strictly between 0 and 255 afterwards.
inline bool NormalisePairs(u8* pairs, size_t count) {
    bool partial = false;
    for (size_t i = 0; i < count; ++i) {
        const u8 level = static_cast<u8>(pairs[2 * i] / 16);
        pairs[2 * i] = static_cast<u8>(level * 17);
        if (!level) pairs[2 * i + 1] = 0;
        partial |= level != 0 && level != 15;
    }
    return partial;
}

// Pairs to narrow stored pixels (the index, 0 where alpha is 0); returns the
// end of what was written.
inline u8* NarrowFromPairs(const u8* pairs, size_t count, u8* stored) {
    for (size_t i = 0; i < count; ++i) stored[i] = pairs[2 * i] ? pairs[2 * i + 1] : 0;
    return stored + count;
}

// Pairs to wide stored pixels (15 - alpha / 16, the index as it is).
inline u8* WideFromPairs(const u8* pairs, size_t count, u8* stored) {
    for (size_t i = 0; i < count; ++i) {
        stored[2 * i] = static_cast<u8>(15 - pairs[2 * i] / 16);
        stored[2 * i + 1] = pairs[2 * i + 1];
    }
    return stored + 2 * count;
}

// The maximal stretches of pairs with non-zero alpha in a row, left to
// right, as start and end (exclusive) columns into edges (room for width + 1
// values); answers the number of stretches. Widths up to 65535.
inline u32 FindOpaqueRuns(const u8* pairs, u32 width, u16* edges) {
    u32 runs = 0;
    for (u32 x = 0; x < width;) {
        if (pairs[2 * size_t{x}] == 0) {
            ++x;
            continue;
        }
        edges[2 * runs] = static_cast<u16>(x);
        while (x < width && pairs[2 * size_t{x}] != 0) ++x;
        edges[2 * runs + 1] = static_cast<u16>(x);
        ++runs;
    }
    return runs;
}

}  // namespace plain_pairs

// Whether NormalisePairs would leave the pairs as they are; `partial` tells
// whether some alpha lies strictly between 0 and 255.
inline bool PairsAreNormal(const u8* pairs, size_t count, bool* partial) {
    *partial = false;
    bool normal = true;
    for (size_t i = 0; i < count && normal; ++i) {
        const u8 level = static_cast<u8>(pairs[2 * i] / 16);
        normal = pairs[2 * i] == level * 17 && (level || pairs[2 * i + 1] == 0);
        *partial = *partial || (level != 0 && level != 15);
    }
    return normal;
}

// Narrow stored pixels to pairs through a table of 256 pairs (alpha from the
// colour table; not normalised).
inline void PairsFromNarrowTable(const u8* stored, u8* pairs, size_t count, const u8 table[256][2]) {
    for (size_t i = 0; i < count; ++i) std::memcpy(pairs + 2 * i, table[stored[i]], 2);
}

#ifdef __SSE2__

namespace pairs_sse2 {

inline __m128i Load(const u8* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(u8* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Of 16-bit lanes holding (alpha, index) pairs: the alpha byte alone, and
// all ones where it is zero.
inline __m128i AlphaLanes(__m128i pairs) { return _mm_and_si128(pairs, _mm_set1_epi16(0x00FF)); }
inline __m128i ZeroAlpha(__m128i pairs) { return _mm_cmpeq_epi16(AlphaLanes(pairs), _mm_setzero_si128()); }
inline __m128i IndexBytes(__m128i pairs) { return _mm_and_si128(pairs, _mm_set1_epi16(static_cast<short>(0xFF00))); }

// Pairs from 4-bit alpha levels (0-15, one per 16-bit lane) and the index
// bytes of the same lanes: alpha level x 17, index kept where the level is
// not 0. Notes in *partial lanes whose level lies strictly between 0 and
// 15: level + 1 has one of bits 1-3 set exactly for those.
inline __m128i PairsFromLevels(__m128i levels, __m128i with_index, __m128i* partial) {
    *partial = _mm_or_si128(*partial, _mm_add_epi16(levels, _mm_set1_epi16(1)));
    const __m128i none = _mm_cmpeq_epi16(levels, _mm_setzero_si128());
    return _mm_or_si128(_mm_mullo_epi16(levels, _mm_set1_epi16(17)), _mm_andnot_si128(none, IndexBytes(with_index)));
}
inline bool AnyPartial(__m128i partial) {
    return _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(partial, _mm_set1_epi16(0x000E)),
                                             _mm_setzero_si128())) != 0xFFFF;
}

// One bit per pixel of 16 pairs, set where alpha is non-zero.
inline u32 OpaqueBits(const u8* pairs) {
    const __m128i transparent = _mm_packs_epi16(ZeroAlpha(Load(pairs)), ZeroAlpha(Load(pairs + 16)));
    return ~static_cast<u32>(_mm_movemask_epi8(transparent)) & 0xFFFF;
}

// Runs step(i) over count items, width at a time, the last step moved back
// to end at count (overlapping what was done): every conversion here gives
// the same bytes when repeated, and that keeps short runs out of the
// one-pixel loop. Needs count >= width.
template <size_t width, typename Step>
inline void Steps(size_t count, Step step) {
    size_t i = 0;
    for (; i + width <= count; i += width) step(i);
    if (i < count) step(count - width);
}

}  // namespace pairs_sse2

inline void PairsFromNarrow(const u8* stored, u8* pairs, size_t count) {
    using namespace pairs_sse2;
    if (count < 8) return plain_pairs::PairsFromNarrow(stored, pairs, count);
    if (count < 16) {
        // Runs this short are common at the edges of sprites.
        return Steps<8>(count, [&](size_t i) {
            const __m128i index = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(stored + i));
            const __m128i alpha = _mm_andnot_si128(_mm_cmpeq_epi8(index, _mm_setzero_si128()), _mm_set1_epi8(-1));
            Store(pairs + 2 * i, _mm_unpacklo_epi8(alpha, index));
        });
    }
    Steps<16>(count, [&](size_t i) {
        const __m128i index = Load(stored + i);
        const __m128i alpha = _mm_andnot_si128(_mm_cmpeq_epi8(index, _mm_setzero_si128()), _mm_set1_epi8(-1));
        Store(pairs + 2 * i, _mm_unpacklo_epi8(alpha, index));
        Store(pairs + 2 * i + 16, _mm_unpackhi_epi8(alpha, index));
    });
}

inline bool PairsFromWide(const u8* stored, u8* pairs, size_t count) {
    using namespace pairs_sse2;
    if (count < 4) return plain_pairs::PairsFromWide(stored, pairs, count);
    __m128i partial = _mm_setzero_si128();
    if (count < 8) {
        Steps<4>(count, [&](size_t i) {
            const __m128i words = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(stored + 2 * i));
            const __m128i levels = _mm_xor_si128(_mm_and_si128(words, _mm_set1_epi16(15)), _mm_set1_epi16(15));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(pairs + 2 * i), PairsFromLevels(levels, words, &partial));
        });
        // The upper lanes held zeros: level 15, which is not partial.
        return AnyPartial(partial);
    }
    Steps<8>(count, [&](size_t i) {
        const __m128i words = Load(stored + 2 * i);
        const __m128i levels = _mm_xor_si128(_mm_and_si128(words, _mm_set1_epi16(15)), _mm_set1_epi16(15));
        Store(pairs + 2 * i, PairsFromLevels(levels, words, &partial));
    });
    return AnyPartial(partial);
}

inline bool NormalisePairs(u8* pairs, size_t count) {
    using namespace pairs_sse2;
    if (count < 8) return plain_pairs::NormalisePairs(pairs, count);
    __m128i partial = _mm_setzero_si128();
    // Saving normalises every bitmap, and most are normalised already:
    // leaving unchanged bytes unwritten keeps their memory clean.
    Steps<8>(count, [&](size_t i) {
        const __m128i words = Load(pairs + 2 * i);
        const __m128i normalised = PairsFromLevels(_mm_srli_epi16(AlphaLanes(words), 4), words, &partial);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(normalised, words)) != 0xFFFF) Store(pairs + 2 * i, normalised);
    });
    return AnyPartial(partial);
}

inline u8* NarrowFromPairs(const u8* pairs, size_t count, u8* stored) {
    using namespace pairs_sse2;
    if (count < 16) return plain_pairs::NarrowFromPairs(pairs, count, stored);
    auto lanes = [](__m128i words) { return _mm_andnot_si128(ZeroAlpha(words), _mm_srli_epi16(words, 8)); };
    Steps<16>(count, [&](size_t i) {
        Store(stored + i, _mm_packus_epi16(lanes(Load(pairs + 2 * i)), lanes(Load(pairs + 2 * i + 16))));
    });
    return stored + count;
}

inline u8* WideFromPairs(const u8* pairs, size_t count, u8* stored) {
    using namespace pairs_sse2;
    if (count < 8) return plain_pairs::WideFromPairs(pairs, count, stored);
    Steps<8>(count, [&](size_t i) {
        const __m128i words = Load(pairs + 2 * i);
        const __m128i transparency = _mm_sub_epi16(_mm_set1_epi16(15), _mm_srli_epi16(AlphaLanes(words), 4));
        Store(stored + 2 * i, _mm_or_si128(transparency, IndexBytes(words)));
    });
    return stored + 2 * count;
}

inline u32 FindOpaqueRuns(const u8* pairs, u32 width, u16* edges) {
    using namespace pairs_sse2;
    // Every change between transparent and opaque is an edge; they alternate
    // start, end, start... The pixel before column 0 counts as transparent.
    u32 count = 0;
    u32 inside = 0;
    u32 x = 0;
    for (; x + 16 <= width; x += 16) {
        const u32 bits = OpaqueBits(pairs + 2 * size_t{x});
        for (u32 change = (bits ^ ((bits << 1) | inside)) & 0xFFFF; change; change &= change - 1)
            edges[count++] = static_cast<u16>(x + static_cast<u32>(__builtin_ctz(change)));
        inside = bits >> 15;
    }
    for (; x < width; ++x) {
        const u32 opaque = pairs[2 * size_t{x}] != 0;
        if (opaque != inside) edges[count++] = static_cast<u16>(x);
        inside = opaque;
    }
    if (inside) edges[count++] = static_cast<u16>(width);
    return count / 2;
}

#else

inline void PairsFromNarrow(const u8* stored, u8* pairs, size_t count) {
    plain_pairs::PairsFromNarrow(stored, pairs, count);
}
inline bool PairsFromWide(const u8* stored, u8* pairs, size_t count) {
    return plain_pairs::PairsFromWide(stored, pairs, count);
}
inline bool NormalisePairs(u8* pairs, size_t count) { return plain_pairs::NormalisePairs(pairs, count); }
inline u8* NarrowFromPairs(const u8* pairs, size_t count, u8* stored) {
    return plain_pairs::NarrowFromPairs(pairs, count, stored);
}
inline u8* WideFromPairs(const u8* pairs, size_t count, u8* stored) {
    return plain_pairs::WideFromPairs(pairs, count, stored);
}
inline u32 FindOpaqueRuns(const u8* pairs, u32 width, u16* edges) {
    return plain_pairs::FindOpaqueRuns(pairs, width, edges);
}

#endif

}  // namespace pirn
