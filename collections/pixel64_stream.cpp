#include "collections/pixel64_stream.h"

#include <algorithm>
#include <cstring>

namespace pirn {

namespace {

constexpr bool kLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

bool HasData(u8 code) { return code % 32 != 0; }
bool HasFollowers(u8 code) { return code % 32 == 0 || code % 32 == 31; }
// Whether a pixel of this code may follow one of the same code: only where
// the follower decodes as it would on its own.
bool FollowersKeepTheirCode(u8 code) { return code == 0 || code % 32 == 31; }

// On little-endian machines a pixel is handled as one 64-bit word (p0 in
// the low byte), and eight stream bytes starting at a code, read as one
// word, hold the code and the seven bytes that may follow it:
// [c, p2, p1, p0, p6, p5, p4, p7]. The two orders turn into each other by
// reversing bytes 0-3 and bytes 4-6.
inline u64 SwapStreamOrder(u64 word) {
    const u32 low = static_cast<u32>(word), high = static_cast<u32>(word >> 32);
    const u32 swapped_high = (__builtin_bswap32(high) >> 8) | (high & 0xFF000000u);
    return __builtin_bswap32(low) | (u64{swapped_high} << 32);
}

inline u64 LoadWord(const u8* p) {
    u64 word;
    std::memcpy(&word, p, sizeof word);
    return word;
}
inline void StoreWord(u8* p, u64 word) { std::memcpy(p, &word, sizeof word); }

// Drops p4-p7 of a pixel whose p2 is even.
inline u64 KeepCarried(u64 pixel) { return pixel & (((pixel >> 16) & 1) ? ~u64{0} : 0xFFFFFFFFull); }

// One pixel of the given code whose data bytes start at `at`, near the end
// of the stream: byte by byte. Answers the position after them, null when
// the stream ends inside them.
__attribute__((noinline)) const u8* TakePixelAtEnd(u8 code, const u8* at, const u8* end, u8* p) {
    std::memset(p, 0, 8);
    p[3] = code;
    if (end - at < 3) return nullptr;
    p[2] = at[0];
    p[1] = at[1];
    p[0] = at[2];
    at += 3;
    if (p[2] & 1) {
        if (end - at < 4) return nullptr;
        p[6] = at[0];
        p[5] = at[1];
        p[4] = at[2];
        p[7] = at[3];
        at += 4;
    }
    return at;
}

// One pixel of the given code whose data bytes start at `at`; `at - 1` is
// a byte of the stream (the code or the count before them), which lets the
// word load start there. Answers the position after the data bytes, null
// when the stream ends inside them. The next position depends only on the
// parity of the first data byte, which keeps the chain from one pixel to
// the next short.
inline const u8* TakePixel(u8 code, const u8* at, const u8* end, u8* pixel) {
    if (!kLittleEndian || end - at < 7) return TakePixelAtEnd(code, at, end, pixel);
    const u64 word = (LoadWord(at - 1) & ~u64{0xFF}) | code;
    StoreWord(pixel, KeepCarried(SwapStreamOrder(word)));
    return at + 3 + 4 * (at[0] & 1);
}

// Followers of one code, two at a time while the stream has room for both
// words: both lengths come from one load of the first follower's data,
// the second's parity being byte 3 or byte 7 of it. Answers how many were
// taken (even); `at` moves past them.
inline size_t TakePixelPairs(u8 code, size_t followers, const u8*& at, const u8* end, u8* pixels) {
    if (!kLittleEndian) return 0;
    const u8* p = at;
    size_t k = 0;
    for (; k + 2 <= followers && end - p >= 15; k += 2) {
        const u64 data = LoadWord(p);
        const u32 first_long = data & 1;
        const u32 second_long = (data >> (24 + 32 * first_long)) & 1;
        const u8* second = p + 3 + 4 * first_long;
        StoreWord(pixels + 8 * k, KeepCarried(SwapStreamOrder((LoadWord(p - 1) & ~u64{0xFF}) | code)));
        StoreWord(pixels + 8 * k + 8, KeepCarried(SwapStreamOrder((LoadWord(second - 1) & ~u64{0xFF}) | code)));
        p = second + 3 + 4 * second_long;
    }
    at = p;
    return k;
}

// p2, p1, p0 (and p6, p5, p4, p7 when p2 is odd) of one pixel at out.
u8* PutPixelData(const u8* p, u8* out) {
    if (kLittleEndian) {
        // Eight bytes are stored whatever the length; the bound leaves room.
        StoreWord(out, SwapStreamOrder(LoadWord(p)) >> 8);
        return out + ((p[2] & 1) ? 7 : 3);
    }
    out[0] = p[2];
    out[1] = p[1];
    out[2] = p[0];
    if (!(p[2] & 1)) return out + 3;
    out[3] = p[6];
    out[4] = p[5];
    out[5] = p[4];
    out[6] = p[7];
    return out + 7;
}

}  // namespace

bool DecodePixel64Stream(const u8* stream, size_t size, u8* pixels, size_t pixel_count) {
    if (pixel_count == 0) return true;
    if (size == 0) return false;
    const u8* at = stream;
    const u8* const end = stream + size;
    size_t i = std::min<size_t>(*at++, pixel_count);
    std::memset(pixels, 0, 8 * i);
    while (i < pixel_count) {
        if (at == end) return false;
        const u8 code = *at++;
        u8* pixel = pixels + 8 * i;
        if (HasData(code)) {
            at = TakePixel(code, at, end, pixel);
            if (!at) return false;
        } else {
            StoreWord(pixel, 0);
            pixel[3] = code;
        }
        ++i;
        if (!HasFollowers(code) || i == pixel_count) continue;
        if (at == end) return false;
        const size_t followers = std::min<size_t>(*at++, pixel_count - i);
        if (HasData(code)) {
            size_t k = TakePixelPairs(code, followers, at, end, pixels + 8 * i);
            for (; k < followers; ++k) {
                at = TakePixel(code, at, end, pixels + 8 * (i + k));
                if (!at) return false;
            }
        } else {
            std::memset(pixels + 8 * i, 0, 8 * followers);
        }
        i += followers;
    }
    return true;
}

u64 Pixel64StreamBound(size_t pixel_count) {
    // The leading count, then at most a code, seven data bytes and a count
    // per pixel, the closing zero, and the spare bytes of a word store.
    return 9 * u64{pixel_count} + 2 + 8;
}

u8* EncodePixel64Stream(const u8* pixels, size_t pixel_count, u8* out) {
    size_t i = 0;
    while (i < pixel_count && i < 255 && pixels[8 * i + 3] == 0) ++i;
    *out++ = static_cast<u8>(i);
    while (i < pixel_count) {
        const u8* p = &pixels[8 * i];
        const u8 code = p[3];
        *out++ = code;
        if (HasData(code)) out = PutPixelData(p, out);
        ++i;
        if (!HasFollowers(code)) continue;
        size_t followers = 0;
        if (FollowersKeepTheirCode(code))
            while (i + followers < pixel_count && followers < 255 && pixels[8 * (i + followers) + 3] == code)
                ++followers;
        *out++ = static_cast<u8>(followers);
        if (HasData(code))
            for (size_t k = 0; k < followers; ++k) out = PutPixelData(&pixels[8 * (i + k)], out);
        i += followers;
    }
    *out++ = 0;
    return out;
}

void EncodePixel64Stream(const u8* pixels, size_t pixel_count, std::vector<u8>* out) {
    const size_t start = out->size();
    out->resize(start + static_cast<size_t>(Pixel64StreamBound(pixel_count)));
    const u8* end = EncodePixel64Stream(pixels, pixel_count, out->data() + start);
    out->resize(static_cast<size_t>(end - out->data()));
}

}  // namespace pirn
