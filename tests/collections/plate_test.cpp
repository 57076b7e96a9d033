// Plates against grids drawn by hand from the plate rules: reading cells,
// the layout and pixels the writer draws, and importing colour and alpha
// plates.

#include "collections/plate.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "collections/collection_palette.h"
#include "tests/collections/scripted_prompts.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

// '.' is 0, '1' the marker, 'a'.. 'z' the values 10..35, other digits
// themselves.
PixelImage Grid(const std::vector<std::string>& rows, u32 format = kFormatColorIndex) {
    PixelImage image;
    const u32 width = u32(rows[0].size()), height = u32(rows.size());
    std::vector<u8> pixels;
    for (const std::string& row : rows) {
        EXPECT_EQ(row.size(), width);
        for (char ch : row) pixels.push_back(ch == '.' ? 0 : ch >= 'a' ? u8(10 + ch - 'a') : u8(ch - '0'));
    }
    SetImagePixels(&image, width, height, format, pixels.data());
    if (format == kFormatColorIndex) {
        u8 palette[kPaletteBytes];
        for (u32 i = 0; i < 256; ++i) {
            palette[3 * i] = u8(i);
            palette[3 * i + 1] = 7;
            palette[3 * i + 2] = u8(255 - i);
        }
        SetImagePalette(&image, 256, palette);
    }
    return image;
}

// Two bands: A (2 x 2) and B (1 x 1); C (3 x 1) and an empty cell.
const std::vector<std::string> kPlateRows = {
    ".1.........",  //
    "11111111111",  //
    ".1....1...1",  //
    ".1.56.1.9.1",  //
    ".1.78.1..11",  //
    ".1...11...1",  //
    "11111111111",  //
    ".1.....1..1",  //
    ".1.abc.1..1",  //
    ".1....11..1",  //
    "11111111111",  //
};

struct Rect {
    bool empty;
    u32 x, y, w, h;
};
std::vector<Rect> Rects(const std::vector<PlateCell>& cells) {
    std::vector<Rect> rects;
    for (const PlateCell& c : cells) rects.push_back({c.empty, c.x, c.y, c.width, c.height});
    return rects;
}
bool operator==(const Rect& a, const Rect& b) {
    return a.empty == b.empty && a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}
std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << (r.empty ? "empty" : "cell") << " " << r.x << "," << r.y << " " << r.w << "x" << r.h;
}

const std::vector<Rect> kPlateCells = {
    {false, 3, 3, 2, 2}, {false, 8, 3, 1, 1}, {false, 3, 8, 3, 1}, {true, 0, 0, 0, 0}};

TEST(PlateParse, CellsComeRowByRowWithTheirExtents) {
    std::vector<PlateCell> cells;
    ASSERT_TRUE(ParsePlate(Grid(kPlateRows), &cells));
    EXPECT_EQ(Rects(cells), kPlateCells);
    ASSERT_TRUE(ParsePlate(Grid(kPlateRows, kFormatAlpha), &cells)) << "alpha plates share the grid";
    EXPECT_EQ(Rects(cells), kPlateCells);
}

TEST(PlateParse, ALastCellLeftOpenCountsOnlyWhenItHoldsAMarker) {
    std::vector<std::string> rows = kPlateRows;
    for (int y : {2, 3, 4, 5}) rows[y][10] = '.';  // band 1 without its closing separator
    rows[4][9] = '1';
    std::vector<PlateCell> cells;
    ASSERT_TRUE(ParsePlate(Grid(rows), &cells));
    EXPECT_EQ(Rects(cells), kPlateCells);
    for (int y : {7, 8, 9}) rows[y][10] = '.';  // band 2 too: its open last cell is empty
    ASSERT_TRUE(ParsePlate(Grid(rows), &cells));
    EXPECT_EQ(Rects(cells), std::vector<Rect>(kPlateCells.begin(), kPlateCells.begin() + 3));
}

TEST(PlateParse, GridsThatBreakARuleAreNotPlates) {
    const struct {
        const char* what;
        int x, y;
        char value;
    } breaks[] = {
        {"pixel (0, 0) set", 0, 0, '1'},
        {"pixel (1, 0) clear", 1, 0, '.'},
        {"pixel (2, 0) set", 2, 0, '1'},
        {"row 0 past column 3 set", 7, 0, '5'},
        {"row 1 not full", 4, 1, '.'},
        {"last row not full", 9, 10, '.'},
        {"column 1 clear", 1, 8, '.'},
        {"column 0 neither 0 nor 1", 0, 3, '2'},
        {"full line with a gap", 5, 6, '.'},
        {"a marker in a cell's first column leaves no room", 8, 9, '1'},
    };
    for (const auto& b : breaks) {
        SCOPED_TRACE(b.what);
        std::vector<std::string> rows = kPlateRows;
        rows[b.y][b.x] = b.value;
        std::vector<PlateCell> cells;
        EXPECT_FALSE(ParsePlate(Grid(rows), &cells));
        EXPECT_TRUE(cells.empty());
    }
    std::vector<PlateCell> cells;
    EXPECT_FALSE(ParsePlate(Grid({".1...", "11111", ".1..1", ".1.11", "11111"}), &cells)) << "5 x 5";
    PixelImage rgb;
    SetImagePixels(&rgb, 11, 11, kFormatRgb, nullptr);
    EXPECT_FALSE(ParsePlate(rgb, &cells));
}

CollectionBitmap* AddPixels(Collection* c, const char* name, u16 w, u16 h, u16 flags, const std::vector<u8>& pairs) {
    return AddCollectionBitmap(c, name, flags, pairs.data(), w, h, 2, nullptr);
}

struct PlateFixture {
    Collection c;
    CollectionBitmap *a, *b, *cc;
    PlateFixture() {
        InitCollection(&c);
        for (u32 i = 0; i < 256; ++i) {
            c.colors[3 * i] = u8(i);
            c.colors[3 * i + 1] = 7;
            c.colors[3 * i + 2] = u8(255 - i);
        }
        std::snprintf(c.name, sizeof c.name, "Knight");
        a = AddPixels(&c, "A", 2, 2, 0, {255, 5, 255, 6, 255, 7, 255, 8});
        b = AddPixels(&c, "B", 1, 1, 0, {255, 9});
        cc = AddPixels(&c, "C", 3, 1, 0, {255, 10, 255, 11, 255, 12});
    }
};

TEST(PlateWrite, DrawsTheGridTheRulesDescribe) {
    PlateFixture f;
    PixelImage image;
    ASSERT_TRUE(BuildPlateImage(f.c, {f.a, f.b, f.cc, nullptr}, false, 2, &image));
    const PixelImage expected = Grid(kPlateRows);
    EXPECT_EQ(image.format, kFormatColorIndex);
    EXPECT_EQ(image.width, 11u);
    EXPECT_EQ(image.height, 11u);
    EXPECT_EQ(image.pixels, expected.pixels);
    EXPECT_EQ(image.palette, expected.palette) << "the collection's table";
    EXPECT_EQ(DefaultPlateName(f.c, false), "Knight plate");
    EXPECT_EQ(DefaultPlateName(f.c, true), "Knight alpha plate");
}

TEST(PlateWrite, WithoutACountPerRowThePlateComesClosestToSquare) {
    Collection c;
    InitCollection(&c);
    std::vector<const CollectionBitmap*> bitmaps;
    for (int i = 0; i < 4; ++i) bitmaps.push_back(AddCollectionBitmap(&c, "b", 0, nullptr, 10, 10, 2, nullptr));
    const PlateLayout square = LayOutPlate(bitmaps, 0);
    EXPECT_EQ(square.width, 28u) << "row limit 32: two cells of 13 a row";
    EXPECT_EQ(square.height, 28u);
    const PlateLayout one_row = LayOutPlate(bitmaps, 4);
    EXPECT_EQ(one_row.width, 54u);
    EXPECT_EQ(one_row.height, 15u);
    EXPECT_EQ(one_row.cells[3].x, 41u);
    // Wide, flat bitmaps stack one to a row: 205 x 14 is nearer square
    // than 408 x 10 or 611 x 6.
    const CollectionBitmap* flat = AddCollectionBitmap(&c, "flat", 0, nullptr, 200, 1, 2, nullptr);
    const PlateLayout stacked = LayOutPlate({flat, flat, flat}, 0);
    EXPECT_EQ(stacked.width, 205u);
    EXPECT_EQ(stacked.height, 14u);
    EXPECT_EQ(stacked.band_top.size(), 3u);
}

TEST(PlateWrite, PlatesOfEmptyCellsAreStillPlates) {
    // Empty cells are 3 x 3: one alone would make a 5 x 5 image, below the
    // least a plate may be. The last band and the rows grow to 6.
    Collection c;
    InitCollection(&c);
    PixelImage image;
    ASSERT_TRUE(BuildPlateImage(c, {nullptr}, false, 1, &image));
    EXPECT_EQ(image.pixels, Grid({".1....",  //
                                  "111111",  //
                                  ".1..1.",  //
                                  ".1..1.",  //
                                  ".1..1.",  //
                                  "111111"})
                                .pixels);
    const struct {
        u32 cells, per_row, width, height;
    } cases[] = {{1, 1, 6, 6}, {2, 2, 8, 6}, {2, 1, 6, 8}, {3, 3, 11, 6}, {3, 0, 8, 8}, {4, 2, 8, 8}};
    for (const auto& k : cases) {
        for (bool alpha : {false, true}) {
            SCOPED_TRACE(std::to_string(k.cells) + " cells, " + std::to_string(k.per_row) + " a row" +
                         (alpha ? ", alpha" : ""));
            ASSERT_TRUE(BuildPlateImage(c, std::vector<const CollectionBitmap*>(k.cells, nullptr), alpha, k.per_row,
                                        &image));
            EXPECT_EQ(image.width, k.width);
            EXPECT_EQ(image.height, k.height);
            std::vector<PlateCell> cells;
            ASSERT_TRUE(ParsePlate(image, &cells));
            EXPECT_EQ(Rects(cells), std::vector<Rect>(k.cells, Rect{true, 0, 0, 0, 0}));
        }
    }

    // Bitmaps without pixels (0 wide or 0 high) are empty cells too, beside
    // one with pixels.
    const CollectionBitmap* none = AddCollectionBitmap(&c, "none", 0, nullptr, 0, 0, 2, nullptr);
    const CollectionBitmap* flat = AddCollectionBitmap(&c, "flat", 0, nullptr, 4, 0, 2, nullptr);
    const CollectionBitmap* one = AddCollectionBitmap(&c, "one", 0, nullptr, 1, 1, 2, nullptr);
    ASSERT_TRUE(BuildPlateImage(c, {none, flat, one}, false, 3, &image));
    std::vector<PlateCell> cells;
    ASSERT_TRUE(ParsePlate(image, &cells));
    EXPECT_EQ(Rects(cells), (std::vector<Rect>{{true, 0, 0, 0, 0}, {true, 0, 0, 0, 0}, {false, 13, 3, 1, 1}}));
}

TEST(PlateWrite, ColourPlatesMarkTransparencyByStoredForm) {
    PlateFixture f;
    CollectionBitmap* raw = AddPixels(&f.c, "raw", 2, 1, 0, {0, 0, 255, 40});
    CollectionBitmap* rle = AddPixels(&f.c, "rle", 2, 1, kBitmapRle, {255, 41, 0, 0});
    PixelImage image;
    ASSERT_TRUE(BuildPlateImage(f.c, {raw, rle}, false, 0, &image));
    std::vector<PlateCell> cells;
    ASSERT_TRUE(ParsePlate(image, &cells));
    ASSERT_EQ(cells.size(), 2u);
    auto at = [&](u32 x, u32 y) { return image.pixels[size_t(y) * image.width + x]; };
    EXPECT_EQ(at(cells[0].x, cells[0].y), 1);
    EXPECT_EQ(at(cells[0].x + 1, cells[0].y), 40);
    EXPECT_EQ(at(cells[1].x, cells[1].y), 41);
    EXPECT_EQ(at(cells[1].x + 1, cells[1].y), 0);
}

TEST(PlateWrite, AlphaPlatesAreGreyImagesOfTheAlphaBytes) {
    PlateFixture f;
    CollectionBitmap* soft = AddPixels(&f.c, "soft", 2, 1, kBitmapPartialAlpha, {136, 5, 255, 6});
    pirn_test::TempDir dir;
    ScriptedPrompts prompts;
    ASSERT_TRUE(ExportPlate(f.c, {soft, f.b}, true, 0, dir.file("alpha"), 0, prompts));
    EXPECT_TRUE(prompts.errors.empty());
    ImageFile file;
    InitImageFile(&file, dir.file("alpha.png"));
    ASSERT_TRUE(LoadImageFile(&file));
    EXPECT_EQ(file.image.format, kFormatAlpha);
    std::vector<PlateCell> cells;
    ASSERT_TRUE(ParsePlate(file.image, &cells));
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(file.image.pixels[size_t(cells[0].y) * file.image.width + cells[0].x], 136);
}

std::string SavePlate(const pirn_test::TempDir& dir, const std::string& name, const PixelImage& image) {
    ImageFile file;
    InitImageFile(&file, dir.file(name + ".png"));
    file.type = kTypePng;
    PixelImage copy = image;
    MovePixelImage(&file.image, &copy);
    EXPECT_TRUE(SaveImageFile(&file));
    return file.path;
}

TEST(PlateImport, AddsOneBitmapPerFilledCellNamedAfterTheFile) {
    pirn_test::TempDir dir;
    const std::string path = SavePlate(dir, "Knight Plate", Grid(kPlateRows));
    Collection c;
    InitCollection(&c);
    ScriptedPrompts prompts;
    ImageFile file;
    InitImageFile(&file, path);
    std::vector<CollectionBitmap*> added;
    EXPECT_EQ(ImportColorPlate(&c, &file, {}, prompts, &added), 3u);
    ASSERT_EQ(added.size(), 4u);
    EXPECT_EQ(added[3], nullptr) << "the empty cell keeps its number";
    ASSERT_EQ(GetCollectionBitmapCount(c), 3u);
    EXPECT_STREQ(c.bitmaps[0]->name, "Knight Plate #0000");
    EXPECT_STREQ(c.bitmaps[2]->name, "Knight Plate #0002");
    EXPECT_EQ(c.bitmaps[0]->pixels, (std::vector<u8>{255, 5, 255, 6, 255, 7, 255, 8}));
    EXPECT_EQ(c.bitmaps[2]->width, 3);
    EXPECT_EQ(c.colors[3 * 9 + 2], 246) << "the plate's palette became the table";
    EXPECT_TRUE(prompts.errors.empty());
}

TEST(PlateImport, RawAndRleBitmapsComeBackAsThemselves) {
    PlateFixture f;
    CollectionBitmap* raw = AddPixels(&f.c, "raw", 2, 1, 0, {0, 0, 255, 40});
    CollectionBitmap* rle = AddPixels(&f.c, "rle", 2, 1, kBitmapRle, {255, 41, 0, 0});
    pirn_test::TempDir dir;
    ScriptedPrompts prompts;
    ASSERT_TRUE(ExportPlate(f.c, {raw, rle}, false, 0, dir.file("pair.png"), 0, prompts));
    ImageFile file;
    InitImageFile(&file, dir.file("pair.png"));
    EXPECT_EQ(ImportColorPlate(&f.c, &file, {}, prompts), 2u);
    const CollectionBitmap& raw_back = *f.c.bitmaps[5];
    const CollectionBitmap& rle_back = *f.c.bitmaps[6];
    EXPECT_EQ(raw_back.flags, 0);
    EXPECT_EQ(raw_back.pixels, raw->pixels);
    EXPECT_EQ(rle_back.flags, kBitmapRle);
    EXPECT_EQ(rle_back.pixels, rle->pixels);
}

TEST(PlateImport, ReplacingChecksTheCellsBeforeChangingAnything) {
    PlateFixture f;
    CollectionSequence* s = AddSequence(&f.c, "s");
    s->frames[0].instances[0].standard.bitmap = f.b;
    pirn_test::TempDir dir;
    const std::string with_empty = SavePlate(dir, "with empty", Grid(kPlateRows));
    ScriptedPrompts prompts;
    ImageFile file;
    InitImageFile(&file, with_empty);
    EXPECT_EQ(ImportColorPlate(&f.c, &file, {f.a, f.b, f.cc}, prompts), 0u);
    EXPECT_EQ(ImportColorPlate(&f.c, &file, {f.a, f.b, f.cc, f.a}, prompts), 0u);
    EXPECT_EQ(prompts.errors,
              (std::vector<std::string>{"Number of images in plate (4) does not match the expected value of 3.",
                                        "The replace could not be performed because a bitmap in the plate contains "
                                        "no pixels."}));
    EXPECT_EQ(GetCollectionBitmap(f.c, 1), f.b);

    // Without the empty cell: cell i replaces selected bitmap i.
    PixelImage three;
    ASSERT_TRUE(BuildPlateImage(f.c, {f.cc, f.a, f.b}, false, 0, &three));
    ImageFile full;
    InitImageFile(&full, SavePlate(dir, "three", three));
    prompts.errors.clear();
    EXPECT_EQ(ImportColorPlate(&f.c, &full, {f.a, f.b, f.cc}, prompts), 3u);
    EXPECT_TRUE(prompts.errors.empty());
    EXPECT_STREQ(f.c.bitmaps[0]->name, "A") << "a replacement keeps the replaced bitmap's name";
    EXPECT_EQ(f.c.bitmaps[0]->width, 3);
    EXPECT_EQ(f.c.bitmaps[2]->width, 1);
    EXPECT_EQ(s->frames[0].instances[0].standard.bitmap, f.c.bitmaps[1].get());
}

TEST(PlateImport, AnIncompatiblePaletteAsksAndCancelChangesNothing) {
    PlateFixture f;
    pirn_test::TempDir dir;
    PixelImage plate = Grid(kPlateRows);
    for (u32 i = 0; i < 256; ++i) plate.palette[3 * i + 1] = 99;  // colours the full table lacks
    ImageFile file;
    InitImageFile(&file, SavePlate(dir, "other", plate));
    ScriptedPrompts prompts;
    const std::vector<u8> table(f.c.colors, f.c.colors + kColorTableBytes);
    prompts.answers = {1};
    EXPECT_EQ(ImportColorPlate(&f.c, &file, {}, prompts), 0u);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0],
              "Error|'other.png': The plate is not compatible with the existing color table.\nWould you like to "
              "replace the color table in the tag with the one in the file?");
    EXPECT_EQ(std::vector<u8>(f.c.colors, f.c.colors + kColorTableBytes), table);
    EXPECT_EQ(GetCollectionBitmapCount(f.c), 3u);
    prompts.answers = {0};
    EXPECT_EQ(ImportColorPlate(&f.c, &file, {}, prompts), 3u);
    EXPECT_EQ(f.c.colors[3 * 40 + 1], 99);
}

TEST(PlateImport, NotAPlateIsReportedWithTheFileName) {
    pirn_test::TempDir dir;
    std::vector<std::string> rows = kPlateRows;
    rows[1][3] = '.';
    ImageFile file;
    InitImageFile(&file, SavePlate(dir, "broken", Grid(rows)));
    Collection c;
    InitCollection(&c);
    ScriptedPrompts prompts;
    EXPECT_EQ(ImportColorPlate(&c, &file, {}, prompts), 0u);
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"'broken.png': The color plate is not of the correct format."});
}

TEST(PlateImport, AlphaPlatesSetEachBitmapsAlpha) {
    PlateFixture f;
    pirn_test::TempDir dir;
    std::vector<std::string> rows = kPlateRows;
    rows[3].replace(3, 2, "9.");  // A: alpha 9 and 0 on its first row
    ImageFile file;
    InitImageFile(&file, SavePlate(dir, "alpha", Grid(rows, kFormatAlpha)));
    ScriptedPrompts prompts;
    EXPECT_FALSE(ImportAlphaPlate(&file, {f.a, f.b, f.cc}, prompts)) << "four cells for three bitmaps";
    EXPECT_FALSE(ImportAlphaPlate(&file, {f.a, f.b, f.cc, f.a}, prompts)) << "an empty cell has no size";

    for (int y : {7, 8, 9}) rows[y][10] = '.';  // without the empty cell
    ImageFile three;
    InitImageFile(&three, SavePlate(dir, "three", Grid(rows, kFormatAlpha)));
    EXPECT_FALSE(ImportAlphaPlate(&three, {f.b, f.a, f.cc}, prompts)) << "sizes differ";
    ASSERT_EQ(prompts.errors.size(), 3u);
    EXPECT_EQ(prompts.errors[0],
              "'alpha.png': The alpha plate is not of the correct format or the image dimensions do not match.");
    EXPECT_EQ(f.a->pixels[0], 255) << "nothing changed";
    EXPECT_TRUE(ImportAlphaPlate(&three, {f.a, f.b, f.cc}, prompts));
    EXPECT_EQ(f.a->pixels, (std::vector<u8>{9, 5, 0, 6, 7, 7, 8, 8}));
    EXPECT_EQ(f.a->flags, kBitmapPartialAlpha);
}

}  // namespace
}  // namespace pirn
