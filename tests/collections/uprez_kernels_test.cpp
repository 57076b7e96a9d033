// The numeric parts of the high-resolution builder: hue labels and their
// clean-up walk, the resampler with its ranking and 64-bit pixel packing,
// the global scale search and the names tried for alpha files.

#include <gtest/gtest.h>

#include <cmath>

#include "collections/high_res_image.h"
#include "collections/hue_regions.h"
#include "collections/uprez_resample.h"
#include "collections/uprez_scale.h"
#include "platform/colour_space.h"

namespace pirn {
namespace {

constexpr u8 N = kLabelNoHue;

// A width x height plane of N with label 0 at the given pixels.
std::vector<u8> Plane(u32 width, u32 height, const std::vector<std::pair<u32, u32>>& pixels, u8 label = 0) {
    std::vector<u8> plane(size_t(width) * height, N);
    for (auto [x, y] : pixels) plane[size_t(y) * width + x] = label;
    return plane;
}

TEST(HueRegions, SmallSpecksLoseTheirLabel) {
    struct Case {
        const char* shape;
        std::vector<std::pair<u32, u32>> pixels;
        bool kept;
    };
    const Case cases[] = {
        {"2 x 2 block", {{3, 3}, {4, 3}, {3, 4}, {4, 4}}, true},
        {"row of six", {{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}}, true},
        {"row of five", {{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}, false},
        {"L of three", {{2, 2}, {2, 3}, {3, 3}}, false},
        {"T of four", {{2, 2}, {3, 2}, {4, 2}, {3, 3}}, true},
        {"diagonal of six", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}, true},
        {"single pixel", {{4, 4}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        std::vector<u8> plane = Plane(8, 8, c.pixels);
        CleanUpHueRegions(&plane, 8, 8);
        for (auto [x, y] : c.pixels) EXPECT_EQ(plane[y * 8 + x], c.kept ? 0 : N) << x << "," << y;
    }
}

TEST(HueRegions, OtherLabelsAndTransparencyBreakARegion) {
    // Six in a row, but the fourth belongs to another hue change: two specks.
    std::vector<u8> plane = Plane(8, 3, {{0, 1}, {1, 1}, {2, 1}, {4, 1}, {5, 1}});
    plane[1 * 8 + 3] = 1;
    plane[1 * 8 + 6] = kLabelTransparent;
    CleanUpHueRegions(&plane, 8, 3);
    for (u32 x = 0; x < 6; ++x) EXPECT_EQ(plane[8 + x], N) << x;
    EXPECT_EQ(plane[8 + 6], kLabelTransparent);
}

CollectionHueChange TeamRed() {
    CollectionHueChange hue{};
    hue.start_hue = u16(340 * 65536 / 360);
    hue.end_hue = u16(20 * 65536 / 360);
    hue.minimum_saturation = u16(40 * 65535 / 100 + 1);
    return hue;
}

TEST(HueRegions, PixelsTakeTheFirstHueChangeThatHoldsThem) {
    CollectionHueChange green{};
    green.start_hue = u16(90 * 65536 / 360);
    green.end_hue = u16(150 * 65536 / 360);
    CollectionHueChange any_red = TeamRed();
    any_red.minimum_saturation = 0;
    const std::vector<CollectionHueChange> hues = {TeamRed(), green, any_red};
    EXPECT_EQ(HueChangeIndex(hues, 200, 30, 30), 0);    // hue 0, past the wrap
    EXPECT_EQ(HueChangeIndex(hues, 200, 30, 75), 0);    // hue 344, inside
    EXPECT_EQ(HueChangeIndex(hues, 30, 200, 30), 1);
    EXPECT_EQ(HueChangeIndex(hues, 120, 100, 100), 2);  // too grey for the first
    EXPECT_EQ(HueChangeIndex(hues, 30, 30, 200), N);
    EXPECT_EQ(HueChangeIndex({}, 200, 30, 30), N);

    // Alpha below 8 is transparent; a red block keeps its label, a red speck does not.
    PixelImage rgba;
    SetImagePixels(&rgba, 6, 4, kFormatRgba, nullptr);
    auto put = [&](u32 x, u32 y, u8 r, u8 g, u8 b, u8 a) {
        u8* p = &rgba.pixels[(y * 6 + x) * 4];
        p[0] = r, p[1] = g, p[2] = b, p[3] = a;
    };
    for (u32 y = 0; y < 4; ++y)
        for (u32 x = 0; x < 6; ++x) put(x, y, 90, 90, 200, 255);
    for (u32 y = 0; y < 2; ++y)
        for (u32 x = 0; x < 2; ++x) put(x, y, 210, 20, 20, 255);
    put(5, 3, 210, 20, 20, 255);
    put(4, 0, 0, 0, 0, 7);
    put(5, 0, 0, 0, 0, 8);
    std::vector<u8> labels;
    LabelHueRegions(rgba, {TeamRed()}, &labels);
    EXPECT_EQ(labels[0], 0);
    EXPECT_EQ(labels[1 * 6 + 1], 0);
    EXPECT_EQ(labels[3 * 6 + 5], N);
    EXPECT_EQ(labels[4], kLabelTransparent);
    EXPECT_EQ(labels[5], N);
    EXPECT_EQ(labels[2 * 6 + 3], N);
}

// An RGBA picture of one label everywhere unless given.
struct Source {
    PixelImage rgba;
    std::vector<u8> labels;
    Source(u32 w, u32 h) {
        SetImagePixels(&rgba, w, h, kFormatRgba, nullptr);
        labels.assign(size_t(w) * h, N);
    }
    void Set(u32 x, u32 y, u8 r, u8 g, u8 b, u8 a, u8 label = N) {
        u8* p = &rgba.pixels[(size_t(y) * rgba.width + x) * 4];
        p[0] = r, p[1] = g, p[2] = b, p[3] = a;
        labels[size_t(y) * rgba.width + x] = a < 8 ? kLabelTransparent : label;
    }
    std::vector<u8> Resample(u32 dw, u32 dh) const {
        std::vector<u8> out;
        ResampleUpResImage(rgba, labels, dw, dh, &out);
        return out;
    }
};

std::vector<u8> PixelAt(const std::vector<u8>& out, u32 width, u32 x, u32 y) {
    const size_t at = (size_t(y) * width + x) * 8;
    return std::vector<u8>(out.begin() + at, out.begin() + at + 8);
}

TEST(UpResResample, HalvingAveragesEachTwoByTwoBlock) {
    Source s(4, 4);
    for (u32 y = 0; y < 4; ++y)
        for (u32 x = 0; x < 4; ++x) s.Set(x, y, u8(x * 60), u8(y * 40), u8(100 + x + 10 * y), 255);
    const std::vector<u8> out = s.Resample(2, 2);
    for (u32 y = 0; y < 2; ++y)
        for (u32 x = 0; x < 2; ++x) {
            // Mean of columns 2x, 2x+1 and rows 2y, 2y+1, each weight 1.
            const double r = (2 * x * 60 + (2 * x + 1) * 60) / 2.0;
            const double g = (2 * y * 40 + (2 * y + 1) * 40) / 2.0;
            const double b = 100 + (2 * x + 0.5) + 10 * (2 * y + 0.5);
            const std::vector<u8> p = PixelAt(out, 2, x, y);
            EXPECT_EQ(p[0], std::lround(r));
            EXPECT_EQ(p[1], std::lround(g));
            EXPECT_EQ(p[2], u8(std::lround(b) & ~1L));
            EXPECT_EQ(p[3], 31);
            EXPECT_EQ(p[7], 0);
        }
}

TEST(UpResResample, TheSameSizeKeepsEveryPixel) {
    Source s(3, 2);
    for (u32 y = 0; y < 2; ++y)
        for (u32 x = 0; x < 3; ++x) s.Set(x, y, u8(17 * x + 3), u8(90 + 50 * y), u8(41 * x + 2 * y), 255);
    const std::vector<u8> out = s.Resample(3, 2);
    for (u32 y = 0; y < 2; ++y)
        for (u32 x = 0; x < 3; ++x) {
            const std::vector<u8> p = PixelAt(out, 3, x, y);
            EXPECT_EQ(p[0], 17 * x + 3);
            EXPECT_EQ(p[1], 90 + 50 * y);
            EXPECT_EQ(p[2], (41 * x + 2 * y) & ~1u);
        }
}

TEST(UpResResample, TransparencyAndCoverage) {
    Source clear(2, 2);
    for (u32 y = 0; y < 2; ++y)
        for (u32 x = 0; x < 2; ++x) clear.Set(x, y, 250, 250, 250, 7);
    EXPECT_EQ(clear.Resample(1, 1), std::vector<u8>(8, 0));

    // Half opaque pixels of one label, half fully transparent: the colour
    // halved, the mean alpha.
    Source half(2, 2);
    for (u32 y = 0; y < 2; ++y) {
        half.Set(0, y, 200, 100, 50, 255);
        half.Set(1, y, 0, 0, 0, 0);
    }
    const std::vector<u8> p = half.Resample(1, 1);
    EXPECT_EQ(p[0], 100);
    EXPECT_EQ(p[1], 50);
    EXPECT_EQ(p[2], 24);  // 25 without its lowest bit
    EXPECT_EQ(p[3], (128 + 4) * 31 / 255);
}

TEST(UpResResample, AlphaTakesFiveBits) {
    const double black[3] = {0, 0, 0};
    u8 out[8];
    for (auto [alpha, bits] : {std::pair<double, int>{255, 31}, {5, 1}, {4, 0}, {4.4, 0}, {4.6, 1}, {0, 0}}) {
        PackUpResPixel(black, N, black, -1, 0, alpha, out);
        EXPECT_EQ(out[3], bits) << alpha;
    }
}

TEST(UpResResample, HueChangePixelsAreStoredAsHsv) {
    const double red[3] = {255, 0, 0};
    const double teal[3] = {0, 128, 128};
    u8 out[8];
    PackUpResPixel(red, 0, teal, 2, 0.25, 255, out);
    double h = 0, s = 0, v = 0;
    RgbToHsv(0, 128 / 255.0, 128 / 255.0, &h, &s, &v);
    const std::vector<u8> expected = {0, 255, 255, u8(31 + 32 * 1), u8(std::lround(h * 255)), 128, 255,
                                      u8(16 + 32 * 3)};
    EXPECT_EQ(std::vector<u8>(out, out + 8), expected);
    PackUpResPixel(red, N, teal, N, 0.75, 255, out);
    EXPECT_EQ(std::vector<u8>(out, out + 8), (std::vector<u8>{255, 0, 1, 31, 0, 128, 128, 31}));
}

TEST(UpResResample, TwoLabelsRankedByWeight) {
    struct Case {
        std::vector<u8> listed;
        std::vector<double> weights;  // by label
        int first, second;
    };
    const Case cases[] = {
        {{0}, {1}, 0, -1},
        {{0, 1}, {1, 2}, 1, 0},
        {{0, 1}, {2, 2}, 0, 1},        // the later one only when heavier
        {{0, 1, 2}, {1, 3, 2}, 1, 2},
        {{0, 1, 2}, {3, 1, 3}, 2, 0},  // at least as heavy as the first: trades places
        {{2, 0, 1}, {1, 5, 4}, 1, 2},
    };
    for (const Case& c : cases) {
        UpResLabelSum sums[256];
        for (size_t i = 0; i < c.weights.size(); ++i) sums[i].weight = c.weights[i];
        int first = 0, second = 0;
        RankUpResLabels(c.listed, sums, &first, &second);
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(second, c.second);
    }
}

TEST(UpResResample, EqualLabelsAndATooLightSecond) {
    // Two labels of equal weight: the one met first gives the first colour,
    // the blend weight is 31.
    Source even(2, 2);
    even.Set(0, 0, 255, 0, 0, 255, 1);
    even.Set(1, 0, 0, 0, 255, 255, 0);
    even.Set(0, 1, 255, 0, 0, 255, 1);
    even.Set(1, 1, 0, 0, 255, 255, 0);
    std::vector<u8> p = even.Resample(1, 1);
    EXPECT_EQ(p[3], 31 + 32 * 2);
    EXPECT_EQ(p[2] & 1, 1);
    EXPECT_EQ(p[7], 31 + 32 * 1);
    EXPECT_EQ(p[0], 0);    // hue of red
    EXPECT_EQ(p[1], 255);  // value
    EXPECT_EQ(p[4], std::lround(255 * 2.0 / 3));  // hue of blue

    // One pixel in 64 of another label is dropped.
    Source speck(8, 8);
    for (u32 y = 0; y < 8; ++y)
        for (u32 x = 0; x < 8; ++x) speck.Set(x, y, 101, 80, 60, 255);
    speck.Set(3, 3, 255, 0, 0, 255, 0);
    p = speck.Resample(1, 1);
    EXPECT_EQ(p[2] & 1, 0);
    EXPECT_EQ(std::vector<u8>(p.begin() + 4, p.end()), std::vector<u8>(4, 0));
    EXPECT_EQ(p[0], 101);
}

TEST(UpResResample, GrowingIsBilinear) {
    Source s(2, 1);
    s.Set(0, 0, 0, 0, 0, 255);
    s.Set(1, 0, 200, 0, 0, 255);
    const std::vector<u8> out = s.Resample(4, 1);
    // Centres at 0.25, 0.75, 1.25, 1.75 of the source: weights to each source pixel.
    const int expected[4] = {0, 50, 150, 200};
    for (u32 x = 0; x < 4; ++x) EXPECT_EQ(out[x * 8], expected[x]) << x;
}

struct Logged {
    std::vector<std::pair<i32, std::string>> lines;
    BuildLog log() {
        return [this](i32 level, const std::string& text) { lines.emplace_back(level, text); };
    }
    int Count(const std::string& start) const {
        int n = 0;
        for (const auto& line : lines) n += line.second.rfind(start, 0) == 0;
        return n;
    }
};

ScalePair Pair(u32 w, u32 h, u32 big_w, u32 big_h, const char* name = "b") {
    ScalePair pair;
    pair.width = w;
    pair.height = h;
    pair.image_width = big_w;
    pair.image_height = big_h;
    pair.bitmap_name = name;
    pair.image_name = std::string(name) + ".png";
    return pair;
}

TEST(UpResScale, ExactlyTwiceTheSizeIsTwo) {
    Logged logged;
    double scale = 0;
    ASSERT_TRUE(ComputeGlobalScale({Pair(10, 20, 20, 40), Pair(7, 3, 14, 6)}, 0.1, logged.log(), &scale));
    EXPECT_DOUBLE_EQ(scale, 2.0);
    EXPECT_EQ(logged.Count("computed global scale: 2.00\n"), 5);
}

TEST(UpResScale, ToleranceGrowsWhileNoPairPasses) {
    // Aspect ratios off by 50 %: 0.25 grows by 0.1 three times.
    Logged logged;
    double scale = 0;
    ASSERT_TRUE(ComputeGlobalScale({Pair(10, 10, 20, 30)}, 0.25, logged.log(), &scale));
    EXPECT_DOUBLE_EQ(scale, 2.5);
    ASSERT_EQ(logged.Count("WARNING: no bitmaps passed"), 3);
    EXPECT_EQ(logged.lines[0].second, "WARNING: no bitmaps passed; warn_fraction too low. raising warn_fraction to 0.35\n");
    EXPECT_EQ(logged.lines[2].second, "WARNING: no bitmaps passed; warn_fraction too low. raising warn_fraction to 0.55\n");
}

TEST(UpResScale, OutliersAreLeftOutAndNamed) {
    Logged logged;
    double scale = 0;
    ASSERT_TRUE(ComputeGlobalScale({Pair(10, 10, 20, 20), Pair(10, 10, 20, 20), Pair(10, 10, 20, 20),
                                    Pair(10, 10, 31, 30, "odd")},
                                   0.1, logged.log(), &scale));
    EXPECT_DOUBLE_EQ(scale, 2.0);
    ASSERT_EQ(logged.Count("SCALE WARNING"), 1);
    // Against 2.0: 31 / 10 / 2 - 1 = 55 %, 30 / 10 / 2 - 1 = 50 %.
    bool found = false;
    for (const auto& line : logged.lines)
        if (line.second == "SCALE WARNING: odd(10x10) vs odd.png(31x30) - dimensions differ by (55.0%, 50.0%)\n")
            found = true;
    EXPECT_TRUE(found);
}

TEST(UpResScale, NothingToMeasureEndsInsteadOfLoopingForever) {
    Logged logged;
    double scale = 0;
    EXPECT_FALSE(ComputeGlobalScale({}, 0.1, logged.log(), &scale));
    EXPECT_EQ(logged.Count("FATAL: "), 1);
    EXPECT_FALSE(ComputeGlobalScale({Pair(0, 10, 20, 20), Pair(10, 0, 5, 5)}, 0.1, logged.log(), &scale));
    EXPECT_EQ(logged.Count("FATAL: "), 2);
    // Zero sizes are left out of a run that has measurable pairs.
    EXPECT_TRUE(ComputeGlobalScale({Pair(0, 10, 20, 20), Pair(4, 4, 12, 12)}, 0.1, logged.log(), &scale));
    EXPECT_DOUBLE_EQ(scale, 3.0);
    // A shape no tolerance up to the limit admits.
    Logged hopeless;
    EXPECT_FALSE(ComputeGlobalScale({Pair(100, 1, 1, 1)}, 0.1, hopeless.log(), &scale));
    EXPECT_EQ(hopeless.Count("FATAL: "), 1);
}

TEST(HighResImage, AlphaFileNames) {
    struct Case {
        const char* path;
        std::vector<std::string> candidates;
    };
    const Case cases[] = {
        {"hi/walk01.png", {"hi/walk01.alpha.png"}},
        {"attack.01.png", {"attack.01.alpha.png", "attack.alpha.01.png"}},
        {"plain", {"plain.alpha"}},
        {"d.ir/x.png", {"d.ir/x.alpha.png"}},
    };
    for (const Case& c : cases) EXPECT_EQ(HighResAlphaCandidates(c.path), c.candidates) << c.path;
}

}  // namespace
}  // namespace pirn
