#pragma once
// Cells of the colour cube and the palette entries that can be nearest
// inside one: the k-means refinement starts from them, and error diffusion
// finds its nearest entries through them.

#include <cstdlib>
#include <vector>

#include "platform/palette_index.h"
#include "platform/pixel_image.h"
#include "platform/types.h"

namespace pirn {

// The entries among `from` (positions in `centres`, RGB triples) that can
// be among the `rank` nearest (1 to 3) anywhere in the cube of `size`
// levels a side from `low`: an entry farther from every point of the cube
// than `rank` others are at most cannot. Writes them to `out` in the order
// of `from` and returns how many there are.
u32 CubeCandidates(const u8* centres, const u8* from, u32 n, const i32* low, i32 size, u32 rank, u8* out);

// The answer of NearestPaletteColor over the same index, found by
// measuring only the entries that can be nearest in the query's cell of 8
// levels a side. A cell's list is made the first time a query lands in it,
// from the list of the 16-level cell around it, so a picture pays only for
// the cells its colours reach. Where two entries are equally near, the one
// the index's search would meet first wins, so the answers are the same in
// every case.
class PaletteCells {
public:
    explicit PaletteCells(const PaletteIndex& index);

    u8 Nearest(int r, int g, int b) {
        const i32 sum = r + g + b;
        if (sum == 0) return index_.nearest_black;
        const u32 cell = (u32(r) >> kFine << (2 * kFineBits)) | (u32(g) >> kFine << kFineBits) | (u32(b) >> kFine);
        if (fine_start_[cell] == kNotMade) MakeFineCell(cell);
        const u8* list = &lists_[fine_start_[cell]];
        const u32 size = fine_size_[cell];
        i32 best = 1 << 30;
        u32 nearest = 0;
        for (u32 j = 0; j < size; ++j) {
            const u8* c = &colours_[list[j] * 3];
            const i32 dr = i32(c[0]) - r, dg = i32(c[1]) - g, db = i32(c[2]) - b;
            const i32 d = dr * dr + dg * dg + db * db;
            if (d < best || (d == best && SeenFirst(list[j], nearest, sum))) {
                best = d;
                nearest = list[j];
            }
        }
        return ids_[nearest];
    }

private:
    static constexpr u32 kFine = 3, kCoarse = 4;  // cell sizes as shifts
    static constexpr u32 kFineBits = 8 - kFine, kCoarseBits = 8 - kCoarse;
    static constexpr u32 kNotMade = 0xFFFFFFFFu;

    // Whether the index's search, for a colour of brightness sum `sum`,
    // meets entry a before entry b: it goes outward from the sum, the
    // nearer brightness first, on equal ones the darker side first; below
    // the sum downward through the sorted entries, above it upward.
    bool SeenFirst(u32 a, u32 b, i32 sum) const {
        const i32 gap_a = std::abs(sum - sums_[a]), gap_b = std::abs(sum - sums_[b]);
        if (gap_a != gap_b) return gap_a < gap_b;
        const bool below_a = sums_[a] <= sum, below_b = sums_[b] <= sum;
        if (below_a != below_b) return below_a;
        return below_a ? a > b : a < b;
    }
    void MakeFineCell(u32 cell);
    u32 MakeCoarseCell(u32 cell);

    const PaletteIndex& index_;
    u32 count_ = 0;
    u8 colours_[kPaletteEntries * 3] = {};  // the index's entries as RGB triples
    u8 ids_[kPaletteEntries] = {};          // their palette positions
    i32 sums_[kPaletteEntries] = {};        // their brightness sums
    std::vector<u32> fine_start_, coarse_start_;
    std::vector<u16> fine_size_, coarse_size_;
    std::vector<u8> lists_;  // every made cell's list, one after another
};

}  // namespace pirn
