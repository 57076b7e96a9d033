#pragma once
// Plates: many bitmaps in one 8-bit image, on a grid marked out with index
// (or alpha value) 1.
//
//   - At least 6 x 6. Row 0 is 0 except pixel (1, 0), which is 1.
//   - Column 1 is 1 in every row; column 0 is 0 or 1. A row whose column 0
//     is 1 is a full line and is 1 throughout; row 1 and the last row are
//     full lines. The rows between two full lines form a band.
//   - The first row of a band, read from column 2, holds separators (1):
//     each closes the cell that began after the previous one (the first
//     cell begins at column 2).
//   - In a cell the lowest and the rightmost 1 give the bitmap's extent:
//     it starts one column and one row inside the cell and ends before
//     them. A cell with no 1 is empty. Cells are numbered row by row.
//
// The writer closes the last cell of every band with a separator too, so
// that what it writes reads back whole; a reader also takes a last cell
// left open at the row's end when it holds a 1.

#include <string>
#include <vector>

#include "collections/collection.h"
#include "platform/user_prompts.h"
#include "platform/image_file.h"
#include "platform/pixel_image.h"

namespace pirn {

constexpr u32 kMinPlateSide = 6;
constexpr u32 kPlateMarker = 1;
// Widest row the writer chooses by itself.
constexpr u32 kMaxPlateRowWidth = 32768;

struct PlateCell {
    bool empty = true;
    u32 x = 0, y = 0;  // the bitmap's top-left pixel
    u32 width = 0, height = 0;
};

// The cells of an 8-bit image read as a plate; false when it is not one.
bool ParsePlate(const PixelImage& image, std::vector<PlateCell>* cells);

// Where the writer puts each bitmap (null entries are empty cells).
// Sums in 64 bits: a plate of many wide bitmaps may not fit an image, which
// BuildPlateImage then refuses.
struct PlateLayout {
    u64 width = 0, height = 0;
    struct Cell {
        u64 x = 0;  // the cell's first column
        u32 band = 0;
    };
    std::vector<Cell> cells;
    std::vector<u64> band_top;     // first row of each band
    std::vector<u64> band_height;  // rows of each band, closing line included
};
// Cells left to right from column 2, bands from row 2; a cell is the
// bitmap's width + 3 wide and a band the tallest bitmap's height + 3 high;
// never less than 6 x 6 in all (empty cells alone would make less).
// A band ends after per_row cells, or without per_row (0) before a cell
// that would pass the row-width limit chosen among 1, 2, 3, 4, 6, 8, 12, ...
// up to 32768 for the plate closest to square.
PlateLayout LayOutPlate(const std::vector<const CollectionBitmap*>& bitmaps, u32 per_row);

// Draws the plate: a colour plate with the collection's table (transparent
// pixels 0 for RLE bitmaps, 1 for RAW ones), or an alpha plate (GL_ALPHA)
// of the alpha bytes. Null entries and bitmaps without pixels are empty
// cells. False when a bitmap is not of 2 bytes a pixel or the
// plate would be too large.
bool BuildPlateImage(const Collection& collection, const std::vector<const CollectionBitmap*>& bitmaps, bool alpha,
                     u32 per_row, PixelImage* image);

// The plate saved at path, in the type its extension names (type 0), or in
// `type` with its extension added. Errors are shown.
bool ExportPlate(const Collection& collection, const std::vector<const CollectionBitmap*>& bitmaps, bool alpha,
                 u32 per_row, const std::string& path, u32 type, UserPrompts& prompts);
// The save dialog's default name: the collection's name + " plate" or
// " alpha plate".
std::string DefaultPlateName(const Collection& collection, bool alpha);

// "Add Bitmap(s) from Plate" (selected empty) and "Replace from Plate"
// (cell i replaces selected bitmap i). The colour table takes the plate's
// palette as an import does, asking before replacing an incompatible one.
// New bitmaps are named "<file base name> #<cell number>"; empty cells add
// nothing but keep their place in `added` (null). Nothing changes on a
// failure. Answers the bitmaps added or replaced.
u32 ImportColorPlate(Collection* collection, ImageFile* file, const std::vector<CollectionBitmap*>& selected,
                     UserPrompts& prompts, std::vector<CollectionBitmap*>* added = nullptr);
// "Replace Alpha from Plate": every cell must match its bitmap's size.
bool ImportAlphaPlate(ImageFile* file, const std::vector<CollectionBitmap*>& bitmaps, UserPrompts& prompts);

}  // namespace pirn
