// The high-resolution builder on collections made here and folders of
// larger frames written by the tests: matching files with instances,
// orders, reversed views, frame lists, mirrored crop boxes, records copied
// from other sequences, the alternate fields and bitmaps it adds, and the
// runs that end in a FATAL line without writing.

#include <gtest/gtest.h>

#include "collections/frame_layout.h"
#include "collections/hue_regions.h"
#include "collections/uprez_builder.h"
#include "collections/uprez_resample.h"
#include "platform/log_capture.h"
#include "platform/strings.h"
#include "tests/collections/builder_fixture.h"

namespace pirn {
namespace {

using namespace builder_fixture;

// A picture at its place in a larger frame: the frame is full_w x full_h,
// the picture w x h at (x0, y0), one colour per picture number.
PixelImage HighResFrame(u32 full_w, u32 full_h, u32 x0, u32 y0, u32 w, u32 h, u32 number) {
    const Rgba colour{u8(30 + number * 23 % 200), u8(60 + number * 41 % 190), u8(90 + number * 13 % 160), 255};
    return Frame(full_w, full_h, x0, y0, x0 + w - 1, y0 + h - 1, colour);
}

class UpResBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCollection(&c);
        std::strncpy(c.name, "Test Res", sizeof c.name - 1);
        settings.folder = dir.path() + "/hi";
        settings.target_scale = 2.0;
        settings.tolerance = 0.1;
    }

    CollectionBitmap* Bitmap(const char* name, u32 w, u32 h) {
        return AddCollectionBitmap(&c, name, 0, nullptr, w, h, 2, nullptr);
    }
    CollectionSequence* Sequence(const char* name, u16 views, u16 frames) {
        CollectionSequence* s = AddSequence(&c, name);
        ResizeSequence(s, views, frames);
        return s;
    }
    static void Show(CollectionSequence* s, u32 f, u32 v, CollectionBitmap* b, i16 x, i16 y, u32 flags = 0) {
        BitmapInstance* i = GetSequenceInstance(s, f, v);
        i->standard.bitmap = b;
        i->standard.x = x;
        i->standard.y = y;
        i->flags = flags;
    }
    void WriteHigh(const std::string& relative, const PixelImage& image) {
        WritePicture(settings.folder + "/" + relative, image);
    }
    // s/0.png: a 4 x 4 block of red (a team colour) in a frame of blue.
    void WriteTeamFrame() {
        PixelImage frame = Frame(8, 8, 0, 0, 7, 7, Rgba{40, 40, 200, 255});
        for (u32 y = 2; y < 6; ++y)
            for (u32 x = 2; x < 6; ++x) {
                u8* p = &frame.pixels[(y * 8 + x) * 4];
                p[0] = 210, p[1] = 20, p[2] = 20;
            }
        WriteHigh("s/0.png", frame);
    }

    int Run(const std::string& root_script = "") {
        BuildScript script;
        ParseBuildScript(root_script, &script);
        written = false;
        return UpResCollection(&c, settings, script, [&](Collection*) {
            written = true;
            return true;
        });
    }

    std::string Topic() const {
        for (const LoggedMessage& m : log.messages())
            if (m.topic.rfind("UpRes ", 0) == 0) return log.TopicText(m.topic);
        return "";
    }
    bool Logged(const std::string& line, i32 level) const {
        for (const LoggedMessage& m : log.messages())
            if (m.text == line && m.level == level) return true;
        return false;
    }

    pirn_test::TempDir dir;
    ScopedLogCapture log;
    UpResSettings settings;
    Collection c;
    bool written = false;
};

// 2 views x 2 frames of 5 x 4 bitmaps whose frames had the registration
// point 3 right of and 6 below the bitmap's corner; their 2x renderings in
// 30 x 20 frames.
class TwoByTwoTest : public UpResBuilderTest {
protected:
    void SetUp() override {
        UpResBuilderTest::SetUp();
        walk = Sequence("walk", 2, 2);
        for (u32 k = 0; k < 4; ++k) {
            bitmaps[k] = Bitmap(FormatString("w%u", k).c_str(), 5, 4);
            Show(walk, k / 2, k % 2, bitmaps[k], 3, 6);
            WriteHigh(FormatString("walk/%u.png", k), HighResFrame(30, 20, 2, 4, 10, 8, k));
        }
    }
    CollectionSequence* walk = nullptr;
    CollectionBitmap* bitmaps[4] = {};
};

TEST_F(TwoByTwoTest, TwiceTheSizeAddsEightBytePicturesAndAlternates) {
    ASSERT_EQ(Run(), 1) << Topic();
    EXPECT_TRUE(written);
    ASSERT_EQ(c.bitmaps.size(), 8u);
    for (u32 k = 0; k < 4; ++k) {
        const CollectionBitmap& added = *c.bitmaps[4 + k];
        EXPECT_STREQ(added.name, FormatString("%u.png", k).c_str());
        EXPECT_EQ(added.width, 10);
        EXPECT_EQ(added.height, 8);
        EXPECT_EQ(added.bytes_per_pixel, 8);
        EXPECT_EQ(added.flags, 0);
        const BitmapInstance& i = walk->frames[k / 2].instances[k % 2];
        EXPECT_TRUE(i.flags & kInstanceHasAlternate);
        EXPECT_EQ(i.alternate.bitmap, &added);
        EXPECT_EQ(i.alternate.index, 4 + k);
        EXPECT_EQ(i.alternate.scale, 327680u);  // 10 / 2 in 16.16
        EXPECT_EQ(i.alternate.x, 6);            // the registration point, twice as far
        EXPECT_EQ(i.alternate.y, 12);
        EXPECT_EQ(i.standard.bitmap, bitmaps[k]);  // the standard reference stays
    }
    // At the same size each added pixel is its picture's pixel.
    const u8* first = c.bitmaps[4]->pixels.data();
    EXPECT_EQ(first[0], 30);
    EXPECT_EQ(first[1], 60);
    EXPECT_EQ(first[2], 90);
    EXPECT_EQ(first[3], 31);
    const std::string topic = Topic();
    for (const char* line : {"****************** Begin UpRes log for 'Test Res' ******************\n",
                             "scanning sequence 'walk'\n",
                             "********* All folders loaded, now attempting upres process\n",
                             "computed global scale: 2.00\n", "4 instances, 4 unique\n"})
        EXPECT_NE(topic.find(line), std::string::npos) << line;
    EXPECT_TRUE(Logged("scanning sequence 'walk'\n", 1));
}

TEST_F(TwoByTwoTest, ASmallerTargetResizesThePictures) {
    settings.target_scale = 1.0;
    ASSERT_EQ(Run(), 1);
    for (u32 k = 0; k < 4; ++k) {
        EXPECT_EQ(c.bitmaps[4 + k]->width, 5);
        EXPECT_EQ(c.bitmaps[4 + k]->height, 4);
        const BitmapInstance& i = walk->frames[k / 2].instances[k % 2];
        EXPECT_EQ(i.alternate.scale, 655360u);
        EXPECT_EQ(i.alternate.x, 3);
        EXPECT_EQ(i.alternate.y, 6);
    }
}

TEST_F(TwoByTwoTest, DegenerateRunsEndInAFatalLineAndWriteNothing) {
    struct Case {
        double target;
        const char* line;
    };
    const Case cases[] = {
        {3.0, "FATAL: computed scale (2.00) must not be less than the target scale (3.00).\n"},
        {0.0, "FATAL: the target scale (0.00) must be above 0.\n"},
        {0.00001, "FATAL: the target scale (1e-05) is too small to be stored.\n"},
        {0.05, "FATAL: the image '"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.target);
        log.Clear();
        settings.target_scale = k.target;
        EXPECT_EQ(Run(), 0);
        EXPECT_FALSE(written);
        EXPECT_NE(Topic().find(k.line), std::string::npos) << Topic();
        EXPECT_EQ(c.bitmaps.size(), 4u);
        EXPECT_FALSE(walk->frames[0].instances[0].flags & kInstanceHasAlternate);
    }
}

TEST_F(TwoByTwoTest, TooManyBitmapsForTheCollection) {
    while (c.bitmaps.size() < 0xFFFE - 3) Bitmap("filler", 1, 1);
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(Topic().find("FATAL: 65531 bitmaps and 4 high-resolution images are more than the 65534 bitmaps a "
                           "collection holds.\n"),
              std::string::npos);
}

TEST_F(TwoByTwoTest, AlignmentGroups) {
    // The second view drawn one pixel further right in its high-resolution
    // frames: a whole-sequence mean spreads the difference, views aligned
    // individually keep it.
    for (u32 k = 1; k < 4; k += 2)
        WriteHigh(FormatString("walk/%u.png", k), HighResFrame(30, 20, 3, 4, 10, 8, k));
    ASSERT_EQ(Run("AlignType WholeSequence\n"), 1);
    EXPECT_EQ(walk->frames[0].instances[0].alternate.x, 7);  // mean 6.5 rounds away from zero
    EXPECT_EQ(walk->frames[0].instances[1].alternate.x, 6);
    InitCollection(&c);
    SetUp();
    for (u32 k = 1; k < 4; k += 2)
        WriteHigh(FormatString("walk/%u.png", k), HighResFrame(30, 20, 3, 4, 10, 8, k));
    ASSERT_EQ(Run("AlignType ViewsIndividually\n"), 1);
    EXPECT_EQ(walk->frames[0].instances[0].alternate.x, 6);
    EXPECT_EQ(walk->frames[1].instances[1].alternate.x, 6);
}

TEST_F(UpResBuilderTest, ReversedViewsAndOrders) {
    // 2 frames x 3 views; with reversed views the files go 2, 1, 0, 5, 4, 3.
    CollectionSequence* s = Sequence("turn", 3, 2);
    for (u32 k = 0; k < 6; ++k) Show(s, k / 3, k % 3, Bitmap("b", 4, 4), 0, 0);
    for (u32 k = 0; k < 6; ++k) WriteHigh(FormatString("turn/%u.png", k), HighResFrame(8, 8, 0, 0, 8, 8, k));
    pirn_test::WriteAll(settings.folder + "/turn/script.txt", "ReverseViews yes\n");
    ASSERT_EQ(Run(), 1);
    const u32 expected[6] = {2, 1, 0, 5, 4, 3};
    for (u32 k = 0; k < 6; ++k)
        EXPECT_STREQ(s->frames[k / 3].instances[k % 3].alternate.bitmap->name,
                     FormatString("%u.png", expected[k]).c_str());

    // Frames-then-views files (file view x 2 + frame) with the frame list
    // (2 1): frame 0 shows source frame 1.
    InitCollection(&c);
    log.Clear();
    s = Sequence("turn", 3, 2);
    for (u32 k = 0; k < 6; ++k) Show(s, k / 3, k % 3, Bitmap("b", 4, 4), 0, 0);
    pirn_test::WriteAll(settings.folder + "/turn/script.txt", "BitmapOrder FramesThenViews\n(2 1)\n");
    ASSERT_EQ(Run(), 1) << Topic();
    for (u32 v = 0; v < 3; ++v) {
        EXPECT_STREQ(s->frames[0].instances[v].alternate.bitmap->name, FormatString("%u.png", v * 2 + 1).c_str());
        EXPECT_STREQ(s->frames[1].instances[v].alternate.bitmap->name, FormatString("%u.png", v * 2).c_str());
    }
}

TEST_F(UpResBuilderTest, MirroredInstancesMirrorTheirCropBox) {
    CollectionSequence* s = Sequence("m", 2, 1);
    CollectionBitmap* b = Bitmap("b", 25, 10);
    Show(s, 0, 0, b, 0, 0, kInstanceMirrored);
    Show(s, 0, 1, Bitmap("c", 25, 10), 0, 0, kInstanceFlipped);
    WriteHigh("m/0.png", HighResFrame(100, 40, 10, 5, 50, 20, 0));
    WriteHigh("m/1.png", HighResFrame(100, 40, 10, 5, 50, 20, 1));
    UpResState state;
    state.collection = &c;
    state.folder = settings.folder + "/";
    state.order = kViewsThenFrames;
    state.topic = "mirror test";
    ScanHighResFolder(&state);
    RecoverUpResRecords(&state);
    ASSERT_EQ(state.records.size(), 2u);
    const CropBox mirrored = state.records[0]->crop;
    EXPECT_EQ(mirrored.x0, 40);
    EXPECT_EQ(mirrored.x1, 89);
    EXPECT_EQ(mirrored.y0, 5);
    const CropBox flipped = state.records[1]->crop;
    EXPECT_EQ(flipped.x0, 10);
    EXPECT_EQ(flipped.y0, 15);
    EXPECT_EQ(flipped.y1, 34);
}

TEST_F(UpResBuilderTest, InstancesTakeRecordsOfTheirBitmapFromOtherSequences) {
    CollectionBitmap* shared = Bitmap("shared", 4, 4);
    CollectionSequence* a = Sequence("a", 1, 1);
    CollectionSequence* b = Sequence("b", 2, 1);
    Show(a, 0, 0, shared, 1, 1);
    Show(b, 0, 0, shared, 1, 1);
    Show(b, 0, 1, shared, 1, 1, kInstanceMirrored);
    WriteHigh("a/0.png", HighResFrame(12, 12, 0, 0, 8, 8, 0));
    pirn_test::WriteAll(settings.folder + "/b/0.png", std::string("no picture"));
    pirn_test::WriteAll(settings.folder + "/b/1.png", std::string("no picture"));
    ASSERT_EQ(Run(), 1) << Topic();
    EXPECT_NE(Topic().find("ERROR: could not create UpRes bitmap instance for '" + settings.folder +
                           "/b/0.png' (bad format?)\n"),
              std::string::npos);
    EXPECT_NE(Topic().find("'b': recovered 2/2 bitmaps from other sequences\n"), std::string::npos);
    ASSERT_EQ(c.bitmaps.size(), 2u);
    for (const BitmapInstance& i : b->frames[0].instances) EXPECT_EQ(i.alternate.bitmap, c.bitmaps[1].get());
    // The mirrored copy starts from the box as loaded, then mirrors it.
    EXPECT_EQ(a->frames[0].instances[0].alternate.x, 2);
}

TEST_F(UpResBuilderTest, FilesThatCannotServeAreNamed) {
    CollectionSequence* s = Sequence("s", 6, 1);
    for (u32 v = 0; v < 6; ++v) Show(s, 0, v, Bitmap("b", 4, 4), 0, 0);
    const PixelImage frame = HighResFrame(8, 8, 0, 0, 8, 8, 1);
    WriteHigh("s/0.png", frame);
    // Grey.
    pirn_test::WriteAll(settings.folder + "/s/1.png", Png(AlphaOf(frame)));
    // Colours whose mask has another size.
    pirn_test::WriteAll(settings.folder + "/s/2.bmp", Bmp24(frame));
    pirn_test::WriteAll(settings.folder + "/s/2.alpha.bmp", BmpGrey(HighResFrame(9, 8, 0, 0, 9, 8, 1)));
    // Colours without a mask.
    pirn_test::WriteAll(settings.folder + "/s/3.bmp", Bmp24(frame));
    // Palette colours with a mask found by "alpha." after a dot.
    PixelImage paletted;
    SetImagePixels(&paletted, 8, 8, kFormatColorIndex, nullptr);
    const u8 palette[6] = {10, 20, 30, 200, 100, 50};
    SetImagePalette(&paletted, 2, palette);
    for (u32 i = 0; i < 8; ++i) paletted.pixels[i] = 1;
    pirn_test::WriteAll(settings.folder + "/s/4.x.png", Png(paletted));
    pirn_test::WriteAll(settings.folder + "/s/4.alpha.x.png", Png(AlphaOf(frame)));
    // Nothing drawn.
    WriteHigh("s/5.png", Frame(8, 8, 0, 0, 0, 0, Rgba{1, 2, 3, 0}));
    ASSERT_EQ(Run(), 1) << Topic();
    const std::string folder = settings.folder + "/s/";
    for (const std::string& line :
         {"ERROR: the high-resolution file '" + folder + "1.png' is grayscale; it needs color and alpha.\n",
          "ERROR: the alpha bitmap file '" + folder + "2.alpha.bmp' had different dimensions than its color "
                                                      "counterpart, '" + folder + "2.bmp'.\n",
          "ERROR: could not create UpRes bitmap instance for '" + folder + "3.bmp' (bad format?)\n",
          "ERROR: bitmap '" + folder + "5.png' is empty after cropping (missing alpha channel?)\n"})
        EXPECT_TRUE(Logged(line, 2)) << line << Topic();
    for (u32 v : {1u, 2u, 3u, 5u}) EXPECT_FALSE(s->frames[0].instances[v].flags & kInstanceHasAlternate) << v;
    ASSERT_TRUE(s->frames[0].instances[4].flags & kInstanceHasAlternate);
    const CollectionBitmap* from_palette = s->frames[0].instances[4].alternate.bitmap;
    EXPECT_EQ(from_palette->pixels[0], 200);  // palette entry 1 of the top row
    EXPECT_EQ(from_palette->pixels[1], 100);
}

TEST_F(UpResBuilderTest, InstancesWithoutABitmapAreLeftOut) {
    CollectionSequence* s = Sequence("s", 2, 1);
    Show(s, 0, 0, Bitmap("b", 4, 4), 0, 0);
    WriteHigh("s/0.png", HighResFrame(8, 8, 0, 0, 8, 8, 0));
    WriteHigh("s/1.png", HighResFrame(8, 8, 0, 0, 8, 8, 1));
    ASSERT_EQ(Run(), 1);
    EXPECT_FALSE(s->frames[0].instances[1].flags & kInstanceHasAlternate);
    EXPECT_EQ(c.bitmaps.size(), 2u);
    EXPECT_NE(Topic().find("INFO: 's' frame 1 view 2 shows no bitmap; its high-resolution file is not used.\n"),
              std::string::npos);
}

TEST_F(UpResBuilderTest, SequenceFoldersThatDoNotFit) {
    struct Case {
        const char* script;
        u32 files;
        const char* line;
        i32 level;
    };
    const Case cases[] = {
        {"", 3, "WARNING: sequence folder '%s' contains 3 bitmaps, expected 4. Sequence may not be constructed.\n", 1},
        {"(1)", 4, "ERROR: script.txt in sequence folder '%s' specifies 1 frames, expected 2\n", 2},
        {"(1 1)", 4, "ERROR: sequence folder '%s' contains 4 bitmaps, expected 2\n", 2},
        {"(1 3)", 4,
         "ERROR: script.txt in sequence folder '%s' specified a frame index (3), larger than the number of frames "
         "found in the folder (2).\n",
         2},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.script);
        InitCollection(&c);
        log.Clear();
        pirn_test::TempDir fresh;
        settings.folder = fresh.path();
        CollectionSequence* s = Sequence("s", 2, 2);
        for (u32 i = 0; i < 4; ++i) Show(s, i / 2, i % 2, Bitmap("b", 4, 4), 0, 0);
        // Another sequence so that the run has something to measure.
        CollectionSequence* ok = Sequence("ok", 1, 1);
        Show(ok, 0, 0, Bitmap("k", 4, 4), 0, 0);
        WriteHigh("ok/0.png", HighResFrame(8, 8, 0, 0, 8, 8, 9));
        for (u32 i = 0; i < k.files; ++i) WriteHigh(FormatString("s/%u.png", i), HighResFrame(8, 8, 0, 0, 8, 8, i));
        if (*k.script) pirn_test::WriteAll(settings.folder + "/s/script.txt", std::string(k.script) + "\n");
        ASSERT_EQ(Run(), 1);
        std::string line = k.line;
        line.replace(line.find("%s"), 2, settings.folder + "/s/");
        EXPECT_TRUE(Logged(line, k.level)) << Topic();
        EXPECT_FALSE(s->frames[0].instances[0].flags & kInstanceHasAlternate);
    }
}

TEST_F(UpResBuilderTest, PicturesOfDifferentSizesBreakTheAlignment) {
    CollectionSequence* s = Sequence("s", 3, 1);
    for (u32 v = 0; v < 3; ++v) Show(s, 0, v, Bitmap("b", 4, 4), 0, 0);
    WriteHigh("s/0.png", HighResFrame(20, 20, 0, 0, 8, 8, 0));
    WriteHigh("s/1.png", HighResFrame(21, 20, 0, 0, 8, 8, 1));
    WriteHigh("s/2.png", HighResFrame(20, 22, 0, 0, 8, 8, 2));
    ASSERT_EQ(Run(), 1);
    const std::string line = "ERROR: sequence 's': not all bitmaps are the same size; Alignment not preserved!\n";
    EXPECT_TRUE(Logged(line, 2));
    const std::string topic = Topic();
    EXPECT_EQ(topic.find(line), topic.rfind(line)) << "once per sequence";
}

TEST_F(UpResBuilderTest, SequenceNamesBecomeSafeFolderNames) {
    CollectionSequence* s = Sequence("../escape", 1, 1);
    Show(s, 0, 0, Bitmap("b", 4, 4), 0, 0);
    WriteHigh(".._escape/0.png", HighResFrame(8, 8, 0, 0, 8, 8, 0));
    WriteHigh("../escape/0.png", HighResFrame(8, 8, 0, 0, 6, 6, 1));  // outside the folder: never read
    ASSERT_EQ(Run(), 1) << Topic();
    EXPECT_EQ(s->frames[0].instances[0].alternate.bitmap->width, 8);
}

TEST_F(UpResBuilderTest, SequenceFoldersAndBitmapNamesGoThroughTheCharacterMap) {
    // The sequence "l\x8Aufer" in 8-bit text is the folder "l\xC3\xA4ufer" in
    // UTF-8, and the file name comes back as 8-bit text.
    CollectionSequence* s = Sequence("l\x8A" "ufer", 1, 1);
    Show(s, 0, 0, Bitmap("b", 4, 4), 0, 0);
    WriteHigh("l\xC3\xA4ufer/\xC3\xA4.png", HighResFrame(8, 8, 0, 0, 8, 8, 0));
    ASSERT_EQ(Run(), 1) << Topic();
    const CollectionBitmap* high = s->frames[0].instances[0].alternate.bitmap;
    ASSERT_NE(high, nullptr);
    EXPECT_STREQ(high->name, "\x8A.png");
    std::string folder;
    ASSERT_TRUE(MakeSafeFolderName("l\x8A" "ufer", &folder));
    EXPECT_EQ(folder, "l\xC3\xA4ufer");
}

TEST_F(UpResBuilderTest, HueChangesMarkTheirPixels) {
    CollectionSequence* s = Sequence("s", 1, 1);
    Show(s, 0, 0, Bitmap("b", 4, 4), 0, 0);
    WriteTeamFrame();
    AddHueChange(&c, "blue");
    c.hue_changes[0]->start_hue = u16(200 * 65536 / 360);
    c.hue_changes[0]->end_hue = u16(260 * 65536 / 360);
    // The script's one hue change replaces the collection's one.
    ASSERT_EQ(Run("HueChange \"Team\" 340 0 20 40\n"), 1);
    const auto& pixels = s->frames[0].instances[0].alternate.bitmap->pixels;
    EXPECT_EQ(pixels[(3 * 8 + 3) * 8 + 3] >> 5, 1);  // red: hue number 1
    EXPECT_EQ(pixels[3] >> 5, 0);                    // blue: none
    EXPECT_STREQ(c.hue_changes[0]->name, "blue");    // the collection keeps its own
}

TEST_F(UpResBuilderTest, AScriptWithAnotherNumberOfHueChangesIsIgnored) {
    CollectionSequence* s = Sequence("s", 1, 1);
    Show(s, 0, 0, Bitmap("b", 4, 4), 0, 0);
    WriteTeamFrame();
    ASSERT_EQ(Run("HueChange \"Team\" 340 0 20 40\nHueChange 1 2 3 4\n"), 1);
    EXPECT_TRUE(Logged("ERROR: 2 hue changes specified in script.txt, expected 0. Script hues ignored.\n", 2));
    const auto& pixels = s->frames[0].instances[0].alternate.bitmap->pixels;
    EXPECT_EQ(pixels[(3 * 8 + 3) * 8 + 3] >> 5, 0);
}

TEST_F(UpResBuilderTest, OnlySevenHueChangesFitThePixels) {
    CollectionSequence* s = Sequence("s", 1, 1);
    Show(s, 0, 0, Bitmap("b", 4, 4), 0, 0);
    WriteTeamFrame();
    // Seven that hold nothing red, then the red one: it cannot be named.
    for (int i = 0; i < 7; ++i) {
        CollectionHueChange* h = AddHueChange(&c, "other");
        h->start_hue = u16((100 + i) * 65536 / 360);
        h->end_hue = u16((101 + i) * 65536 / 360);
    }
    CollectionHueChange* red = AddHueChange(&c, "red");
    red->start_hue = u16(340 * 65536 / 360);
    red->end_hue = u16(20 * 65536 / 360);
    ASSERT_EQ(Run(), 1);
    EXPECT_TRUE(Logged("WARNING: high-resolution pixels can name only the first 7 hue changes; the other 1 are not "
                       "marked.\n",
                       1));
    for (size_t i = 0; i < 64; ++i) EXPECT_EQ(s->frames[0].instances[0].alternate.bitmap->pixels[i * 8 + 3] >> 5, 0);
}

}  // namespace
}  // namespace pirn
