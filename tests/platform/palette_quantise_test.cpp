#include "platform/palette_quantise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "platform/palette_index.h"
#include "platform/palette_remap.h"
#include "platform/pixel_convert.h"
#include "platform/worker_team.h"

namespace pirn {
namespace {

PixelImage Make(u32 width, u32 height, u32 format, std::vector<u8> pixels) {
    PixelImage image;
    EXPECT_TRUE(SetImagePixels(&image, width, height, format, pixels.data()));
    return image;
}

i64 Distance(const u8* c, int r, int g, int b) {
    i64 dr = c[0] - r, dg = c[1] - g, db = c[2] - b;
    return dr * dr + dg * dg + db * db;
}

TEST(ColorHistogramTest, CountsAreDampedUpTheSortedPairs) {
    ColorList list;
    auto add = [&](u8 r, int times) {
        for (int i = 0; i < times; ++i) AddColor(&list, PackRgba(r, 0, 0, 255));
    };
    add(1, 100);
    add(2, 1);
    add(3, 10);
    const std::vector<CountColorPair>& histogram = BuildColorHistogram(&list);
    ASSERT_EQ(histogram.size(), 3u);
    EXPECT_EQ(histogram[0].count, 1u);
    EXPECT_EQ(PairRed(histogram[0]), 2);
    EXPECT_EQ(histogram[1].count, 2u);  // 10 capped at floor(1.5 x 1 + 1)
    EXPECT_EQ(PairRed(histogram[1]), 3);
    EXPECT_EQ(histogram[2].count, 4u);  // 100 capped at floor(1.5 x 2 + 1)
    EXPECT_TRUE(list.histogram_current);
    AddColor(&list, PackRgba(9, 9, 9, 255));
    EXPECT_FALSE(list.histogram_current);
}

TEST(ColorHistogramTest, OneColourAtSeveralOpacitiesIsOnePair) {
    PixelImage image = Make(4, 1, kFormatRgba, {5, 6, 7, 255, 5, 6, 7, 10, 5, 6, 7, 0, 1, 1, 1, 0});
    ColorList list;
    CollectOpaqueColors(&list, image);
    EXPECT_EQ(list.colors.size(), 2u);  // clear pixels are left out
    const std::vector<CountColorPair>& histogram = BuildColorHistogram(&list);
    ASSERT_EQ(histogram.size(), 1u);
    EXPECT_EQ(histogram[0].count, 2u);
    u8 palette[kPaletteBytes];
    EXPECT_EQ(QuantizePalette(&list, palette, 256), 1u);
    EXPECT_EQ(palette[0], 5);
    EXPECT_EQ(palette[2], 7);
}

TEST(QuantizePaletteTest, FewColoursComeBackExactlySortedByHue) {
    ColorList list;
    // Blue, red and green: hues 170, 0 and 85.
    AddColor(&list, PackRgba(0, 0, 255, 255));
    AddColor(&list, PackRgba(255, 0, 0, 255));
    AddColor(&list, PackRgba(0, 255, 0, 255));
    u8 palette[kPaletteBytes];
    std::memset(palette, 0xAA, sizeof palette);
    ASSERT_EQ(QuantizePalette(&list, palette, 5), 3u);
    const u8 expected[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<u8>(palette, palette + 15), std::vector<u8>(expected, expected + 15));
    EXPECT_EQ(palette[15], 0xAA);  // nothing written past entry n - 1

    // Twenty colours, some sharing a 5-bit cell, come back as themselves.
    ColorList twenty;
    std::set<std::vector<u8>> wanted;
    for (int i = 0; i < 20; ++i) {
        u8 r = static_cast<u8>(i * 12), g = static_cast<u8>(255 - i * 3), b = static_cast<u8>(i % 2);
        AddColor(&twenty, PackRgba(r, g, b, 255));
        wanted.insert({r, g, b});
    }
    ASSERT_EQ(QuantizePalette(&twenty, palette, 256), 20u);
    std::set<std::vector<u8>> got;
    for (int i = 0; i < 20; ++i) got.insert({palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2]});
    EXPECT_EQ(got, wanted);
}

TEST(QuantizePaletteTest, ColoursSharingWuCellsStillFillThePalette) {
    // Twenty tones, each in sixteen variants that differ only in the low
    // bits of red and green: 320 colours in twenty of Wu's cells.
    ColorList list;
    for (int tone = 0; tone < 20; ++tone) {
        for (int variant = 0; variant < 16; ++variant) {
            const u8 r = u8(tone * 8 % 256 + (variant & 3)), g = u8(tone * 40 % 256 + (variant >> 2)),
                     b = u8(tone * 96 % 256);
            for (int times = 0; times <= variant % 3; ++times) AddColor(&list, PackRgba(r, g, b, 255));
        }
    }
    u8 palette[kPaletteBytes];
    ASSERT_EQ(QuantizePalette(&list, palette, 256), 256u);
    i64 farthest = 0;
    for (const CountColorPair& p : BuildColorHistogram(&list)) {
        i64 nearest = 1 << 30;
        for (int c = 0; c < 256; ++c)
            nearest = std::min(nearest, Distance(palette + c * 3, PairRed(p), PairGreen(p), PairBlue(p)));
        farthest = std::max(farthest, nearest);
    }
    EXPECT_LE(farthest, 2);  // twenty entries alone leave colours 18 away
}

TEST(QuantizePaletteTest, ManyColoursGiveASettledWeightedKMeansPalette) {
    ColorList list;
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        u32 v = random();
        AddColor(&list, PackRgba(u8(v), u8(v >> 8), u8(v >> 16), 255));
    }
    u8 palette[kPaletteBytes];
    ASSERT_EQ(QuantizePalette(&list, palette, 256), 256u);

    // Each entry must be (to rounding) the weighted mean of the histogram
    // colours nearest to it, or nearly: the fixed point k-means settles
    // towards. Checked by brute force, independent of the accelerated
    // search.
    const std::vector<CountColorPair>& histogram = BuildColorHistogram(&list);
    std::vector<double> sum_r(256), sum_g(256), sum_b(256), weight(256);
    for (const CountColorPair& p : histogram) {
        int best = 0;
        for (int c = 1; c < 256; ++c) {
            if (Distance(palette + c * 3, PairRed(p), PairGreen(p), PairBlue(p)) <
                Distance(palette + best * 3, PairRed(p), PairGreen(p), PairBlue(p)))
                best = c;
        }
        sum_r[best] += double(p.count) * PairRed(p);
        sum_g[best] += double(p.count) * PairGreen(p);
        sum_b[best] += double(p.count) * PairBlue(p);
        weight[best] += p.count;
    }
    int off = 0;
    for (int c = 0; c < 256; ++c) {
        if (weight[c] == 0) continue;
        // Ties and rounding can shift a colour between neighbours; allow a
        // little slack but not a wrong palette.
        if (std::abs(sum_r[c] / weight[c] - palette[c * 3]) > 3 || std::abs(sum_g[c] / weight[c] - palette[c * 3 + 1]) > 3 ||
            std::abs(sum_b[c] / weight[c] - palette[c * 3 + 2]) > 3)
            ++off;
    }
    EXPECT_LE(off, 3);
}

// Plain weighted k-means: every colour measured against every centre in
// each pass, exact means, the current centre keeping a tie and otherwise
// the lower centre winning; until no colour changes cluster or a pass
// lowers the total squared error by less than a ten-thousandth of it (the
// error of each cluster from its integer sums, summed in palette order).
std::vector<u8> PlainKMeans(const std::vector<CountColorPair>& histogram, const std::vector<u8>& initial) {
    const size_t k = initial.size() / 3;
    std::vector<double> cr(k), cg(k), cb(k);
    for (size_t c = 0; c < k; ++c) {
        cr[c] = initial[c * 3];
        cg[c] = initial[c * 3 + 1];
        cb[c] = initial[c * 3 + 2];
    }
    std::vector<size_t> owner(histogram.size(), k);
    auto assign = [&] {
        bool changed = false;
        for (size_t i = 0; i < histogram.size(); ++i) {
            const CountColorPair& p = histogram[i];
            auto distance = [&](size_t c) {
                double dr = cr[c] - PairRed(p), dg = cg[c] - PairGreen(p), db = cb[c] - PairBlue(p);
                return dr * dr + dg * dg + db * db;
            };
            size_t best = owner[i] == k ? 0 : owner[i];
            double best_d = distance(best);
            for (size_t c = 0; c < k; ++c) {
                if (distance(c) < best_d) {
                    best_d = distance(c);
                    best = c;
                }
            }
            if (best != owner[i]) {
                owner[i] = best;
                changed = true;
            }
        }
        return changed;
    };
    // Moves the centres to the means and answers the total error.
    auto recentre = [&] {
        std::vector<i64> sr(k), sg(k), sb(k), s2(k), w(k);
        for (size_t i = 0; i < histogram.size(); ++i) {
            const CountColorPair& p = histogram[i];
            const i64 r = PairRed(p), g = PairGreen(p), b = PairBlue(p);
            sr[owner[i]] += i64(p.count) * r;
            sg[owner[i]] += i64(p.count) * g;
            sb[owner[i]] += i64(p.count) * b;
            s2[owner[i]] += i64(p.count) * (r * r + g * g + b * b);
            w[owner[i]] += p.count;
        }
        double error = 0;
        for (size_t c = 0; c < k; ++c) {
            if (w[c] == 0) continue;
            cr[c] = double(sr[c]) / double(w[c]);
            cg[c] = double(sg[c]) / double(w[c]);
            cb[c] = double(sb[c]) / double(w[c]);
            const double r = double(sr[c]), g = double(sg[c]), b = double(sb[c]);
            error += double(s2[c]) - (r * r + g * g + b * b) / double(w[c]);
        }
        return error;
    };
    assign();
    for (double error = recentre(); assign();) {
        const double now = recentre();
        if (error - now < 1e-4 * now) break;
        error = now;
    }
    std::vector<u8> result(k * 3);
    for (size_t c = 0; c < k; ++c) {
        result[c * 3] = static_cast<u8>(std::lround(cr[c]));
        result[c * 3 + 1] = static_cast<u8>(std::lround(cg[c]));
        result[c * 3 + 2] = static_cast<u8>(std::lround(cb[c]));
    }
    return result;
}

// The refinement and the remap share their work among threads; neither
// result may depend on how many.
constexpr u32 kThreadCounts[] = {1, 2, 3, 8};

class ThreadCountTest : public ::testing::Test {
protected:
    void TearDown() override { SetWorkerThreadCount(0); }
};

TEST_F(ThreadCountTest, KMeansRefinementEqualsPlainKMeans) {
    // Wide random colours, a tight cloud with many equal distances, and a
    // few heavy colours among light ones; starting palettes of several
    // sizes, some with duplicate entries.
    std::mt19937 random(5);
    struct Case {
        int colours, spread, centres;
        bool heavy;
    };
    for (const Case& c : {Case{3000, 256, 256, false}, Case{900, 12, 40, false}, Case{2000, 256, 7, true},
                          Case{500, 64, 2, false}, Case{800, 40, 1, true}, Case{1500, 100, 255, true}}) {
        ColorList list;
        for (int i = 0; i < c.colours; ++i) {
            u32 v = random();
            int times = c.heavy && i % 50 == 0 ? 200 : 1 + int(v >> 28);
            for (int t = 0; t < times; ++t)
                AddColor(&list, PackRgba(u8(v % c.spread), u8((v >> 8) % c.spread), u8((v >> 16) % c.spread), 255));
        }
        const std::vector<CountColorPair>& histogram = BuildColorHistogram(&list);
        std::vector<u8> initial(size_t(c.centres) * 3);
        for (u8& b : initial) b = static_cast<u8>(random() % c.spread);
        if (c.centres > 3) std::copy(initial.begin(), initial.begin() + 3, initial.begin() + 3);
        ASSERT_GT(histogram.size(), size_t(c.centres));
        const std::vector<u8> expected = PlainKMeans(histogram, initial);
        for (u32 threads : kThreadCounts) {
            SetWorkerThreadCount(threads);
            u8 refined[kPaletteBytes];
            ASSERT_EQ(RefinePaletteKMeans(histogram, initial.data(), c.centres, refined), u32(c.centres));
            EXPECT_EQ(std::vector<u8>(refined, refined + initial.size()), expected)
                << c.colours << " colours within " << c.spread << ", " << c.centres << " centres, " << threads
                << " threads";
        }
    }
}

// Black lies exactly as far from both centres (squared distance 2, whose
// root does not square back to 2), so it stays with the first, which it
// joined on the tie; moving it would pull the second centre to it.
TEST_F(ThreadCountTest, AColourHalfwayBetweenTwoCentresStaysWithItsOwn) {
    const std::vector<CountColorPair> histogram = {
        {1, PackRgba(0, 0, 0, 0)}, {1, PackRgba(2, 2, 0, 0)}, {1, PackRgba(1, 0, 1, 0)}};
    const u8 initial[6] = {1, 1, 0, 1, 0, 1};
    for (u32 threads : kThreadCounts) {
        SetWorkerThreadCount(threads);
        u8 refined[6];
        ASSERT_EQ(RefinePaletteKMeans(histogram, initial, 2, refined), 2u);
        EXPECT_EQ(std::vector<u8>(refined, refined + 6), std::vector<u8>(initial, initial + 6)) << threads;
    }
}

// Noisy gradients with many colours and uneven alpha, in shapes that give
// the threads whole rows, a single column, a single row and fewer rows than
// threads: quantised and dithered alike with every thread count.
TEST_F(ThreadCountTest, ConversionToPalettesIsTheSameForAnyThreadCount) {
    struct Shape {
        u32 width, height;
    };
    std::mt19937 random(11);
    for (const Shape& shape : {Shape{160, 120}, Shape{1, 300}, Shape{300, 1}, Shape{37, 5}}) {
        std::vector<u8> rgba(size_t(shape.width) * shape.height * 4);
        for (u32 y = 0; y < shape.height; ++y) {
            for (u32 x = 0; x < shape.width; ++x) {
                u8* p = &rgba[(size_t(y) * shape.width + x) * 4];
                p[0] = u8(std::min<u32>(255, x * 255 / std::max<u32>(1, shape.width - 1) + random() % 24));
                p[1] = u8(std::min<u32>(255, y * 255 / std::max<u32>(1, shape.height - 1) + random() % 24));
                p[2] = u8(random() % 256);
                p[3] = u8(random() % 4 == 0 ? 0 : 40 + random() % 216);
            }
        }
        const PixelImage source = Make(shape.width, shape.height, kFormatRgba, rgba);
        for (u32 format : {u32(kFormatColorIndex), u32(kFormatIndexAlpha)}) {
            SCOPED_TRACE(testing::Message() << shape.width << "x" << shape.height << " to " << format);
            PixelImage first;
            for (u32 threads : kThreadCounts) {
                SetWorkerThreadCount(threads);
                PixelImage converted;
                ASSERT_TRUE(CopyImageAs(&converted, source, format));
                if (threads == 1) {
                    first = std::move(converted);
                    continue;
                }
                EXPECT_EQ(converted.pixels, first.pixels) << threads << " threads";
                EXPECT_EQ(converted.palette, first.palette) << threads << " threads";
                EXPECT_EQ(converted.palette_count, first.palette_count);
            }
        }
    }
}

// A shared palette for many frames hands the frames out to the threads one
// each: every frame must come out as one thread alone dithers it.
TEST_F(ThreadCountTest, ManyImagesShareAPaletteAsOneThreadMakesIt) {
    std::mt19937 random(21);
    std::vector<PixelImage> frames;
    for (int k = 0; k < 24; ++k) {
        const u32 width = 20 + u32(random() % 30), height = 10 + u32(random() % 40);
        std::vector<u8> rgba(size_t(width) * height * 4);
        for (u8& b : rgba) b = u8(random());
        frames.push_back(Make(width, height, kFormatRgba, rgba));
    }
    std::vector<PixelImage> expected;
    for (u32 threads : kThreadCounts) {
        SetWorkerThreadCount(threads);
        std::vector<PixelImage> copies = frames;
        std::vector<PixelImage*> images;
        for (PixelImage& image : copies) images.push_back(&image);
        u8 palette[kPaletteBytes];
        ASSERT_GT(BuildSharedPalette(images, kFormatIndexAlpha, palette), 2u);
        if (threads == 1) {
            expected = std::move(copies);
            continue;
        }
        for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(copies[i].pixels, expected[i].pixels) << threads << " " << i;
    }
}

TEST(QuantizePaletteTest, EmptyListsAndOddCountsAreSafe) {
    ColorList empty;
    u8 palette[kPaletteBytes];
    std::memset(palette, 0xAA, sizeof palette);
    EXPECT_EQ(QuantizePalette(&empty, palette, 1000), 0u);  // n past 256 writes 256 entries at most
    EXPECT_EQ(palette[0], 0);
    EXPECT_EQ(palette[kPaletteBytes - 1], 0);
    EXPECT_EQ(WuQuantize({}, palette, 4), 0u);

    ColorList one;
    AddColor(&one, PackRgba(1, 2, 3, 255));
    EXPECT_EQ(QuantizePalette(&one, palette, 0), 0u);
    // Wu with k 0 still gives one box.
    EXPECT_EQ(WuQuantize(BuildColorHistogram(&one), palette, 0), 1u);
}

TEST(QuantizePaletteTest, WuSplitsTwoClustersIntoTheirWeightedMeans) {
    std::vector<CountColorPair> histogram = {
        {3, PackRgba(10, 10, 10, 0)}, {1, PackRgba(14, 10, 10, 0)},
        {1, PackRgba(200, 100, 0, 0)}, {1, PackRgba(210, 100, 0, 0)},
    };
    u8 palette[kPaletteBytes];
    ASSERT_EQ(WuQuantize(histogram, palette, 2), 2u);
    std::set<std::vector<u8>> got = {{palette[0], palette[1], palette[2]}, {palette[3], palette[4], palette[5]}};
    std::set<std::vector<u8>> expected = {{11, 10, 10}, {205, 100, 0}};
    EXPECT_EQ(got, expected);
}

TEST(PaletteIndexTest, NearestColourAgreesWithABruteForceScan) {
    std::mt19937 random(11);
    for (u32 count : {1u, 2u, 17u, 256u}) {
        u8 palette[kPaletteBytes];
        for (u8& b : palette) b = static_cast<u8>(random());
        // Duplicates and equal sums are the awkward cases.
        if (count > 4) std::memcpy(palette + 3, palette, 3);
        u32 first = count == 256 ? 0 : 3;
        PaletteIndex index;
        ASSERT_TRUE(BuildPaletteIndex(&index, palette, count, first));
        for (int q = 0; q < 4000; ++q) {
            int r = random() % 256, g = random() % 256, b = random() % 256;
            if (q < 8) r = g = b = q * 36;
            u8 got = NearestPaletteColor(index, r, g, b);
            ASSERT_GE(got, first);
            ASSERT_LT(got, first + count);
            i64 best = Distance(palette + first * 3, r, g, b);
            for (u32 i = first; i < first + count; ++i) best = std::min(best, Distance(palette + i * 3, r, g, b));
            ASSERT_EQ(Distance(palette + size_t(got) * 3, r, g, b), best) << count << " " << r << "," << g << "," << b;
        }
    }
}

TEST(PaletteIndexTest, BlackAndWhiteAndBadRanges) {
    u8 palette[kPaletteBytes] = {};
    palette[3] = palette[4] = palette[5] = 255;  // entry 1 white, entry 0 black
    PaletteIndex index;
    ASSERT_TRUE(BuildPaletteIndex(&index, palette, 2, 0));
    EXPECT_EQ(NearestPaletteColor(index, 10, 10, 10), 0);
    EXPECT_EQ(NearestPaletteColor(index, 0, 0, 0), 0);
    EXPECT_EQ(NearestPaletteColor(index, 200, 130, 130), 1);
    EXPECT_EQ(index.nearest_black, 0);

    EXPECT_FALSE(BuildPaletteIndex(&index, palette, 0, 0));
    EXPECT_FALSE(index.valid);
    EXPECT_EQ(NearestPaletteColor(index, 1, 2, 3), 0);  // an unusable index answers 0
    EXPECT_FALSE(BuildPaletteIndex(&index, palette, 7, 250));
    EXPECT_FALSE(BuildPaletteIndex(&index, palette, 1, 256));
    EXPECT_TRUE(BuildPaletteIndex(&index, palette, 6, 250));
}

// Palette black (0) and white (1); grey pixels.
PaletteIndex BlackWhite(u8* palette) {
    std::memset(palette, 0, kPaletteBytes);
    palette[3] = palette[4] = palette[5] = 255;
    PaletteIndex index;
    EXPECT_TRUE(BuildPaletteIndex(&index, palette, 2, 0));
    return index;
}

PixelImage Grey(u32 width, u32 height, std::vector<u8> values) {
    std::vector<u8> rgb;
    for (u8 v : values) rgb.insert(rgb.end(), {v, v, v});
    return Make(width, height, kFormatRgb, rgb);
}

TEST(DitherTest, ErrorSharesAreSixtyFourthsTruncatedTowardZero) {
    u8 palette[kPaletteBytes];
    PaletteIndex index = BlackWhite(palette);
    // 100 goes to black; 21/64 of 100 = 32.8 -> 32 reaches the right
    // neighbour: 95 + 32 = 127 stays black, 96 + 32 = 128 turns white.
    struct Case {
        u8 second;
        u8 expected;
    } cases[] = {{95, 0}, {96, 1}};
    for (const Case& c : cases) {
        PixelImage image = Grey(2, 1, {100, c.second});
        ASSERT_TRUE(DitherToPalette(&image, kFormatColorIndex, palette, 0, 2, index));
        EXPECT_EQ(image.pixels, (std::vector<u8>{0, c.expected})) << int(c.second);
    }
    // A one-pixel-wide column passes only 15/64 downward (23): 104 + 23 =
    // 127 stays black.
    PixelImage column = Grey(1, 2, {100, 104});
    ASSERT_TRUE(DitherToPalette(&column, kFormatColorIndex, palette, 0, 2, index));
    EXPECT_EQ(column.pixels, (std::vector<u8>{0, 0}));
    // Negative errors truncate toward zero too: 160 -> white, error -95;
    // 9/64 of it is -13.4 -> -13 below-left (141 -> 128, white; flooring
    // would give 127, black) and 15/64 is -22 below (150 -> 128). Then
    // (0,1) passes 21/64 of -127 = -41 right: 128 -> 87, black.
    PixelImage square = Grey(2, 2, {0, 160, 141, 150});
    ASSERT_TRUE(DitherToPalette(&square, kFormatColorIndex, palette, 0, 2, index));
    EXPECT_EQ(square.pixels, (std::vector<u8>{0, 1, 1, 0}));
}

TEST(DitherTest, IndexAlphaKeepsAlphaAndOtherTargetsFail) {
    u8 palette[kPaletteBytes];
    PaletteIndex index = BlackWhite(palette);
    PixelImage image = Make(2, 1, kFormatRgba, {250, 250, 250, 9, 3, 3, 3, 200});
    PixelImage before = image;
    EXPECT_FALSE(DitherToPalette(&image, kFormatAlpha, palette, 0, 2, index));
    EXPECT_FALSE(DitherToPalette(&image, kFormatIndexAlpha, palette, 0, 0, index));
    EXPECT_EQ(image.pixels, before.pixels);
    ASSERT_TRUE(DitherToPalette(&image, kFormatIndexAlpha, palette, 0, 2, index));
    EXPECT_EQ(image.pixels, (std::vector<u8>{9, 1, 200, 0}));
    EXPECT_EQ(image.palette_count, 2u);
}

TEST(SharedPaletteTest, ReservedEntriesAreNeverChosen) {
    // Pure blue and magenta equal the two reserved entries exactly.
    PixelImage a = Make(2, 1, kFormatRgb, {0, 0, 255, 255, 0, 255});
    PixelImage b = Make(2, 1, kFormatRgba, {10, 200, 30, 255, 0, 0, 0, 0});
    std::vector<PixelImage*> images = {&a, &b};
    u8 palette[kPaletteBytes];
    u32 count = BuildSharedPalette(images, -1, palette);
    ASSERT_EQ(count, 2u + 3u);
    EXPECT_EQ(std::vector<u8>(palette, palette + 6), (std::vector<u8>{0, 0, 255, 255, 0, 255}));
    EXPECT_EQ(a.format, kFormatColorIndex);
    EXPECT_EQ(b.format, kFormatIndexAlpha);
    EXPECT_EQ(a.palette_count, count);
    for (u8 index : a.pixels) EXPECT_GE(index, 2);
    EXPECT_GE(b.pixels[1], 2);
    const u8* blue = &palette[size_t(a.pixels[0]) * 3];
    EXPECT_EQ(std::vector<u8>(blue, blue + 3), (std::vector<u8>{0, 0, 255}));

    // Nothing opaque anywhere: still a usable result.
    PixelImage clear = Make(1, 1, kFormatRgba, {1, 2, 3, 0});
    std::vector<PixelImage*> none = {&clear};
    EXPECT_EQ(BuildSharedPalette(none, -1, palette), 2u);
    EXPECT_EQ(clear.format, kFormatIndexAlpha);
}

TEST(SharedPaletteTest, ImagesPaletteFillsOnlyTheAskedRange) {
    PixelImage a = Make(3, 1, kFormatRgb, {1, 1, 1, 100, 100, 100, 200, 200, 200});
    std::vector<PixelImage*> images = {&a};
    u8 palette[kPaletteBytes];
    std::memset(palette, 0xAA, sizeof palette);
    EXPECT_EQ(BuildImagesPalette(images, palette, 10, 12), 2u);
    EXPECT_EQ(palette[29], 0xAA);
    EXPECT_NE(palette[30], 0xAA);
    EXPECT_EQ(palette[36], 0xAA);
    EXPECT_EQ(BuildImagesPalette(images, palette, 12, 12), 0u);
    EXPECT_EQ(BuildImagesPalette(images, palette, 0, 1000), 3u);
}

}  // namespace
}  // namespace pirn
