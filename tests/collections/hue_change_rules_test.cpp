// The hue-change editor's rules apart from its window: units, what the
// saturation box stores and shows, the colour bar's marks and how a drag of
// each moves the median along, and duplicating.

#include "collections/hue_change_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace pirn {
namespace {

// Marks at the hues a drag to those degrees gives.
CollectionHueChange Hue(u32 startDegrees, u32 medianDegrees, u32 endDegrees) {
    CollectionHueChange hue;
    InitHueChange(&hue, "Team");
    hue.start_hue = HueFromDegrees(startDegrees);
    hue.median_hue = HueFromDegrees(medianDegrees);
    hue.end_hue = HueFromDegrees(endDegrees);
    return hue;
}

// The smallest hue shown as exactly that many degrees.
u16 HueAt(u32 degrees) { return u16((degrees * 65536 + 359) / 360); }

TEST(HueUnits, DegreesAndPercentsRoundDown) {
    CollectionHueChange hue;
    InitHueChange(&hue, "New Hue Change");
    EXPECT_EQ(HueDegrees(hue.start_hue), 120u);
    EXPECT_EQ(HueDegrees(hue.median_hue), 180u);
    EXPECT_EQ(HueDegrees(hue.end_hue), 240u);
    EXPECT_EQ(HueDegrees(0xFFFF), 359u);
    EXPECT_EQ(HueFromDegrees(180), 32768);
    EXPECT_EQ(HueFromDegrees(1), 182);  // 65536 / 360 toward zero
    // The end of the bar stays just short of a full turn instead of
    // wrapping back to red.
    EXPECT_EQ(HueFromDegrees(360), 0xFFFF);
    EXPECT_EQ(HueFromDegrees(400), 0xFFFF);
    EXPECT_EQ(SaturationPercent(32768), 50u);
    EXPECT_EQ(SaturationPercent(655), 0u);
    EXPECT_EQ(SaturationPercent(65535), 100u);
}

TEST(HueUnits, TheSaturationBoxStoresAndShowsWhatTheTypedPercentGives) {
    const struct {
        u16 current;
        const char* typed;
        bool changed;
        u16 stored;
        bool retype;
        u32 shown;
    } cases[] = {
        {0, "50", true, 32768, false, 50},
        {0, "250", true, 65535, true, 100},
        {0, "100", true, 65535, false, 100},
        {32768, "50", false, 32768, false, 50},  // the same percent: nothing stored
        {32768, "0", true, 1, false, 0},
        {32768, "-5", true, 1, true, 0},
        {0, "007", true, 4588, true, 7},
        {32768, "", false, 32768, false, 50},  // an empty box is no entry yet
        {32768, "-", false, 32768, false, 50},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.typed);
        const SaturationEntry entry = EnterSaturation(k.current, k.typed);
        EXPECT_EQ(entry.changed, k.changed);
        EXPECT_EQ(entry.stored, k.stored);
        EXPECT_EQ(entry.retype, k.retype);
        EXPECT_EQ(entry.shown, k.shown);
    }
}

TEST(HueControls, UseAsAndReplacementFlags) {
    EXPECT_EQ(UseAsChoiceOf(0), kUseNone);
    EXPECT_EQ(UseAsChoiceOf(1), kUsePrimary);
    EXPECT_EQ(UseAsChoiceOf(2), kUseSecondary);
    EXPECT_EQ(UseAsChoiceOf(3), kUsePrimary);
    EXPECT_EQ(UseAsBitsOf(kUseNone), 0);
    EXPECT_EQ(UseAsBitsOf(kUsePrimary), 1);
    EXPECT_EQ(UseAsBitsOf(kUseSecondary), 2);
    EXPECT_EQ(ReplacementFlagsFor(false, false), 0);
    EXPECT_EQ(ReplacementFlagsFor(false, true), 0);  // solid only together with a colour
    EXPECT_EQ(ReplacementFlagsFor(true, false), 1);
    EXPECT_EQ(ReplacementFlagsFor(true, true), 3);

    CollectionHueChange hue;
    InitHueChange(&hue, "x");
    const u8 rgb[3] = {255, 1, 128};
    SetReplacementColor8(&hue, rgb);
    EXPECT_EQ(hue.replacement_red, 65280);
    EXPECT_EQ(hue.replacement_green, 256);
    EXPECT_EQ(hue.replacement_blue, 32768);
    u8 back[3];
    ReplacementColor8(hue, back);
    EXPECT_EQ(0, std::memcmp(back, rgb, 3));
}

TEST(ColorBar, MarksArePickedWithinThreePixelsStartFirst) {
    CollectionHueChange hue;
    InitHueChange(&hue, "Team");
    hue.start_hue = HueAt(100);
    hue.median_hue = HueAt(104);
    hue.end_hue = HueAt(106);
    const struct {
        i32 x;
        HueMark mark;
    } cases[] = {
        {100, kStartMark}, {97, kStartMark}, {96, kNoMark}, {103, kStartMark},  // start before end and median
        {104, kEndMark}, {109, kEndMark}, {110, kNoMark}, {200, kNoMark},
    };
    for (const auto& k : cases) EXPECT_EQ(PickHueMark(hue, k.x), k.mark) << k.x;
    EXPECT_EQ(PickHueMark(Hue(10, 50, 90), 48), kMedianMark);
}

TEST(ColorBar, DraggingAMarkKeepsTheMedianInsideTheRange) {
    const struct {
        const char* what;
        u32 start, median, end;
        HueMark mark;
        i32 x;
        u32 newStart, newMedian, newEnd;
        bool changed;
    } cases[] = {
        {"start past the median pulls it along", 120, 180, 240, kStartMark, 200, 200, 200, 240, true},
        {"start back leaves the median", 120, 180, 240, kStartMark, 60, 60, 180, 240, true},
        {"end below the median pulls it back", 120, 180, 240, kEndMark, 150, 120, 150, 150, true},
        {"wrapping: start past the median pulls it along", 300, 330, 60, kStartMark, 340, 340, 340, 60, true},
        {"wrapping: end back past the median pulls it along", 300, 30, 60, kEndMark, 20, 300, 20, 20, true},
        {"start past the end wraps round a median left inside", 120, 180, 240, kStartMark, 300, 300, 180, 240, true},
        {"wrapping: median into the gap is ignored", 300, 330, 60, kMedianMark, 180, 300, 330, 60, false},
        {"wrapping: median past the start is taken", 300, 10, 60, kMedianMark, 330, 300, 330, 60, true},
        {"wrapping: median before the end is taken", 300, 330, 60, kMedianMark, 20, 300, 20, 60, true},
        {"median below the start stops at the start", 120, 180, 240, kMedianMark, 30, 120, 120, 240, true},
        {"median at the end stops at the end", 120, 180, 240, kMedianMark, 250, 120, 240, 240, true},
        {"the bar's ends clamp", 120, 180, 240, kEndMark, 500, 120, 180, 360, true},
        {"left of the bar clamps to 0", 120, 180, 240, kStartMark, -40, 0, 180, 240, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        CollectionHueChange hue = Hue(k.start, k.median, k.end);
        EXPECT_EQ(DragHueMark(&hue, k.mark, k.x), k.changed);
        EXPECT_EQ(hue.start_hue, HueFromDegrees(k.newStart));
        EXPECT_EQ(hue.median_hue, HueFromDegrees(k.newMedian));
        EXPECT_EQ(hue.end_hue, HueFromDegrees(k.newEnd));
    }
    CollectionHueChange hue = Hue(10, 20, 30);
    EXPECT_FALSE(DragHueMark(&hue, kNoMark, 15));
}

TEST(ColorBar, ColumnsRunThroughTheHues) {
    const struct {
        u32 x;
        int red, green, blue;
    } cases[] = {{0, 255, 0, 0}, {120, 0, 255, 0}, {240, 0, 0, 255}};
    for (const auto& k : cases) {
        u8 rgb[3];
        ColorBarColumnColor(k.x, rgb);
        EXPECT_NEAR(rgb[0], k.red, 6) << k.x;
        EXPECT_NEAR(rgb[1], k.green, 6) << k.x;
        EXPECT_NEAR(rgb[2], k.blue, 6) << k.x;
    }
}

TEST(HueChangeList, ADuplicateIsAllBytesRightAfterWhatItCopies) {
    Collection c;
    InitCollection(&c);
    AddHueChange(&c, "First");
    CollectionHueChange* team = AddHueChange(&c, "Team");
    AddHueChange(&c, "Last");
    team->minimum_saturation = 1234;
    team->carried[3] = 7;
    team->replacement_flags = 3;
    CollectionHueChange* copy = DuplicateHueChange(&c, team);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(GetCollectionHueChangeCount(c), 4u);
    EXPECT_EQ(c.hue_changes[2].get(), copy);
    EXPECT_STREQ(copy->name, "Team copy");
    EXPECT_EQ(0, std::memcmp(reinterpret_cast<const u8*>(copy) + 64, reinterpret_cast<const u8*>(team) + 64, 64));

    // The last one's copy goes last; long names are cut to 63 characters.
    SetElementName(c.hue_changes[3]->name, std::string(60, 'n').c_str());
    CollectionHueChange* longCopy = DuplicateHueChange(&c, c.hue_changes[3].get());
    EXPECT_EQ(c.hue_changes[4].get(), longCopy);
    EXPECT_EQ(std::string(longCopy->name), std::string(60, 'n') + " co");
    FreeCollection(&c);
}

}  // namespace
}  // namespace pirn
