// "script.txt" and the frame layout rules of the builders: keys, line ends,
// truth values, frame lists, hue changes, folder names with dimensions, the
// two file orders and reversed views.

#include <gtest/gtest.h>

#include "collections/build_script.h"
#include "collections/frame_layout.h"

namespace pirn {
namespace {

BuildScript Parse(const std::string& text) {
    BuildScript script;
    ParseBuildScript(text, &script);
    return script;
}

TEST(BuildScript, KeysIgnoreCaseLeadingBlanksAndEveryLineEnd) {
    struct Case {
        const char* text;
        i32 order;
        i32 align;
    };
    const Case cases[] = {
        {"BitmapOrder FramesThenViews", kFramesThenViews, kAlignUnset},
        {"  \tbitmaporder ViewsThenFrames\n", kViewsThenFrames, kAlignUnset},
        {"BITMAPORDER FramesThenViews\rAlignType ViewsIndividually", kFramesThenViews, kAlignViewsIndividually},
        {"x\r\nBitmapOrder FramesThenViews\r\nAlignType FramesIndividually\r\n", kFramesThenViews,
         kAlignFramesIndividually},
        {"BitmapOrder Sideways\nAlignType Diagonal", kOrderUnset, kAlignUnset},  // unknown values change nothing
        {"BitmapOrderFramesThenViews", kOrderUnset, kAlignUnset},               // no key without its space
        {"# BitmapOrder FramesThenViews", kOrderUnset, kAlignUnset},
        {"BitmapOrder FramesThenViews\nBitmapOrder ViewsThenFrames", kViewsThenFrames, kAlignUnset},  // later wins
        {"AlignType WholeSequence\nAlignIndividually yes", kOrderUnset, kAlignBitmapsIndividually},
        {"AlignType BitmapsIndividually\nAlignIndividually no", kOrderUnset, kAlignWholeSequence},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const BuildScript script = Parse(c.text);
        EXPECT_EQ(script.order, c.order);
        EXPECT_EQ(script.align, c.align);
    }
}

TEST(BuildScript, TruthValues) {
    for (const char* yes : {"1", "T", "t", "True", "TRUE", "y", "Y", "Yes", "yES"}) EXPECT_TRUE(ParseTruthValue(yes)) << yes;
    for (const char* no : {"", "0", "F", "False", "No", "2", "Yess", "on"}) EXPECT_FALSE(ParseTruthValue(no)) << no;
    BuildScript script = Parse("ReverseViews Yes\n");
    EXPECT_TRUE(script.has_reverse_views);
    EXPECT_TRUE(script.reverse_views);
    script = Parse("ReverseViews 0\n");
    EXPECT_TRUE(script.has_reverse_views);
    EXPECT_FALSE(script.reverse_views);
}

TEST(BuildScript, FrameLists) {
    const i32 E = kEmptyFrame;
    struct Case {
        const char* line;
        std::vector<i32> list;
    };
    const Case cases[] = {
        {"(1 2 ~ 2)", {0, 1, E, 1}},
        {"(1,2,3)", {0, 1, 2}},
        {"(  10~~3 )", {9, E, E, 2}},
        {"(0 -3 4)", {E, E, 3}},         // numbers below 1 are empty frames
        {"(1 2) 3 4", {0, 1}},           // the list ends at ")"
        {"(1 2 3", {0, 1, 2}},           // or at the line's end
        {"(a1b2-c3)", {0, 1, 2}},        // other characters are skipped
        {"()", {}},
        {"(99999999999 1)", {2147483646, 0}},  // saturates
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const BuildScript script = Parse(std::string("BitmapOrder FramesThenViews\n  ") + c.line + "\r\n");
        EXPECT_TRUE(script.has_frame_list);
        EXPECT_EQ(script.frame_list, c.list);
    }
    EXPECT_FALSE(Parse("BitmapOrder FramesThenViews\n").has_frame_list);
    EXPECT_EQ(Parse("(1 2)\n(3)\n").frame_list, std::vector<i32>{2});
}

TEST(BuildScript, HueChangesTakeDegreesAndPercent) {
    const BuildScript script = Parse(
        "HueChange \"Team Red\" 340 0 20 40\n"
        "HueChange 90 120 180 100\n"
        "huechange \"Blue\" 360 -90 720 -5\n"
        "HueChange \"Broken\" 1 2 3\n");
    ASSERT_EQ(script.hue_changes.size(), 3u);
    const CollectionHueChange& red = script.hue_changes[0];
    EXPECT_STREQ(red.name, "Team Red");
    EXPECT_EQ(red.start_hue, 340 * 65536 / 360);   // offset 64
    EXPECT_EQ(red.median_hue, 0);                   // offset 102
    EXPECT_EQ(red.end_hue, 20 * 65536 / 360);       // offset 66
    EXPECT_EQ(red.minimum_saturation, 40 * 65535 / 100 + 1);  // offset 100
    const CollectionHueChange& green = script.hue_changes[1];
    EXPECT_STREQ(green.name, "");
    EXPECT_EQ(green.start_hue, 16384);
    EXPECT_EQ(green.median_hue, 21845);
    EXPECT_EQ(green.end_hue, 32768);
    EXPECT_EQ(green.minimum_saturation, 65535);
    const CollectionHueChange& blue = script.hue_changes[2];
    EXPECT_EQ(blue.start_hue, 0xFFFF);                     // a whole turn is the top of the range
    EXPECT_EQ(blue.median_hue, u16(-90 * 65536 / 360));
    EXPECT_EQ(blue.end_hue, 0);                            // two turns wrap
    EXPECT_EQ(blue.minimum_saturation, 1);                 // below 0 % counts as 0 %
    for (u8 b : red.affected_colors) EXPECT_EQ(b, 0);
    // "0 to 360" holds every hue: red at 0 degrees and blue at 240.
    const BuildScript all = Parse("HueChange \"All\" 0 180 360 0\n");
    ASSERT_EQ(all.hue_changes.size(), 1u);
    EXPECT_TRUE(HueChangeAffectsColor(all.hue_changes[0], 255, 0, 0));
    EXPECT_TRUE(HueChangeAffectsColor(all.hue_changes[0], 0, 0, 255));
    // A name longer than the record keeps 63 characters and its NUL.
    const BuildScript long_name = Parse("HueChange \"" + std::string(80, 'n') + "\" 1 2 3 4");
    ASSERT_EQ(long_name.hue_changes.size(), 1u);
    EXPECT_EQ(std::string(long_name.hue_changes[0].name), std::string(63, 'n'));
}

TEST(FrameLayout, FolderNamesCarryDimensions) {
    struct Case {
        const char* folder;
        const char* name;
        bool has;
        i32 views, frames;
        bool fits;
    };
    const Case cases[] = {
        {"walk(8,12)", "walk", true, 8, 12, true},
        {"walk (8, 12) final", "walk ", true, 8, 12, true},
        {"idle", "idle", false, 0, 0, false},
        {"odd(8)", "odd(8)", false, 0, 0, false},
        {"zero(0,5)", "zero", true, 0, 5, false},
        {"neg(-3,2)", "neg", true, -1, 2, false},
        {"big(300,300)", "big", true, 300, 300, false},
        {"edge(2,32767)", "edge", true, 2, 32767, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        const SequenceFolderName parsed = ParseSequenceFolderName(c.folder);
        EXPECT_EQ(parsed.name, c.name);
        EXPECT_EQ(parsed.has_dimensions, c.has);
        if (!c.has) continue;
        EXPECT_EQ(parsed.views, c.views);
        EXPECT_EQ(parsed.frames, c.frames);
        EXPECT_EQ(SequenceDimensionsFit(parsed.views, parsed.frames), c.fits);
    }
}

TEST(FrameLayout, OrdersAndReversedViews) {
    // 3 views x 2 frames written frames-then-views: file k is view k / 2,
    // frame k % 2. In the builders' order file f x 3 + v.
    std::vector<int> files = {0, 1, 2, 3, 4, 5};
    ReorderFramesThenViews(files, 3);
    EXPECT_EQ(files, (std::vector<int>{0, 2, 4, 1, 3, 5}));
    // Only whole frames move: 7 files of 3 views are 2 frames and one more.
    std::vector<int> ragged = {0, 1, 2, 3, 4, 5, 6};
    ReorderFramesThenViews(ragged, 3);
    EXPECT_EQ(ragged, (std::vector<int>{0, 2, 4, 1, 3, 5, 6}));

    std::vector<int> views = {0, 1, 2, 3, 4, 5};
    ReverseFrameViews(views, 3);
    EXPECT_EQ(views, (std::vector<int>{2, 1, 0, 5, 4, 3}));
}

TEST(FrameLayout, FrameListsAgainstFiles) {
    EXPECT_EQ(CountDistinctFrames({0, 1, kEmptyFrame, 1}), 2u);
    EXPECT_EQ(CountDistinctFrames({kEmptyFrame}), 0u);
    EXPECT_EQ(FirstFrameBeyondFiles({0, 1}, 8, 16), -1);
    EXPECT_EQ(FirstFrameBeyondFiles({0, 8}, 8, 16), 8);  // (1 9) of 16 files
    EXPECT_EQ(FirstFrameBeyondFiles({kEmptyFrame, 2}, 8, 23), 2);
    EXPECT_EQ(FirstFrameBeyondFiles({2147483646}, 65535, 100), 2147483646);
}

TEST(FrameLayout, FolderNamesFromTagData) {
    struct Case {
        const char* name;
        bool ok;
        const char* safe;
    };
    const Case cases[] = {
        {"walk", true, "walk"}, {"../../etc", true, ".._.._etc"}, {"a/b\\c", true, "a_b_c"},
        {"..", false, ""},      {".", false, ""},                 {"", false, ""},
        {"tab\there", true, "tab_here"},
        // Windows holds neither ':' nor a name ending in '.' or ' ', and
        // opens a device for CON and its kind.
        {"walk:1. ", true, "walk_1"}, {"CON", true, "_CON"}, {"lpt1.hi", true, "_lpt1.hi"},
    };
    for (const Case& c : cases) {
        std::string safe;
        EXPECT_EQ(MakeSafeFolderName(c.name, &safe), c.ok) << c.name;
        EXPECT_EQ(safe, c.safe) << c.name;
    }
}

}  // namespace
}  // namespace pirn

namespace pirn {
namespace {

// Scripts and folder names are whatever an artist's tools leave: random
// bytes must give some script, never a crash or a runaway.
TEST(BuildScript, RandomBytesParse) {
    u32 seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    const std::string alphabet = "()~-0123456789 \t\r\n\"HueChangeBitmapOrderReverseViewsAlignTypeYes,";
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const u32 length = next() % 200;
        for (u32 i = 0; i < length; ++i)
            text.push_back(next() % 4 == 0 ? char(next() & 0xFF) : alphabet[next() % alphabet.size()]);
        BuildScript script;
        ParseBuildScript(text, &script);
        for (i32 entry : script.frame_list) EXPECT_GE(entry, kEmptyFrame);
        const SequenceFolderName name = ParseSequenceFolderName(text);
        if (name.has_dimensions) {
            EXPECT_LE(name.name.size(), text.size());
        }
        std::string safe;
        if (MakeSafeFolderName(text, &safe)) {
            EXPECT_EQ(safe.find('/'), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace pirn
