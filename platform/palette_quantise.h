#pragma once
// Palettes of at most 256 colours from the opaque colours of one or many
// images: a damped histogram, Wu's quantiser, then weighted k-means.

#include <vector>

#include "platform/pixel_image.h"
#include "platform/sort.h"
#include "platform/types.h"

namespace pirn {

// Histogram entries are CountColorPair (platform/sort.h): a count and an
// RGB colour packed as red | green << 8 | blue << 16.
inline u8 PairRed(const CountColorPair& p) { return static_cast<u8>(p.color); }
inline u8 PairGreen(const CountColorPair& p) { return static_cast<u8>(p.color >> 8); }
inline u8 PairBlue(const CountColorPair& p) { return static_cast<u8>(p.color >> 16); }

struct ColorList {
    std::vector<u32> colors;  // RGBA, red in the low byte
    std::vector<CountColorPair> histogram;
    bool histogram_current = false;
};

inline u32 PackRgba(u8 r, u8 g, u8 b, u8 a) {
    return u32(r) | (u32(g) << 8) | (u32(b) << 16) | (u32(a) << 24);
}

void AddColor(ColorList* list, u32 rgba);
// Appends the colour of every pixel with non-zero alpha.
void CollectOpaqueColors(ColorList* list, const PixelImage& image);

// One pair per distinct RGB colour, sorted by count ascending, with each
// count capped at floor(1.5 x the previous capped count + 1) so that one
// huge background cannot take over the palette. Built once until colours
// are added.
const std::vector<CountColorPair>& BuildColorHistogram(ColorList* list);

// A palette of at most min(n, 256) colours as RGB triples, sorted by hue;
// entries from the result up to min(n, 256) - 1 are zeroed. When the list
// has no more distinct colours than that, they are the palette exactly;
// otherwise it has that many entries, those Wu's quantiser leaves unused
// going to the colours worst served. An empty list gives 0.
u32 QuantizePalette(ColorList* list, u8* palette, u32 n);

// Wu's quantiser on 33^3 moment tables; k 0 is taken as 1. Returns the
// number of boxes (fewer than k when the colours run out); 0 for an empty
// histogram.
u32 WuQuantize(const std::vector<CountColorPair>& histogram, u8* palette, u32 k);

// Weighted k-means over the histogram colours from the initial palette,
// run until no colour changes cluster or a pass lowers the total squared
// error by less than a ten-thousandth of it; the result is the means of
// the last assignment. The same for any number of worker threads. Returns
// the palette size.
u32 RefinePaletteKMeans(const std::vector<CountColorPair>& histogram, const u8* initial, u32 count,
                        u8* result);

// Reorders entries ascending by hue << 16 | saturation << 8 | value.
void SortPaletteByHsv(u8* palette, u32 count);

}  // namespace pirn
