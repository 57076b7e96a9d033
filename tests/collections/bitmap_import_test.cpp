// Bitmaps, shadows and alpha masks from files: the checks and their
// messages, the colour-table question, and replacing selected bitmaps.

#include "collections/bitmap_import.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/pref_store.h"
#include "tests/collections/scripted_prompts.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

std::string SuitePng(const std::string& name) { return pirn_test::SourceDir() + "/tests/data/pngsuite/png/" + name + ".png"; }

// A paletted PNG written for the test: width x 1 pixels of the given
// indices over a palette whose entry i is (i, seed, 255 - i).
std::string WritePaletted(const pirn_test::TempDir& dir, const std::string& name, const std::vector<u8>& indices,
                          u8 seed) {
    ImageFile file;
    InitImageFile(&file, dir.file(name + ".png"));
    file.type = kTypePng;
    SetImagePixels(&file.image, u32(indices.size()), 1, kFormatColorIndex, indices.data());
    u8 palette[kPaletteBytes];
    for (u32 i = 0; i < 256; ++i) {
        palette[3 * i] = u8(i);
        palette[3 * i + 1] = seed;
        palette[3 * i + 2] = u8(255 - i);
    }
    SetImagePalette(&file.image, 256, palette);
    EXPECT_TRUE(SaveImageFile(&file));
    return file.path;
}

std::string WriteGrey(const pirn_test::TempDir& dir, const std::string& name, u32 width, u32 height,
                      const std::vector<u8>& grey) {
    ImageFile file;
    InitImageFile(&file, dir.file(name + ".png"));
    file.type = kTypePng;
    SetImagePixels(&file.image, width, height, kFormatAlpha, grey.data());
    EXPECT_TRUE(SaveImageFile(&file));
    return file.path;
}

TEST(ImportChecks, EachFileProblemHasItsMessage) {
    pirn_test::TempDir dir;
    pirn_test::WriteAll(dir.file("notes.png"), std::string("not a picture at all"));
    std::vector<u8> cut = pirn_test::ReadAll(SuitePng("basn3p08"));
    cut.resize(cut.size() - 80);  // the headers stand, the pixel data is cut
    pirn_test::WriteAll(dir.file("cut.png"), cut);
    // A damaged header is no PNG; damage after it is found when the pixels
    // are read.
    std::vector<u8> header = pirn_test::ReadAll(SuitePng("basn3p08"));
    header[20] ^= 1;  // the IHDR height, against its CRC
    pirn_test::WriteAll(dir.file("header.png"), header);
    std::vector<u8> palette = pirn_test::ReadAll(SuitePng("basn3p08"));
    const auto plte = std::search(palette.begin(), palette.end(), std::begin("PLTE"), std::end("PLTE") - 1);
    ASSERT_NE(plte, palette.end());
    plte[10] ^= 1;  // a colour, against the chunk's CRC
    pirn_test::WriteAll(dir.file("palette.png"), palette);
    // Sides past 32767 cannot be stored in a tag.
    const std::string widest = WritePaletted(dir, "widest", std::vector<u8>(32767, 2), 0);
    const std::string wide = WritePaletted(dir, "wide", std::vector<u8>(32768, 2), 0);
    const std::string tall = WriteGrey(dir, "tall", 1, 32768, std::vector<u8>(32768, 9));
    const struct {
        std::string path;
        bool paletted_ok, greyscale_ok;
        const char* paletted_error;
        const char* greyscale_error;
    } cases[] = {
        {SuitePng("basn3p08"), true, false, "", "'basn3p08.png': The image is not 8-bit greyscale."},
        {SuitePng("basn0g08"), false, true, "'basn0g08.png': The image is not 8-bit paletted.", ""},
        {SuitePng("basn2c08"), false, false, "'basn2c08.png': The image is not 8-bit paletted.",
         "'basn2c08.png': The image is not 8-bit greyscale."},
        {dir.file("notes.png"), false, false, "'notes.png': The file is not of the right format.",
         "'notes.png': The file is not of the right format."},
        {dir.file("missing.png"), false, false, "'missing.png': The file is not of the right format.",
         "'missing.png': The file is not of the right format."},
        {dir.file("cut.png"), false, false, "'cut.png': An error occurred while reading the image data.",
         "'cut.png': An error occurred while reading the image data."},
        {dir.file("header.png"), false, false, "'header.png': The file is not of the right format.",
         "'header.png': The file is not of the right format."},
        {dir.file("palette.png"), false, false, "'palette.png': An error occurred while reading the image data.",
         "'palette.png': An error occurred while reading the image data."},
        {widest, true, false, "", "'widest.png': The image is not 8-bit greyscale."},
        {wide, false, false, "'wide.png': The image is larger than 32767 pixels on a side.",
         "'wide.png': The image is not 8-bit greyscale."},
        {tall, false, false, "'tall.png': The image is not 8-bit paletted.",
         "'tall.png': The image is larger than 32767 pixels on a side."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        for (bool paletted : {true, false}) {
            ScriptedPrompts prompts;
            ImageFile file;
            InitImageFile(&file, c.path);
            const bool ok = paletted ? CheckPalettedImage(&file, prompts) : CheckGreyscaleImage(&file, prompts);
            EXPECT_EQ(ok, paletted ? c.paletted_ok : c.greyscale_ok);
            EXPECT_EQ(file.stream, nullptr) << "the check closes the file";
            const std::string expected = paletted ? c.paletted_error : c.greyscale_error;
            if (expected.empty())
                EXPECT_TRUE(prompts.errors.empty());
            else
                EXPECT_EQ(prompts.errors, std::vector<std::string>{expected});
        }
    }
}

TEST(ImportBitmaps, IncompatiblePaletteAsksBeforeReplacingTheTable) {
    pirn_test::TempDir dir;
    Collection c;
    InitCollection(&c);
    ScriptedPrompts prompts;
    // The first file brings its palette; the second's colours (seed 9) have
    // no room, since the table holds 256 distinct colours.
    const std::string first = WritePaletted(dir, "first", {2, 3, 0}, 1);
    const std::string second = WritePaletted(dir, "second", {5, 1}, 9);
    ASSERT_EQ(AddBitmapsFromFiles(&c, {first}, false, prompts), 1u);
    EXPECT_STREQ(c.bitmaps[0]->name, "first");
    EXPECT_EQ(c.colors[3 * 200 + 1], 1);

    ImageFile file;
    InitImageFile(&file, second);
    ASSERT_TRUE(CheckPalettedImage(&file, prompts));
    prompts.answers = {1};  // Cancel
    EXPECT_EQ(AddBitmapWithPrompt(&c, &file, nullptr, prompts), nullptr);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0],
              "Error|'second.png': The image is not compatible with the existing color table.\nWould you like to "
              "replace the color table in the tag with the one in the file?");
    EXPECT_EQ(prompts.asked_buttons, (std::vector<std::string>{"Replace", "Cancel"}));
    EXPECT_EQ(GetCollectionBitmapCount(c), 1u);
    EXPECT_EQ(c.colors[3 * 200 + 1], 1) << "Cancel leaves the table";

    prompts.answers = {0};  // Replace
    CollectionBitmap* b = AddBitmapWithPrompt(&c, &file, nullptr, prompts);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(c.colors[3 * 200 + 1], 9);
    EXPECT_EQ(b->pixels, (std::vector<u8>{255, 5, 0, 0}));
    EXPECT_TRUE(prompts.errors.empty());
}

TEST(ImportBitmaps, AFileListWithOneBadFileAddsNothing) {
    pirn_test::TempDir dir;
    Collection c;
    InitCollection(&c);
    ScriptedPrompts prompts;
    const std::string good = WritePaletted(dir, "good", {2}, 1);
    EXPECT_EQ(AddBitmapsFromFiles(&c, {good, SuitePng("basn2c08")}, false, prompts), 0u);
    EXPECT_EQ(GetCollectionBitmapCount(c), 0u);
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"'basn2c08.png': The image is not 8-bit paletted."});
}

TEST(ImportShadows, GreyBecomesTheIndexAndNonZeroGreyIsOpaque) {
    pirn_test::TempDir dir;
    Collection c;
    InitCollection(&c);
    ScriptedPrompts prompts;
    const std::string path = WriteGrey(dir, "Cast Shadow", 3, 1, {0, 90, 255});
    ASSERT_EQ(AddBitmapsFromFiles(&c, {path}, true, prompts), 1u);
    const CollectionBitmap& shadow = *c.bitmaps[0];
    EXPECT_STREQ(shadow.name, "Cast Shadow");
    EXPECT_EQ(shadow.flags, kBitmapShadow);
    EXPECT_EQ(shadow.pixels, (std::vector<u8>{0, 0, 255, 90, 255, 255}));
    EXPECT_EQ(AddBitmapsFromFiles(&c, {SuitePng("basn3p08")}, true, prompts), 0u);
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"'basn3p08.png': The image is not 8-bit greyscale."});
}

TEST(ImportNames, FileNamesBecomeBitmapNamesOfAtMost63Characters) {
    EXPECT_EQ(BitmapNameFromPath("/x/y/Walk 01.png"), "Walk 01");
    EXPECT_EQ(BitmapNameFromPath("/x/y/" + std::string(70, 'w') + ".tiff"), std::string(63, 'w'));
    EXPECT_EQ(BitmapNameFromPath("/x/caf\xC3\xA9.bmp"), "caf\x8E") << "UTF-8 to the program's 8-bit text";
}

TEST(ImportAlpha, MaskSizeMustMatchTheBitmap) {
    pirn_test::TempDir dir;
    Collection c;
    InitCollection(&c);
    CollectionBitmap* b = AddCollectionBitmap(&c, "b", 0, nullptr, 3, 2, 2, nullptr);
    const std::string path = WriteGrey(dir, "mask", 2, 2, {0, 1, 2, 3});
    ImageFile file;
    InitImageFile(&file, path);
    ScriptedPrompts prompts;
    ASSERT_TRUE(CheckGreyscaleImage(&file, prompts));
    EXPECT_FALSE(CheckAlphaMask(b, file, prompts));
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"'mask.png': The alpha mask must have the same dimensions as "
                                                       "the image. Found: 2 x 2. Expected: 3 x 2."});
}

struct ReplaceFixture {
    pirn_test::TempDir dir;
    Collection c;
    std::vector<CollectionBitmap*> bitmaps;
    ScriptedPrompts prompts;
    ReplaceFixture() {
        InitCollection(&c);
        for (const char* name : {"Walk 00", "Walk 01", "Walk 02"}) {
            std::vector<u8> pixels(2 * 2, 255);
            bitmaps.push_back(AddCollectionBitmap(&c, name, 0, pixels.data(), 2, 1, 2, nullptr));
        }
        // The table holds the palette the files use (seed 1).
        for (u32 i = 0; i < 256; ++i) {
            c.colors[3 * i] = u8(i);
            c.colors[3 * i + 1] = 1;
            c.colors[3 * i + 2] = u8(255 - i);
        }
        CollectionSequence* s = AddSequence(&c, "Walk");
        s->frames[0].instances[0].standard.bitmap = bitmaps[1];
    }
};

TEST(ImportReplace, ByOrderNeedsAtLeastAsManySelectedBitmapsAsFiles) {
    ReplaceFixture f;
    const std::string a = WritePaletted(f.dir, "a", {2}, 1), b = WritePaletted(f.dir, "b", {3}, 1);
    EXPECT_EQ(ReplaceBitmapsFromFiles(&f.c, {a, b}, {f.bitmaps[2]}, kReplaceBitmaps, kMapByOrder, f.prompts), 0u);
    EXPECT_EQ(f.prompts.errors, std::vector<std::string>{"1 bitmaps were selected, expected at least 2"});
    f.prompts.errors.clear();
    EXPECT_EQ(ReplaceBitmapsFromFiles(&f.c, {a, b}, {f.bitmaps[1], f.bitmaps[0]}, kReplaceBitmaps, kMapByOrder,
                                      f.prompts),
              2u);
    EXPECT_TRUE(f.prompts.errors.empty());
    EXPECT_STREQ(f.c.bitmaps[1]->name, "a");
    EXPECT_EQ(f.c.bitmaps[1]->pixels, (std::vector<u8>{255, 2}));
    EXPECT_EQ(f.c.sequences[0]->frames[0].instances[0].standard.bitmap, f.c.bitmaps[1].get())
        << "the view shows the replacement";
    EXPECT_STREQ(f.c.bitmaps[0]->name, "b");
}

TEST(ImportReplace, ByNameListsTheBitmapsNoFileNames) {
    ReplaceFixture f;
    std::vector<CollectionBitmap*> selected = f.bitmaps;
    for (int i = 0; i < 12; ++i) {
        std::vector<u8> pixels(2, 255);
        selected.push_back(
            AddCollectionBitmap(&f.c, ("Extra " + std::to_string(i)).c_str(), 0, pixels.data(), 1, 1, 2, nullptr));
    }
    const std::string w1 = WritePaletted(f.dir, "Walk 01", {4}, 1);
    EXPECT_EQ(ReplaceBitmapsFromFiles(&f.c, {w1}, selected, kReplaceBitmaps, kMapByName, f.prompts), 0u);
    ASSERT_EQ(f.prompts.errors.size(), 1u);
    EXPECT_EQ(f.prompts.errors[0],
              "The following bitmaps were not matched by name: Walk 00, Walk 02, Extra 0, Extra 1, Extra 2, Extra 3, "
              "Extra 4, Extra 5, Extra 6, Extra 7, (4 more)");
    EXPECT_STREQ(f.c.bitmaps[1]->name, "Walk 01");
    EXPECT_EQ(f.c.bitmaps[1]->pixels[1], 255) << "nothing replaced";

    f.prompts.errors.clear();
    EXPECT_EQ(ReplaceBitmapsFromFiles(&f.c, {w1}, {f.bitmaps[1]}, kReplaceBitmaps, kMapByName, f.prompts), 1u);
    EXPECT_EQ(f.c.bitmaps[1]->pixels, (std::vector<u8>{255, 4}));
}

TEST(ImportReplace, ShadowsAndAlphasFromGreyFiles) {
    ReplaceFixture f;
    const std::string grey = WriteGrey(f.dir, "g", 2, 1, {0, 50});
    EXPECT_EQ(ReplaceBitmapsFromFiles(&f.c, {grey}, {f.bitmaps[0]}, kReplaceShadows, kMapByOrder, f.prompts), 1u);
    EXPECT_EQ(f.c.bitmaps[0]->flags, kBitmapShadow);
    EXPECT_EQ(f.c.bitmaps[0]->pixels, (std::vector<u8>{0, 0, 255, 50}));
    CollectionBitmap* target = f.c.bitmaps[2].get();
    EXPECT_EQ(ReplaceBitmapsFromFiles(&f.c, {grey}, {target}, kReplaceAlphas, kMapByOrder, f.prompts), 1u);
    EXPECT_EQ(target->pixels[0], 0);
    EXPECT_EQ(target->pixels[2], 50);
    EXPECT_EQ(target->flags, kBitmapPartialAlpha);
    const std::string wide = WriteGrey(f.dir, "wide", 3, 1, {1, 2, 3});
    EXPECT_EQ(ReplaceBitmapsFromFiles(&f.c, {grey, wide}, {f.bitmaps[1], target}, kReplaceAlphas, kMapByOrder,
                                      f.prompts),
              0u)
        << "one mask of the wrong size stops them all";
    EXPECT_EQ(f.c.bitmaps[1]->pixels[0], 255);
    EXPECT_TRUE(f.prompts.errors.back().find("Found: 3 x 1. Expected: 2 x 1.") != std::string::npos);
}

TEST(ImportReplace, DialogTitlesAndTheRememberedMappingMode) {
    EXPECT_STREQ(ReplaceDialogTitle(kReplaceBitmaps, 1), "Import replacement bitmap");
    EXPECT_STREQ(ReplaceDialogTitle(kReplaceShadows, 3), "Import replacement shadows");
    EXPECT_STREQ(ReplaceDialogTitle(kReplaceAlphas, 2), "Import replacement alphas");
    Prefs().Remove(kBitmapImportMappingModeKey);
    EXPECT_EQ(GetBitmapImportMappingMode(), u32(kMapByOrder));
    SetBitmapImportMappingMode(kMapByName);
    i32 stored = -1;
    EXPECT_TRUE(GetPrefInt("BitmapImportMappingMode", &stored));
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(GetBitmapImportMappingMode(), u32(kMapByName));
    Prefs().Remove(kBitmapImportMappingModeKey);
}

}  // namespace
}  // namespace pirn
