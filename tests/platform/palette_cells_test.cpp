// The cell lists must give what the index's search gives for every colour,
// including which of two equally near entries wins.

#include "platform/palette_cells.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace pirn {
namespace {

struct PaletteCase {
    const char* name;
    std::vector<u8> palette;  // RGB triples from entry 0
    u32 first, count;
};

std::vector<PaletteCase> Palettes() {
    std::vector<PaletteCase> cases;
    std::mt19937 random(3);
    // A lattice: most colours between two entries are exactly as near to
    // both, with equal and with different brightness sums.
    std::vector<u8> lattice;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 7; ++b) lattice.insert(lattice.end(), {u8(r * 51), u8(g * 51), u8(b * 42)});
    cases.push_back({"lattice", lattice, 0, 252});
    // Entries one level apart, as a picture of a few close tones gives.
    std::vector<u8> close;
    for (int i = 0; i < 40; ++i) {
        const u8 tone[3] = {u8(random()), u8(random()), u8(random())};
        for (int j = 0; j < 6; ++j)
            close.insert(close.end(), {u8(std::min(255, tone[0] + j % 2)), u8(std::min(255, tone[1] + j / 2)), tone[2]});
    }
    cases.push_back({"close tones", close, 0, 240});
    // Random entries with duplicates, behind reserved ones.
    std::vector<u8> spread(kPaletteBytes);
    for (u8& b : spread) b = u8(random());
    for (int i = 10; i < 40; i += 3) std::copy_n(&spread[i * 3], 3, &spread[(i + 1) * 3]);
    cases.push_back({"random with duplicates", spread, 2, 254});
    cases.push_back({"one entry", {0, 0, 0, 0, 0, 0, 90, 20, 200}, 2, 1});
    cases.push_back({"black and white", {0, 0, 0, 255, 255, 255}, 0, 2});
    cases.push_back({"one colour twice", {7, 9, 11, 7, 9, 11}, 0, 2});
    return cases;
}

TEST(PaletteCellsTest, EveryColourGetsTheIndexsAnswer) {
    for (const PaletteCase& c : Palettes()) {
        SCOPED_TRACE(c.name);
        std::vector<u8> palette = c.palette;
        palette.resize(kPaletteBytes);
        PaletteIndex index;
        ASSERT_TRUE(BuildPaletteIndex(&index, palette.data(), c.count, c.first));
        PaletteCells cells(index);
        // Every third level, so that every cell is reached, and each
        // colour of one coarse cell; black is answered without a search.
        auto check = [&](int r, int g, int b) {
            ASSERT_EQ(cells.Nearest(r, g, b), NearestPaletteColor(index, r, g, b)) << r << "," << g << "," << b;
        };
        for (int r = 0; r < 256; r += 3)
            for (int g = 0; g < 256; g += 3)
                for (int b = 0; b < 256; b += 3) check(r, g, b);
        for (int r = 96; r < 112; ++r)
            for (int g = 32; g < 48; ++g)
                for (int b = 240; b < 256; ++b) check(r, g, b);
        check(0, 0, 0);
        check(255, 255, 255);
    }
}

}  // namespace
}  // namespace pirn
