// The standard collection builder on folders of frames written by the
// tests: the three layouts, dimensions from folder names and the default,
// frame lists and orders, cropping, de-duplication, the shared palette,
// registration offsets, and every bad folder ending in its log line.

#include <gtest/gtest.h>

#include <set>

#include "collections/collection_builder.h"
#include "collections/collection_tag.h"
#include "platform/log_capture.h"
#include "platform/strings.h"
#include "tests/collections/builder_fixture.h"
#include "tests/collections/collection_fixture.h"

namespace pirn {
namespace {

using namespace builder_fixture;
using collection_fixture::MemoryStream;

// Frame k of a test sequence: an 8 x 8 frame with a rectangle whose place
// and colour tell it apart from every other k.
PixelImage NumberedFrame(u32 k) {
    const u32 x0 = 1 + k % 3, y0 = 1 + k % 2;
    const Rgba colour{u8(20 + (k * 37) % 200), u8(40 + (k * 11) % 180), u8(200 - (k * 7) % 150), 255};
    return Frame(8, 8, x0, y0, x0 + 3, 6, colour);
}

class CollectionBuilderTest : public ::testing::Test {
protected:
    void SetUp() override { root_ = dir.path() + "/frames/"; }
    const std::string& root() const { return root_; }

    // Files "name 001.png".. of frames first .. first + count - 1.
    void WriteFrames(const std::string& folder, u32 count, u32 first = 0, const char* extension = "png") {
        for (u32 k = 0; k < count; ++k)
            WritePicture(root() + folder + FormatString("/f %03u.%s", k + 1, extension), NumberedFrame(first + k));
    }

    // Builds the root folder and reads the written collection back.
    int Build(bool frames_then_views = false, i32 reg_x = 0, i32 reg_y = 0, bool invert = false) {
        CollectionBuildSettings settings;
        settings.name = "Test Build";
        settings.folder = root();
        settings.default_order = frames_then_views ? kFramesThenViews : kViewsThenFrames;
        settings.registration_x = reg_x;
        settings.registration_y = reg_y;
        settings.invert_alphas = invert;
        InitCollection(&built);
        return BuildCollection(settings, [&](Collection* c) {
            MemoryStream out;
            TagHeader header{};
            if (SaveCollection(c, out.file, &header) != 1) return false;
            header.data_offset = 0;
            header.data_length = u32(out.Contents().size());
            std::rewind(out.file);
            return LoadCollection(&built, out.file, &header, true) == 1;
        });
    }

    std::string Topic() const {
        for (const LoggedMessage& m : log.messages())
            if (m.topic.rfind("BuildCollection ", 0) == 0) return log.TopicText(m.topic);
        return "";
    }

    const CollectionSequence* Sequence(const char* name) const {
        for (const auto& s : built.sequences)
            if (std::string(s->name) == name) return s.get();
        return nullptr;
    }

    const CollectionBitmap* BitmapAt(const CollectionSequence* s, u32 frame, u32 view) const {
        return s->frames.at(frame).instances.at(view).standard.bitmap;
    }

    pirn_test::TempDir dir;
    std::string root_;
    ScopedLogCapture log;
    Collection built;
};

TEST_F(CollectionBuilderTest, DimensionsFromNamesOrEightViews) {
    WriteFrames("walk(8,12)", 96);
    WriteFrames("idle", 20, 200);
    WriteFrames("stand", 24, 300);
    WriteFrames("pose(2,3)", 6, 400);
    ASSERT_EQ(Build(), 1);
    ASSERT_EQ(built.sequences.size(), 3u);
    const CollectionSequence* walk = Sequence("walk");
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(walk->view_count, 8);
    EXPECT_EQ(walk->frame_count, 12);
    const CollectionSequence* stand = Sequence("stand");
    ASSERT_NE(stand, nullptr);
    EXPECT_EQ(stand->view_count, 8);
    EXPECT_EQ(stand->frame_count, 3);
    EXPECT_NE(Sequence("pose"), nullptr);
    EXPECT_EQ(Sequence("idle"), nullptr);
    EXPECT_EQ(built.bitmaps.size(), 96u + 24u + 6u);
    const std::string text = Topic();
    EXPECT_NE(text.find("****************** Begin BuildCollection log for 'Test Build' ******************\n"),
              std::string::npos);
    EXPECT_NE(text.find("ERROR: the sequence folder '" + root() +
                        "idle/' had invalid dimensions, no dimensions in script.txt and no dimensions in the name.\n"),
              std::string::npos);
    EXPECT_NE(text.find("INFO: Sequence dimensions not specified for '" + root() +
                        "stand/'; Assuming the default of 8 views.\n"),
              std::string::npos);
    EXPECT_NE(text.find("Writing collection data to disk...ok.\n"), std::string::npos);
    EXPECT_NE(text.find("s elpased\n"), std::string::npos);
}

TEST_F(CollectionBuilderTest, NamesFromFilesAreTheProgramsText) {
    // File names are UTF-8; a collection's names are 8-bit text, where
    // "\xE4" (a-umlaut) is code 0x8A.
    WritePicture(root() + "l\xC3\xA4ufer(1,2)/\xC3\xA4 1.png", NumberedFrame(0));
    WritePicture(root() + "l\xC3\xA4ufer(1,2)/\xC3\xA4 2.png", NumberedFrame(1));
    ASSERT_EQ(Build(), 1) << Topic();
    const CollectionSequence* s = Sequence("l\x8A" "ufer");
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(BitmapAt(s, 0, 0)->name, "\x8A 1");
    EXPECT_STREQ(BitmapAt(s, 1, 0)->name, "\x8A 2");
}

TEST_F(CollectionBuilderTest, FramesAndViewsFollowTheFileOrder) {
    // 2 views x 3 frames; file k is frame k / 2, view k % 2 by default.
    WriteFrames("a(2,3)", 6);
    // The same files written frames-then-views: file k is view k / 3, frame k % 3.
    WriteFrames("b(2,3)", 6, 100);
    pirn_test::WriteAll(root() + "b(2,3)/script.txt", "BitmapOrder FramesThenViews\n");
    ASSERT_EQ(Build(), 1);
    const CollectionSequence* a = Sequence("a");
    const CollectionSequence* b = Sequence("b");
    ASSERT_TRUE(a && b);
    // Bitmaps are named after their files and kept in file order.
    EXPECT_STREQ(BitmapAt(a, 1, 0)->name, "f 003");
    EXPECT_STREQ(BitmapAt(a, 2, 1)->name, "f 006");
    EXPECT_STREQ(BitmapAt(b, 1, 0)->name, "f 002");
    EXPECT_STREQ(BitmapAt(b, 0, 1)->name, "f 004");
    EXPECT_STREQ(BitmapAt(b, 2, 1)->name, "f 006");
}

TEST_F(CollectionBuilderTest, TheDialogsOrderAppliesWithoutAScript) {
    WriteFrames("a(2,3)", 6);
    ASSERT_EQ(Build(true), 1);
    EXPECT_STREQ(BitmapAt(Sequence("a"), 0, 1)->name, "f 004");
}

TEST_F(CollectionBuilderTest, FrameListsPickAndRepeatSourceFrames) {
    // run(8,4) with 16 files and (1 2 ~ 2): frame 3 is empty, frames 2 and 4
    // show the same bitmaps.
    WriteFrames("run(8,4)", 16);
    pirn_test::WriteAll(root() + "run(8,4)/script.txt", "(1 2 ~ 2)\r\n");
    // With the frames-then-views order the list picks among the frames present.
    WriteFrames("jump(2,3)", 4, 50);
    pirn_test::WriteAll(root() + "jump(2,3)/script.txt", "BitmapOrder FramesThenViews\n(2 ~ 1)\n");
    ASSERT_EQ(Build(), 1);
    const CollectionSequence* run = Sequence("run");
    ASSERT_NE(run, nullptr);
    ASSERT_EQ(run->frame_count, 4);
    for (u32 v = 0; v < 8; ++v) {
        EXPECT_STREQ(BitmapAt(run, 0, v)->name, FormatString("f %03u", v + 1).c_str());
        EXPECT_EQ(BitmapAt(run, 1, v), BitmapAt(run, 3, v));
        EXPECT_STREQ(BitmapAt(run, 1, v)->name, FormatString("f %03u", v + 9).c_str());
        EXPECT_EQ(BitmapAt(run, 2, v), nullptr);
    }
    const CollectionSequence* jump = Sequence("jump");
    ASSERT_NE(jump, nullptr);
    // Files: view 0 frames 0 1, view 1 frames 0 1; source frame 1 is f 002 and f 004.
    EXPECT_STREQ(BitmapAt(jump, 0, 0)->name, "f 002");
    EXPECT_STREQ(BitmapAt(jump, 0, 1)->name, "f 004");
    EXPECT_EQ(BitmapAt(jump, 1, 0), nullptr);
    EXPECT_STREQ(BitmapAt(jump, 2, 1)->name, "f 003");
}

TEST_F(CollectionBuilderTest, FolderLayouts) {
    // R/bitmaps/S with R/alphas/S: BMP colours with grey BMP masks.
    for (u32 k = 0; k < 2; ++k) {
        const PixelImage frame = NumberedFrame(k);
        pirn_test::WriteAll(root() + FormatString("bitmaps/masked(2,1)/c%u.bmp", k), Bmp24(frame));
        pirn_test::WriteAll(root() + FormatString("alphas/masked(2,1)/a%u.bmp", k), BmpGrey(frame));
    }
    ASSERT_EQ(Build(), 1);
    ASSERT_EQ(built.sequences.size(), 1u);
    EXPECT_STREQ(built.sequences[0]->name, "masked");
    ASSERT_EQ(built.bitmaps.size(), 2u);
    EXPECT_EQ(built.bitmaps[0]->width, 4);
    EXPECT_EQ(built.bitmaps[0]->height, 6);  // NumberedFrame(0): rows 1..6

    // R/S/bitmaps with R/S/alphas, and colour files with ".alpha" masks side by side.
    pirn_test::TempDir other;
    for (u32 k = 0; k < 2; ++k) {
        const PixelImage frame = NumberedFrame(k + 10);
        pirn_test::WriteAll(other.path() + FormatString("/nested(2,1)/bitmaps/%u.png", k), Png(ColoursOf(frame)));
        pirn_test::WriteAll(other.path() + FormatString("/nested(2,1)/alphas/%u.png", k), Png(AlphaOf(frame)));
        const PixelImage beside = NumberedFrame(k + 20);
        pirn_test::WriteAll(other.path() + FormatString("/beside(2,1)/x%u.bmp", k), Bmp24(beside));
        pirn_test::WriteAll(other.path() + FormatString("/beside(2,1)/x%u.alpha.bmp", k), BmpGrey(beside));
    }
    CollectionBuildSettings settings;
    settings.name = "Other";
    settings.folder = other.path();
    Collection c;
    InitCollection(&c);
    u32 sequences = 0, bitmaps = 0;
    ASSERT_EQ(BuildCollection(settings,
                              [&](Collection* made) {
                                  sequences = u32(made->sequences.size());
                                  bitmaps = u32(made->bitmaps.size());
                                  return true;
                              }),
              1);
    EXPECT_EQ(sequences, 2u);
    EXPECT_EQ(bitmaps, 4u);
}

TEST_F(CollectionBuilderTest, CropsToTheAlphaAndOffsetsFromTheRegistrationPoint) {
    // 2 views: k 0 has its box at (1, 1)-(4, 6), k 1 at (2, 2)-(5, 6).
    WriteFrames("s(2,1)", 2);
    ASSERT_EQ(Build(false, 4, -7), 1);
    const CollectionSequence* s = Sequence("s");
    ASSERT_NE(s, nullptr);
    const BitmapInstance& v0 = s->frames[0].instances[0];
    const BitmapInstance& v1 = s->frames[0].instances[1];
    EXPECT_EQ(v0.standard.x, 4 - 1);
    EXPECT_EQ(v0.standard.y, -7 - 1);
    EXPECT_EQ(v1.standard.x, 4 - 2);
    EXPECT_EQ(v1.standard.y, -7 - 2);
    EXPECT_EQ(v0.standard.bitmap->width, 4);
    EXPECT_EQ(v1.standard.bitmap->height, 5);
}

TEST_F(CollectionBuilderTest, EqualFramesBecomeOneBitmapUsedTwice) {
    // Equal after cropping, though drawn at different places of their frames.
    const Rgba red{200, 10, 10, 255};
    WritePicture(root() + "s(2,1)/a.png", Frame(8, 8, 0, 0, 2, 2, red));
    WritePicture(root() + "s(2,1)/b.png", Frame(10, 6, 5, 3, 7, 5, red));
    ASSERT_EQ(Build(), 1);
    ASSERT_EQ(built.bitmaps.size(), 1u);
    const CollectionSequence* s = Sequence("s");
    EXPECT_EQ(BitmapAt(s, 0, 0), BitmapAt(s, 0, 1));
    EXPECT_EQ(s->frames[0].instances[1].standard.x, -5);  // offsets still from each frame's own box
}

TEST_F(CollectionBuilderTest, OneSharedPaletteWithTheTwoKeyColoursFirst) {
    PixelImage frame = Frame(6, 4, 0, 0, 5, 3, Rgba{250, 200, 10, 255});
    for (u32 x = 0; x < 6; ++x) {
        frame.pixels[(1 * 6 + x) * 4 + 3] = 128;  // a half-transparent row
        frame.pixels[(3 * 6 + x) * 4 + 3] = 0;    // a transparent row inside the box's columns
    }
    frame.pixels[3 * 6 * 4 + 3] = 255;  // keeps the box 4 rows high
    WritePicture(root() + "s(2,1)/a.png", frame);
    WritePicture(root() + "s(2,1)/b.png", Frame(6, 4, 0, 0, 3, 3, Rgba{10, 120, 240, 255}));
    ASSERT_EQ(Build(), 1);
    ASSERT_EQ(built.bitmaps.size(), 2u);
    const u8* table = built.colors;
    EXPECT_EQ(std::vector<u8>(table, table + 6), (std::vector<u8>{0, 0, 255, 255, 0, 255}));
    std::set<u32> yellow_or_blue;
    for (const auto& bitmap : built.bitmaps) {
        for (size_t i = 0; i < bitmap->pixels.size(); i += 2) {
            if (bitmap->pixels[i] == 0) continue;
            const u8 index = bitmap->pixels[i + 1];
            EXPECT_GE(index, 2);
            const u8* c = &table[index * 3];
            yellow_or_blue.insert(u32(c[0]) << 16 | u32(c[1]) << 8 | c[2]);
        }
    }
    EXPECT_EQ(yellow_or_blue, (std::set<u32>{0xFAC80A, 0x0A78F0}));
    const CollectionBitmap& a = *built.bitmaps[0];
    EXPECT_TRUE(a.flags & kBitmapRle);          // it has transparent pixels
    EXPECT_TRUE(a.flags & kBitmapPartialAlpha);  // and half-transparent ones
    EXPECT_EQ(a.pixels[(1 * 6 + 2) * 2], 136);   // 128 as the codec keeps alphas: (a / 16) x 17
    EXPECT_EQ(a.pixels[(3 * 6 + 2) * 2], 0);
}

TEST_F(CollectionBuilderTest, InvertedAlphas) {
    // A mask drawn black on white.
    PixelImage frame = NumberedFrame(0);
    PixelImage mask = AlphaOf(frame);
    for (u8& b : mask.pixels) b = u8(255 - b);
    pirn_test::WriteAll(root() + "s(1,1)/x.png", Png(ColoursOf(frame)));
    pirn_test::WriteAll(root() + "s(1,1)/x.alpha.png", Png(mask));
    ASSERT_EQ(Build(false, 0, 0, true), 1);
    ASSERT_EQ(built.bitmaps.size(), 1u);
    EXPECT_EQ(built.bitmaps[0]->width, 4);
}

TEST_F(CollectionBuilderTest, BadSequencesAreSkippedWithTheirLine) {
    struct Case {
        const char* what;
        std::function<void(const std::string& folder)> write;
        const char* line;  // with %s for the colour folder path
    };
    const Case cases[] = {
        {"alpha count",
         [&](const std::string& f) {
             WriteFrames(f, 2);
             pirn_test::WriteAll(root() + f + "/f 001.alpha.png", Png(AlphaOf(NumberedFrame(0))));
         },
         "ERROR: found 1 alphas for sequence 'bad', expected 2\n"},
        {"too few files",
         [&](const std::string& f) { WriteFrames(f, 3); },
         "ERROR: sequence folder '%s' contains 3 bitmaps, expected 4\n"},
        {"frame list length",
         [&](const std::string& f) {
             WriteFrames(f, 4);
             pirn_test::WriteAll(root() + f + "/script.txt", "(1 2 1)\n");
         },
         "ERROR: script.txt in sequence folder '%s' specifies 3 frames, expected 2\n"},
        {"frame list past the files",
         [&](const std::string& f) {
             WriteFrames(f, 4);
             pirn_test::WriteAll(root() + f + "/script.txt", "(1 9)\n");
         },
         "ERROR: script.txt in sequence folder '%s' specified a frame index (9), larger than the number of frames "
         "found in the folder (2).\n"},
        {"colour file",
         [&](const std::string& f) {
             WriteFrames(f, 3);
             pirn_test::WriteAll(root() + f + "/f 004.png", std::string("not a picture"));
         },
         "ERROR: the color bitmap file '%sf 004.png' could not be loaded.\n"},
        {"alpha file",
         [&](const std::string& f) {
             WriteFrames(f + "/bitmaps", 4);
             pirn_test::WriteAll(root() + f + "/alphas/x.bmp", std::string("BM broken"));
             for (u32 k = 1; k < 4; ++k)
                 pirn_test::WriteAll(root() + f + FormatString("/alphas/y%u.bmp", k), BmpGrey(NumberedFrame(k)));
         },
         "ERROR: the alpha bitmap file '%salphas/x.bmp' could not be loaded.\n"},
        {"alpha not grey",
         [&](const std::string& f) {
             WriteFrames(f, 4);
             for (u32 k = 0; k < 4; ++k) {
                 PixelImage paletted;
                 SetImagePixels(&paletted, 8, 8, kFormatColorIndex, nullptr);
                 const u8 palette[6] = {0, 0, 0, 200, 0, 0};
                 SetImagePalette(&paletted, 2, palette);
                 pirn_test::WriteAll(root() + f + FormatString("/f %03u.alpha.png", k + 1), Png(paletted));
             }
         },
         "WARNING: the alpha bitmap file '%sf 001.alpha.png' was not 8-bit grayscale.\n"},
        {"alpha size",
         [&](const std::string& f) {
             WriteFrames(f, 4);
             for (u32 k = 0; k < 4; ++k)
                 pirn_test::WriteAll(root() + f + FormatString("/f %03u.alpha.png", k + 1),
                                     Png(AlphaOf(Frame(9, 8, 0, 0, 3, 3, Rgba{0, 0, 0, 255}))));
         },
         "ERROR: the alpha bitmap file '%sf 001.alpha.png' had different dimensions than its color counterpart, "
         "'%sf 001.png'.\n"},
        {"one column",
         [&](const std::string& f) {
             WriteFrames(f, 3);
             WritePicture(root() + f + "/f 004.png", Frame(8, 8, 2, 0, 2, 7, Rgba{9, 9, 9, 255}));
         },
         "ERROR: bitmap '%sf 004.png' is empty after cropping (missing alpha channel?)\n"},
        {"no alpha at all",
         [&](const std::string& f) {
             WriteFrames(f, 3);
             WritePicture(root() + f + "/f 004.png", Frame(8, 8, 0, 0, 0, 0, Rgba{9, 9, 9, 0}));
         },
         "ERROR: bitmap '%sf 004.png' is empty after cropping (missing alpha channel?)\n"},
        {"no views",
         [&](const std::string&) { WriteFrames("bad(0,5)", 5); },
         "ERROR: the sequence folder '%s' names 0 views and 5 frames; each must be at least 1 and views x frames at "
         "most 65534.\n"},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        root_ = dir.path() + FormatString("/case %d/", ++number);
        log.Clear();
        WriteFrames("good(1,1)", 1, 900);
        const std::string folder = std::string(c.what) == "no views" ? "bad(0,5)" : "bad(2,2)";
        c.write(folder);
        ASSERT_EQ(Build(), 1) << Topic();
        EXPECT_EQ(built.sequences.size(), 1u);
        EXPECT_EQ(built.bitmaps.size(), 1u) << "a skipped sequence leaves no bitmap behind";
        const std::string path = root() + folder + "/";
        std::string line = c.line;
        for (size_t at; (at = line.find("%s")) != std::string::npos;) line.replace(at, 2, path);
        EXPECT_NE(Topic().find(line), std::string::npos) << Topic();
        bool level_one = false;
        for (const LoggedMessage& m : log.messages())
            if (m.text == line) level_one = m.level == 1;
        EXPECT_TRUE(level_one);
    }
}

TEST_F(CollectionBuilderTest, FewerFramesUsedThanFilesIsAWarning) {
    WriteFrames("s(2,1)", 4);
    ASSERT_EQ(Build(), 1);
    EXPECT_NE(Topic().find("WARNING: sequence folder '" + root() +
                           "s(2,1)/' contains 4 bitmaps, expected 2. Some bitmaps will not be used.\n"),
              std::string::npos);
    EXPECT_EQ(Sequence("s")->frame_count, 1);
}

TEST_F(CollectionBuilderTest, NothingToBuildFailsWithoutWriting) {
    WriteFrames("idle", 3);
    bool written = false;
    CollectionBuildSettings settings;
    settings.name = "Empty";
    settings.folder = root();
    EXPECT_EQ(BuildCollection(settings,
                              [&](Collection*) {
                                  written = true;
                                  return true;
                              }),
              0);
    EXPECT_FALSE(written);
    EXPECT_NE(Topic().find("ERROR: no usable bitmaps were found in '" + root() + "'.\n"), std::string::npos);
}

TEST_F(CollectionBuilderTest, AFailedWriteIsReported) {
    WriteFrames("s(1,1)", 1);
    CollectionBuildSettings settings;
    settings.name = "Unwritten";
    settings.folder = root();
    EXPECT_EQ(BuildCollection(settings, [](Collection*) { return false; }), 0);
    EXPECT_NE(Topic().find("Writing collection data to disk...failed!\n"), std::string::npos);
}

TEST_F(CollectionBuilderTest, EachBuildHasATopicOfItsOwn) {
    WriteFrames("s(1,1)", 1);
    ASSERT_EQ(Build(), 1);
    ASSERT_EQ(Build(), 1);
    std::set<std::string> topics;
    for (const LoggedMessage& m : log.messages()) topics.insert(m.topic);
    ASSERT_EQ(topics.size(), 2u);
    int first = -1, second = -1;
    ASSERT_EQ(std::sscanf(topics.begin()->c_str(), "BuildCollection %d (Test Build)", &first), 1);
    ASSERT_EQ(std::sscanf(std::next(topics.begin())->c_str(), "BuildCollection %d (Test Build)", &second), 1);
    EXPECT_EQ(std::abs(second - first), 1);
}

}  // namespace
}  // namespace pirn

namespace pirn {
namespace {

// Frame files cut short or with bytes changed: each is refused with a line
// or builds, never more.
TEST(CollectionBuilderDamage, DamagedFramesEndInLines) {
    pirn_test::TempDir dir;
    ScopedLogCapture log;
    const std::vector<u8> png = builder_fixture::Png(NumberedFrame(3));
    const std::vector<u8> bmp = builder_fixture::BmpGrey(NumberedFrame(3));
    u32 seed = 99;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int round = 0; round < 60; ++round) {
        const std::string folder = dir.path() + FormatString("/r%d/s(1,1)/", round);
        std::vector<u8> colour = png, alpha = bmp;
        std::vector<u8>& victim = round % 2 ? colour : alpha;
        if (round % 3 == 0) {
            victim.resize(next() % victim.size());
        } else {
            for (int n = 0; n < 4; ++n) victim[next() % victim.size()] = u8(next());
        }
        pirn_test::WriteAll(folder + "x.png", colour);
        pirn_test::WriteAll(folder + "x.alpha.bmp", alpha);
        CollectionBuildSettings settings;
        settings.name = "Damaged";
        settings.folder = dir.path() + FormatString("/r%d", round);
        BuildCollection(settings, [](Collection* c) {
            std::string reason;
            return CheckCollectionStorable(*c, &reason);
        });
    }
}

}  // namespace
}  // namespace pirn
