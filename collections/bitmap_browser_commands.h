#pragma once
// What the bitmap browser's commands do to the collection, apart from the
// window: the rows a page shows and their texts, the wording of its
// questions, and the bodies of the commands that change bitmaps. Import
// and export are in bitmap_import.h, bitmap_export.h and plate.h.

#include <string>
#include <vector>

#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

// The bitmaps a page shows, in collection order: shadows (flag 128) on the
// Shadows page, every other bitmap on the Bitmaps page.
bool IsShadowBitmap(const CollectionBitmap& bitmap);
std::vector<CollectionBitmap*> PageBitmaps(const Collection& collection, bool shadows);

// The table's texts of a bitmap: "%s bit" ("8" for 2 bytes a pixel, "16"
// with partial alpha, "32" for 4 bytes a pixel or more), "RLE" or "RAW",
// "%4d x %d".
std::string BitmapBitsText(const CollectionBitmap& bitmap);
const char* BitmapFormatText(const CollectionBitmap& bitmap);
std::string BitmapDimensionsText(const CollectionBitmap& bitmap);
// The page's label: "%3d %s%s:" with the row count and "Bitmap" or
// "Shadow", plural unless 1.
std::string BitmapCountLabel(size_t rows, bool shadows);

// How a question names the bitmaps it is about: "the only" when the page
// has one row, else "the selected" or "all".
const char* BitmapScopeWord(size_t pageRows, bool all);
// "Are you sure you want to crop %s bitmap%s?"
std::string CropQuestionText(size_t pageRows, size_t count, bool all);
// "Are you sure you want to remove %s %s%s?"
std::string DeleteQuestionText(size_t pageRows, size_t count, bool all, bool shadows);

// The first of the bitmaps that `isOpen` says is shown in a window, or null.
template <typename IsOpen>
CollectionBitmap* FirstOpenBitmap(const std::vector<CollectionBitmap*>& bitmaps, IsOpen isOpen) {
    for (CollectionBitmap* bitmap : bitmaps)
        if (isOpen(bitmap)) return bitmap;
    return nullptr;
}

// Convert to RLE (true) or RAW: sets or clears flag 4; whether any changed.
bool SetBitmapsRle(const std::vector<CollectionBitmap*>& bitmaps, bool rle);
// Remove Alpha: partial alpha dropped from each (DropPartialAlpha).
bool RemoveBitmapsAlpha(const std::vector<CollectionBitmap*>& bitmaps);

// Crop Transparency: each cropped to its opaque box. Counts the bitmaps
// cut and the pixels they lost; fully transparent bitmaps and RAW ones with
// power-of-two sides stay as they are.
struct CropOutcome {
    u32 cropped = 0;
    i64 pixels = 0;
};
CropOutcome CropBitmaps(Collection* collection, const std::vector<CollectionBitmap*>& bitmaps);

// Uncrop Transparency: sides from 1 to 4096.
constexpr u32 kMaxUncropSize = 4096;
// The typed size: a whole number in 1-4096 (blanks around it allowed).
bool ParseUncropSize(const std::string& text, u32* size);
// Pads a bitmap no larger than size x size to size x size with transparent
// pixels, the old ones centred at ((size - width) / 2, (size - height) / 2);
// every reference to it (registration and key points) moves with its
// pixels. False when the bitmap is larger or already that size.
bool UncropBitmap(Collection* collection, CollectionBitmap* bitmap, u32 size);
// The bitmaps padded.
u32 UncropBitmaps(Collection* collection, const std::vector<CollectionBitmap*>& bitmaps, u32 size);

// Delete: the bitmaps deleted (every reference to them emptied).
u32 DeleteBitmaps(Collection* collection, const std::vector<CollectionBitmap*>& bitmaps);

// A table row moved to row `row` of the page's rows: the bitmap goes to the
// collection index of the bitmap shown there, or one past the last row's
// bitmap when row is the row count. The final index, or kNotFound when it
// did not move.
u32 MoveBitmapToRow(Collection* collection, CollectionBitmap* bitmap, const std::vector<CollectionBitmap*>& rows,
                    u32 row);

}  // namespace pirn
