#pragma once
// A second, deliberately plain encoder of the detail-texture stream, written
// from the format description alone (bit lists, 256-entry histograms, one
// pixel at a time) so that the program's encoder is checked against
// something other than its own decoder.

#include <algorithm>
#include <vector>

#include "platform/types.h"

namespace dtex_reference {

using pirn::u32;
using pirn::u8;

struct Bits {
    std::vector<int> bits;
    // Fits: most significant bit first. Otherwise the low m bits end the
    // word and the high bits start the next.
    void Field(u32 value, u32 n) {
        const u32 room = 32 - u32(bits.size() % 32);
        if (n <= room) {
            for (u32 i = n; i-- > 0;) bits.push_back((value >> i) & 1);
            return;
        }
        const u32 low = value & ((1u << room) - 1);
        for (u32 i = room; i-- > 0;) bits.push_back((low >> i) & 1);
        const u32 high = value >> room;
        for (u32 i = n - room; i-- > 0;) bits.push_back((high >> i) & 1);
    }
};

inline int Med7(int l, int a, int q) {
    int mx = std::max(l, a), mn = std::min(l, a);
    if (q >= mx) return (7 * mn + mx) >> 3;
    if (q <= mn) return (7 * mx + mn) >> 3;
    return l + a - q;
}

// Quantity c (0 base, 1 and 2 differences) of a pixel under predictor p.
inline int Quantity(const u8* px, int p, int c) {
    static const int kOther[3][2] = {{2, 1}, {0, 2}, {1, 0}};
    if (c == 0) return px[p];
    return int(px[p]) - int(px[kOther[p][c - 1]]);
}

inline std::vector<u8> Residuals(const std::vector<u8>& pixels, u32 w, u32 h, int p) {
    std::vector<u8> out(pixels.size());
    auto at = [&](u32 x, u32 y) { return &pixels[(size_t(y) * w + x) * 3]; };
    for (u32 y = 0; y < h; ++y)
        for (u32 x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                size_t i = (size_t(y) * w + x) * 3 + size_t(c);
                if (x == 0 && y == 0) {
                    out[i] = pixels[i];
                    continue;
                }
                int map = y == 0 ? 0 : p;
                int actual = Quantity(at(x, y), map, c);
                int pred;
                if (y == 0)
                    pred = Quantity(at(x - 1, y), map, c);
                else if (x == 0)
                    pred = Quantity(at(x, y - 1), map, c);
                else
                    pred = Med7(Quantity(at(x - 1, y), map, c), Quantity(at(x, y - 1), map, c),
                                Quantity(at(x - 1, y - 1), map, c));
                int r = ((pred - actual) % 256 + 256) % 256;
                int s = r >= 128 ? r - 256 : r;
                out[i] = u8(s >= 0 ? 2 * s : -2 * s - 1);
            }
    return out;
}

struct Choice {
    u32 k;
    unsigned long cost;
};

inline Choice ChooseK(const std::vector<int>& histogram, u32 count) {
    if (u32(histogram[0]) == count) return {7, 0};
    Choice best{0, 0};
    for (u32 k = 0; k <= 6; ++k) {
        unsigned long cost = 0;
        for (u32 v = 0; v < 256; ++v) cost += (unsigned long)histogram[v] * ((v >> k) + 1 + k);
        if (k > 0 && cost > best.cost) break;
        best = {k, cost};
    }
    return best;
}

// The stored bytes: little-endian L, then little-endian words.
inline std::vector<u8> Encode(const std::vector<u8>& pixels, u32 w, u32 h) {
    u32 bw = (w + 7) / 8, bh = (h + 7) / 8;
    int best_p = -1;
    unsigned long best_total = 0;
    std::vector<u32> best_k;
    std::vector<u8> best_res;
    for (int p = 0; p < 3; ++p) {
        std::vector<u8> res = Residuals(pixels, w, h, p);
        std::vector<u32> ks;
        unsigned long total = 9ul * bw * bh;
        for (u32 by = 0; by < bh; ++by)
            for (u32 bx = 0; bx < bw; ++bx)
                for (int c = 0; c < 3; ++c) {
                    std::vector<int> histogram(256, 0);
                    u32 count = 0;
                    for (u32 y = by * 8; y < std::min(h, by * 8 + 8); ++y)
                        for (u32 x = bx * 8; x < std::min(w, bx * 8 + 8); ++x, ++count)
                            ++histogram[res[(size_t(y) * w + x) * 3 + size_t(c)]];
                    Choice choice = ChooseK(histogram, count);
                    ks.push_back(choice.k);
                    total += choice.cost;
                }
        if (best_p < 0 || total < best_total) {
            best_p = p;
            best_total = total;
            best_k = ks;
            best_res = res;
        }
    }
    Bits out;
    out.Field(w, 12);
    out.Field(h, 12);
    out.Field(u32(best_p), 2);
    for (u32 k : best_k) out.Field(k, 3);
    for (u32 y = 0; y < h; ++y)
        for (u32 x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                u32 k = best_k[((y / 8) * bw + x / 8) * 3 + u32(c)];
                if (k == 7) continue;
                u32 v = best_res[(size_t(y) * w + x) * 3 + size_t(c)];
                for (u32 q = v >> k; q > 0; --q) out.Field(1, 1);
                out.Field(0, 1);
                if (k > 0) out.Field(v & ((1u << k) - 1), k);
            }
    while (out.bits.size() % 32) out.bits.push_back(0);
    for (int i = 0; i < 32; ++i) out.bits.push_back(0);
    u32 length = u32(out.bits.size() / 8);
    std::vector<u8> bytes = {u8(length), u8(length >> 8), u8(length >> 16), u8(length >> 24)};
    for (size_t word = 0; word < out.bits.size() / 32; ++word) {
        u32 value = 0;
        for (int i = 0; i < 32; ++i) value = (value << 1) | u32(out.bits[word * 32 + size_t(i)]);
        for (int i = 0; i < 4; ++i) bytes.push_back(u8(value >> (8 * i)));
    }
    return bytes;
}

}  // namespace dtex_reference
