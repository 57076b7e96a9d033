// Collection bitmaps drawn through a recording draw target: the tile plan,
// one picture per tile with its place and mirroring, the colours the
// pictures carry (hue changes, shadows, 64-bit pixels, the placeholder),
// and the kept tiles that are converted again only when something changed.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <new>
#include <vector>

#include "collections/bitmap_placeholder.h"
#include "collections/ui/bitmap_tile_cache.h"
#include "collections/ui/bitmap_tile_plan.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "tests/collections_ui/drawing_fixture.h"
#include "ui/draw_recorder.h"
#include "ui/window_renderer.h"

namespace pirn {
namespace {

using namespace drawing_fixture;
using Rgba = std::array<int, 4>;

Rgba PixelOf(const PixelImage& image, u32 x, u32 y) {
    const u8* p = &image.pixels[(size_t{y} * image.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

TEST(BitmapTilePlan, TilesOfAtMost512ThatShareTheirEdges) {
    struct Tile {
        u32 x, y, w, h;
        Rect screen;
    };
    struct Case {
        const char* what;
        u32 width, height, mirror;
        Rect screen;
        std::vector<Tile> tiles;
    };
    const Case cases[] = {
        {"600 x 100: two tiles", 600, 100, 0, {0, 0, 600, 100},
         {{0, 0, 512, 100, {0, 0, 512, 100}}, {512, 0, 88, 100, {512, 0, 600, 100}}}},
        {"mirrored: the first tile lands at the right", 600, 100, kMirrorHorizontal, {10, 20, 610, 120},
         {{0, 0, 512, 100, {98, 20, 610, 120}}, {512, 0, 88, 100, {10, 20, 98, 120}}}},
        {"scaled to half: the seam rounds once for both", 600, 100, 0, {0, 0, 300, 50},
         {{0, 0, 512, 100, {0, 0, 256, 50}}, {512, 0, 88, 100, {256, 0, 300, 50}}}},
        {"rows top to bottom, flipped", 100, 700, kMirrorVertical, {0, 0, 100, 700},
         {{0, 0, 100, 512, {0, 188, 100, 700}}, {0, 512, 100, 188, {0, 0, 100, 188}}}},
        {"one tile", 96, 48, 0, {5, 5, 101, 53}, {{0, 0, 96, 48, {5, 5, 101, 53}}}},
        {"no pixels", 0, 48, 0, {0, 0, 96, 96}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<BitmapTile> tiles = PlanBitmapTiles(c.width, c.height, c.mirror, c.screen);
        ASSERT_EQ(tiles.size(), c.tiles.size());
        for (size_t i = 0; i < tiles.size(); ++i) {
            EXPECT_EQ(tiles[i].x, c.tiles[i].x);
            EXPECT_EQ(tiles[i].y, c.tiles[i].y);
            EXPECT_EQ(tiles[i].width, c.tiles[i].w);
            EXPECT_EQ(tiles[i].height, c.tiles[i].h);
            EXPECT_EQ(tiles[i].screen, c.tiles[i].screen) << i;
        }
    }
    // 1100 x 1030: three columns and three rows, left to right in each row.
    const std::vector<BitmapTile> grid = PlanBitmapTiles(1100, 1030, 0, Rect{0, 0, 1100, 1030});
    ASSERT_EQ(grid.size(), 9u);
    EXPECT_EQ(grid[1].x, 512u);
    EXPECT_EQ(grid[3].y, 512u);
    EXPECT_EQ(grid[8].width, 76u);
    EXPECT_EQ(grid[8].height, 6u);
}

class CollectionBitmapDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCollection(&c_);
        FillTable(&c_);
        previous_ = SetDrawTarget(&recorder_);
        ForgetCollectionBitmaps();
    }
    void TearDown() override {
        ForgetCollectionBitmaps();
        SetDrawTarget(previous_);
    }
    std::vector<DrawRecorder::Call> Pictures() const { return recorder_.CallsOf(DrawRecorder::kPixelImage); }

    Collection c_;
    DrawRecorder recorder_;
    DrawTarget* previous_ = nullptr;
};

TEST_F(CollectionBitmapDrawingTest, OnePicturePerTileInWhiteWhereThePlanSays) {
    CollectionBitmap* wide = AddSolid(&c_, "wide", 600, 100, kGreen);
    recorder_.SetColor(0x60FFFFFFu);  // a cell background left translucent white in force
    DrawCollectionBitmap(c_, *wide, kBitmapMirrorHorizontal, 10, 20, 600, 100);
    const std::vector<DrawRecorder::Call> pictures = Pictures();
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].rect, (Rect{98, 20, 610, 120}));
    EXPECT_EQ(pictures[0].imageWidth, 512u);
    EXPECT_EQ(pictures[1].rect, (Rect{10, 20, 98, 120}));
    EXPECT_EQ(pictures[1].imageWidth, 88u);
    for (const DrawRecorder::Call& p : pictures) {
        EXPECT_EQ(p.mirror, u32{kMirrorHorizontal});
        EXPECT_EQ(p.color, kColorWhite);
        EXPECT_EQ(p.image->format, kFormatRgba);
        EXPECT_EQ(PixelOf(*p.image, 0, 0), (Rgba{0, 255, 0, 255}));
    }

    recorder_.Clear();
    DrawCollectionBitmap(c_, *wide, 0, 0, 0, 0, 50);  // an empty rectangle
    CollectionBitmap* none = AddSolid(&c_, "none", 0, 0, 0);
    ASSERT_NE(none, nullptr);
    DrawCollectionBitmap(c_, *none, 0, 0, 0, 50, 50);
    EXPECT_TRUE(Pictures().empty());
}

TEST_F(CollectionBitmapDrawingTest, PicturesShowHueChangesShadowsAndDeepPixels) {
    AddRedToBlue(&c_);
    struct Case {
        const char* what;
        CollectionBitmap* bitmap;
        Rgba expected;
    };
    const u8 blended[8] = {10, 200, 31, 31, 210, 0, 50, 16};  // p2 odd: blend w = 16 of 64
    const u8 plain[8] = {10, 200, 30, 31, 210, 0, 50, 16};    // p2 even: the first colour
    const u8 faint[8] = {10, 200, 30, 15, 0, 0, 0, 0};        // alpha 15 x 255 / 31
    const Case cases[] = {
        // Red is 255 x 256 in 16 bits; times the replacement's value
        // (65535 / 65536) it keeps 254 in the high byte.
        {"red through the hue change turns blue", AddSolid(&c_, "red", 4, 4, kRed), {0, 0, 254, 255}},
        {"green lies outside its hues", AddSolid(&c_, "green", 4, 4, kGreen), {0, 255, 0, 255}},
        {"grey has no saturation", AddSolid(&c_, "grey", 4, 4, kGrey), {128, 128, 128, 255}},
        {"alpha comes from the pixel", AddSolid(&c_, "half", 4, 4, kWhite, 136), {255, 255, 255, 136}},
        {"a shadow of index 0 is white", AddSolid(&c_, "s0", 4, 4, 0, 255, kBitmapShadow), {255, 255, 255, 255}},
        {"a shadow of index 255 is black", AddSolid(&c_, "s255", 4, 4, 255, 255, kBitmapShadow), {0, 0, 0, 255}},
        {"a shadow of index 100 is grey 155", AddSolid(&c_, "s100", 4, 4, 100, 128, kBitmapShadow),
         {155, 155, 155, 128}},
        {"64-bit: two colours blended", AddDeep(&c_, "blend", 4, 4, blended), {60, 150, 35, 255}},
        {"64-bit: one colour", AddDeep(&c_, "plain", 4, 4, plain), {10, 200, 30, 255}},
        {"64-bit: alpha in 32 steps", AddDeep(&c_, "faint", 4, 4, faint), {10, 200, 30, 123}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        recorder_.Clear();
        DrawCollectionBitmap(c_, *k.bitmap, 0, 0, 0, 8, 8);
        const std::vector<DrawRecorder::Call> pictures = Pictures();
        ASSERT_EQ(pictures.size(), 1u);
        EXPECT_EQ(PixelOf(*pictures[0].image, 3, 2), k.expected);
    }
}

TEST_F(CollectionBitmapDrawingTest, UnreadablePixelsShowThePlaceholder) {
    CollectionBitmap* broken = AddSolid(&c_, "broken", 40, 30, kGreen);
    broken->pixels.resize(100);  // no longer 40 x 30 pixels
    CollectionBitmap* odd = AddSolid(&c_, "odd", 4, 4, kGreen);
    odd->bytes_per_pixel = 1;
    for (CollectionBitmap* b : {broken, odd}) {
        recorder_.Clear();
        DrawCollectionBitmap(c_, *b, 0, 0, 0, 40, 30);
        const std::vector<DrawRecorder::Call> pictures = Pictures();
        ASSERT_EQ(pictures.size(), 1u) << b->name;
        const PixelImage& p = *pictures[0].image;
        ASSERT_EQ(p.width, kPlaceholderSide);
        // 16-px squares of the entries nearest black and white.
        EXPECT_EQ(PixelOf(p, 3, 3), (Rgba{0, 0, 0, 255}));
        EXPECT_EQ(PixelOf(p, 20, 3), (Rgba{255, 255, 255, 255}));
        EXPECT_EQ(PixelOf(p, 20, 20), (Rgba{0, 0, 0, 255}));
    }
    // A shadow's placeholder is black and white by index.
    CollectionBitmap* shadow = AddSolid(&c_, "shadow", 4, 4, 0, 255, kBitmapShadow);
    shadow->pixels.clear();
    recorder_.Clear();
    DrawCollectionBitmap(c_, *shadow, 0, 0, 0, 40, 30);
    ASSERT_EQ(Pictures().size(), 1u);
    EXPECT_EQ(PixelOf(*Pictures()[0].image, 3, 3), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(PixelOf(*Pictures()[0].image, 20, 3), (Rgba{0, 0, 0, 255}));
}

TEST_F(CollectionBitmapDrawingTest, TilesAreKeptUntilTheBitmapOrTheColoursChange) {
    CollectionBitmap* red = AddSolid(&c_, "red", 600, 40, kRed);
    BitmapTileCache& cache = CollectionBitmapTiles();
    const u64 before = cache.ConversionCount();
    DrawCollectionBitmap(c_, *red, 0, 0, 0, 96, 8);
    EXPECT_EQ(cache.ConversionCount(), before + 2);
    DrawCollectionBitmap(c_, *red, kBitmapMirrorVertical, 200, 0, 300, 20);  // mirroring is free
    EXPECT_EQ(cache.ConversionCount(), before + 2);
    EXPECT_TRUE(recorder_.CallsOf(DrawRecorder::kForgetPixelImage).empty());

    // A hue change recolours: converted again, and the old textures dropped.
    recorder_.Clear();
    AddRedToBlue(&c_);
    DrawCollectionBitmap(c_, *red, 0, 0, 0, 96, 8);
    EXPECT_EQ(cache.ConversionCount(), before + 4);
    EXPECT_EQ(recorder_.CallsOf(DrawRecorder::kForgetPixelImage).size(), 2u);
    EXPECT_EQ(PixelOf(*Pictures().back().image, 0, 0), (Rgba{0, 0, 254, 255}));
    // So does a changed colour table entry (the hue change no longer
    // applies to a grey).
    c_.colors[3 * kRed + 1] = 255;
    c_.colors[3 * kRed + 2] = 255;
    recorder_.Clear();
    DrawCollectionBitmap(c_, *red, 0, 0, 0, 96, 8);
    EXPECT_EQ(cache.ConversionCount(), before + 6);
    EXPECT_EQ(PixelOf(*Pictures().back().image, 0, 0), (Rgba{255, 255, 255, 255}));
    // Pixels changed in place go unnoticed until the editor says so.
    red->pixels[1] = kGreen;
    DrawCollectionBitmap(c_, *red, 0, 0, 0, 96, 8);
    EXPECT_EQ(cache.ConversionCount(), before + 6);
    recorder_.Clear();
    ForgetCollectionBitmap(red);
    EXPECT_EQ(recorder_.CallsOf(DrawRecorder::kForgetPixelImage).size(), 2u);
    EXPECT_EQ(cache.TileCount(), 0u);
    DrawCollectionBitmap(c_, *red, 0, 0, 0, 96, 8);
    EXPECT_EQ(cache.ConversionCount(), before + 8);
    EXPECT_EQ(PixelOf(*Pictures()[0].image, 0, 0), (Rgba{0, 255, 0, 255}));
}

TEST_F(CollectionBitmapDrawingTest, OperationsThatRewritePixelsAndNewBitmapsInAFreedPlaceAreDrawnAnew) {
    // Each case draws a 40 x 30 green bitmap, changes it as the case says
    // (without telling the drawing), and draws it again.
    PixelImage clear_mask;
    InitPixelImage(&clear_mask);
    ASSERT_TRUE(SetImagePixels(&clear_mask, 40, 30, kFormatAlpha, std::vector<u8>(40 * 30, 0).data()));
    struct Case {
        const char* what;
        std::function<CollectionBitmap*(CollectionBitmap*)> change;
        Rgba expected;  // at (0, 0) afterwards
    };
    const Case cases[] = {
        {"an alpha mask makes it transparent",
         [&](CollectionBitmap* b) {
             EXPECT_TRUE(ApplyAlphaMask(b, clear_mask));
             return b;
         },
         {0, 255, 0, 0}},
        {"a red bitmap made where the deleted one stood",
         [&](CollectionBitmap* b) {
             // The same address and a pixel block of the same size, as the
             // allocator is apt to hand out after a delete.
             b->~CollectionBitmap();
             CollectionBitmap* again = new (b) CollectionBitmap();
             again->width = 40;
             again->height = 30;
             again->pixels.assign(size_t{40} * 30 * 2, 255);
             for (size_t i = 1; i < again->pixels.size(); i += 2) again->pixels[i] = kRed;
             return again;
         },
         {255, 0, 0, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CollectionBitmap* b = AddSolid(&c_, "green", 40, 30, kGreen);
        DrawCollectionBitmap(c_, *b, 0, 0, 0, 40, 30);
        b = c.change(b);
        recorder_.Clear();
        DrawCollectionBitmap(c_, *b, 0, 0, 0, 40, 30);
        ASSERT_EQ(Pictures().size(), 1u);
        EXPECT_EQ(PixelOf(*Pictures()[0].image, 0, 0), c.expected);
    }
}

TEST_F(CollectionBitmapDrawingTest, ACacheOverItsBudgetLetsTheOldestTilesGo) {
    std::vector<CollectionBitmap*> bitmaps;
    for (int i = 0; i < 5; ++i) bitmaps.push_back(AddSolid(&c_, "b", 16, 16, kBlue));
    u8 preview[kColorTableBytes];
    PreviewHueChanges(c_, preview, nullptr);
    BitmapTileCache cache(3 * 16 * 16 * 4);  // three tiles
    for (CollectionBitmap* b : bitmaps) cache.Tile(c_, *b, preview, 1, 0, 0, 16, 16);
    EXPECT_EQ(cache.TileCount(), 3u);
    EXPECT_EQ(cache.ByteCount(), size_t{3 * 16 * 16 * 4});
    // The first two went (and their textures with them).
    const std::vector<DrawRecorder::Call> forgotten = recorder_.CallsOf(DrawRecorder::kForgetPixelImage);
    EXPECT_EQ(forgotten.size(), 2u);
    const u64 conversions = cache.ConversionCount();
    cache.Tile(c_, *bitmaps[4], preview, 1, 0, 0, 16, 16);
    EXPECT_EQ(cache.ConversionCount(), conversions);
    cache.Tile(c_, *bitmaps[0], preview, 1, 0, 0, 16, 16);
    EXPECT_EQ(cache.ConversionCount(), conversions + 1);
    // A tile larger than the whole budget is still made, and kept alone.
    BitmapTileCache tiny(16);
    const PixelImage& big = tiny.Tile(c_, *bitmaps[1], preview, 1, 0, 0, 16, 16);
    EXPECT_EQ(big.width, 16u);
    EXPECT_EQ(tiny.TileCount(), 1u);
}

}  // namespace
}  // namespace pirn
