#pragma once
// What a bitmap that does not decode shows as: a 256 x 256 checkerboard of
// 16-pixel squares, so that it stays visible and editable and is written
// back as the checkerboard.

#include <memory>

#include "collections/collection.h"

namespace pirn {

constexpr u32 kPlaceholderSide = 256;

// A 256 x 256 bitmap of 2 bytes a pixel, flags 0, pixels all zero.
std::unique_ptr<CollectionBitmap> MakePlaceholderBitmap();
// Paints the checkerboard, alpha 255: pixels whose column and row agree in
// bit 4 take the first colour, the others the second. A shadow uses
// indices 0 and 255; a bitmap the table entries nearest to black and to
// white among 1-255.
void FillPlaceholderBitmap(const Collection& collection, CollectionBitmap* bitmap);

// The placeholders of one collection as it is loaded: every placeholder of
// a kind (bitmap or shadow) shares one checkerboard's bytes until it is
// edited, so a tag whose entries do not decode costs the pixels of two
// checkerboards, however many entries it has.
class PlaceholderBitmaps {
public:
    explicit PlaceholderBitmaps(const Collection& collection) : collection_(collection) {}
    // A filled placeholder; flags 0, or 128 for a shadow.
    std::unique_ptr<CollectionBitmap> Make(bool shadow);

private:
    const Collection& collection_;
    std::unique_ptr<CollectionBitmap> boards_[2];
};

}  // namespace pirn
