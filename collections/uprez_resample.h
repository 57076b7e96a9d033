#pragma once
// Resizing a labelled high-resolution picture into the 64-bit pixel form
// the game draws high-resolution bitmaps with: per pixel up to two colours
// (each plain RGB, or HSV when it belongs to a hue change, so the game can
// shift its hue), their blend and the alpha.
//
//   p0 p1 p2  first colour (lowest bit of p2: a second colour follows)
//   p3        alpha in 5 bits + 32 x the first colour's hue number
//   p4 p5 p6  second colour
//   p7        its weight in 64ths (at most 31) + 32 x its hue number

#include <vector>

#include "platform/pixel_image.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kUpResPixelBytes = 8;

// The sums one label gathers over a destination pixel's footprint.
struct UpResLabelSum {
    double weight = 0;
    double red = 0;
    double green = 0;
    double blue = 0;
};

// The two labels of largest weight among `listed` (in the order first
// met): the first two start as first and second, the later one first only
// when heavier; each further label heavier than the second replaces it and
// then trades places with the first when at least as heavy. second is -1
// with only one label.
void RankUpResLabels(const std::vector<u8>& listed, const UpResLabelSum* sums, int* first, int* second);

// One destination pixel from its colours (0-255 scale, unrounded), labels,
// the second colour's share q and the alpha. second_label -1: none.
void PackUpResPixel(const double first[3], u8 first_label, const double second[3], int second_label, double q,
                    double alpha, u8 out[kUpResPixelBytes]);

// Resamples an RGBA picture (sw x sh) with its label plane into dw x dh
// pixels of 8 bytes: a box filter when shrinking, bilinear when growing.
void ResampleUpResImage(const PixelImage& rgba, const std::vector<u8>& labels, u32 dw, u32 dh, std::vector<u8>* out);

}  // namespace pirn
