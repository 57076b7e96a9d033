#pragma once
// Small collections for the drawing tests, built through the model's own
// calls: a colour table with a pure red, green, blue, grey and white, a
// "team colour" hue change that turns pure red into pure blue, and bitmaps
// of single colours, shadows and 64-bit pixels whose expected looks are
// worked out by hand in the tests.

#include <vector>

#include "collections/collection.h"

namespace drawing_fixture {

using namespace pirn;

enum Entry : u8 {
    kRed = 2,
    kGreen = 3,
    kBlue = 4,
    kGrey = 5,
    kWhite = 6,
};

inline void FillTable(Collection* c) {
    const u8 table[][3] = {{0, 0, 0}, {0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {128, 128, 128}, {255, 255, 255}};
    for (u32 i = 0; i < 7; ++i)
        for (int k = 0; k < 3; ++k) c->colors[3 * i + k] = table[i][k];
}

// Reds (hue 0, on both sides of the turn) become the replacement's hue,
// pure blue: new hue = (hue - median 0) + 2/3 turn.
inline CollectionHueChange* AddRedToBlue(Collection* c) {
    CollectionHueChange* hue = AddHueChange(c, "Team Color");
    hue->start_hue = 0xF000;
    hue->end_hue = 0x1000;
    hue->median_hue = 0;
    hue->minimum_saturation = 0x2000;
    hue->replacement_red = 0;
    hue->replacement_green = 0;
    hue->replacement_blue = 0xFFFF;
    hue->replacement_flags = 1;
    return hue;
}

// A w x h bitmap of 2-byte pixels all of one index and alpha.
inline CollectionBitmap* AddSolid(Collection* c, const char* name, u32 w, u32 h, u8 index, u8 alpha = 255,
                                  u16 flags = 0) {
    std::vector<u8> pixels(size_t{w} * h * 2);
    for (size_t i = 0; i < pixels.size(); i += 2) {
        pixels[i] = alpha;
        pixels[i + 1] = index;
    }
    return AddCollectionBitmap(c, name, flags, pixels.data(), w, h, 2, nullptr);
}

// Left half one index, right half another (top and bottom halves with
// byRows): tells mirrored drawing apart.
inline CollectionBitmap* AddSplit(Collection* c, const char* name, u32 w, u32 h, u8 first, u8 second,
                                  bool byRows = false) {
    std::vector<u8> pixels(size_t{w} * h * 2);
    for (u32 y = 0; y < h; ++y)
        for (u32 x = 0; x < w; ++x) {
            u8* p = &pixels[(size_t{y} * w + x) * 2];
            p[0] = 255;
            p[1] = (byRows ? y < h / 2 : x < w / 2) ? first : second;
        }
    return AddCollectionBitmap(c, name, 0, pixels.data(), w, h, 2, nullptr);
}

// A bitmap of 8-byte pixels, all the same.
inline CollectionBitmap* AddDeep(Collection* c, const char* name, u32 w, u32 h, const u8 (&pixel)[8]) {
    std::vector<u8> pixels(size_t{w} * h * 8);
    for (size_t i = 0; i < pixels.size(); i += 8)
        for (int k = 0; k < 8; ++k) pixels[i + size_t(k)] = pixel[k];
    return AddCollectionBitmap(c, name, 0, pixels.data(), w, h, 8, nullptr);
}

}  // namespace drawing_fixture
