// A sequence's properties as the sequence editor's boxes change them: the
// number fields with their limits and the collection's totals, sound-tag
// codes, transfer modes, flags and the grid's column titles.

#include "collections/sequence_properties.h"

#include <gtest/gtest.h>

#include "collections/sequence_grid.h"

namespace pirn {
namespace {

const char kDeg = static_cast<char>(161);

TEST(SequenceFields, EntriesAreStoredRefusedOrIgnored) {
    using O = SequenceEntry::Outcome;
    const struct {
        SequenceField field;
        const char* text;
        O outcome;
        u32 value;  // what the field holds afterwards
    } cases[] = {
        {kFramesField, "3", O::kChanged, 3},
        {kFramesField, "2", O::kUnchanged, 2},
        {kFramesField, "0", O::kChanged, 1},   // set back to 1
        {kFramesField, "-4", O::kChanged, 1},
        {kFramesField, "65536", O::kRefused, 2},
        {kFramesField, "", O::kIgnored, 2},
        {kFramesField, "1x", O::kIgnored, 2},
        {kViewsField, "8", O::kChanged, 8},
        {kViewsField, "99999999999999", O::kRefused, 4},
        {kTicksField, "65535", O::kChanged, 65535},
        {kTicksField, "65536", O::kRefused, 5},
        {kTicksField, "-1", O::kRefused, 5},
        {kTicksField, "0", O::kChanged, 0},
        {kKeyFrameField, "+7", O::kChanged, 7},
        {kKeyFrameField, "seven", O::kIgnored, 0},
        {kLoopFrameField, "12", O::kChanged, 12},
        {kTransferPeriodField, "70000", O::kRefused, 0},
        {kTransferPeriodField, "30", O::kChanged, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " into field " + std::to_string(c.field));
        Collection collection;
        InitCollection(&collection);
        CollectionSequence* sequence = AddSequence(&collection, "Walk");
        ResizeSequence(sequence, 4, 2);
        sequence->ticks_per_frame = 5;
        const SequenceEntry entry = EnterSequenceField(collection, sequence, c.field, c.text);
        EXPECT_EQ(entry.outcome, c.outcome);
        EXPECT_EQ(entry.value, c.value);
        EXPECT_EQ(GetSequenceField(*sequence, c.field), c.value);
        EXPECT_EQ(sequence->frames.size(), sequence->frame_count);
        for (const SequenceFrame& frame : sequence->frames) EXPECT_EQ(frame.instances.size(), sequence->view_count);
    }
}

TEST(SequenceFields, CountsStopShortOfTheIndexLimit) {
    // Instances and frames of all sequences are numbered with 16-bit
    // indices beside 0xFFFF.
    Collection collection;
    InitCollection(&collection);
    CollectionSequence* big = AddSequence(&collection, "Big");
    ResizeSequence(big, 256, 255);  // 65,280 instances
    CollectionSequence* small = AddSequence(&collection, "Small");
    EXPECT_EQ(EnterSequenceField(collection, small, kViewsField, "254").outcome, SequenceEntry::kChanged);
    EXPECT_EQ(EnterSequenceField(collection, small, kViewsField, "255").outcome, SequenceEntry::kRefused);
    EXPECT_EQ(EnterSequenceField(collection, small, kFramesField, "2").outcome, SequenceEntry::kRefused);
    EXPECT_EQ(small->view_count, 254);
    EXPECT_EQ(small->frame_count, 1);
    // The big one may shrink and grow back.
    EXPECT_EQ(EnterSequenceField(collection, big, kFramesField, "200").outcome, SequenceEntry::kChanged);
    EXPECT_EQ(EnterSequenceField(collection, big, kFramesField, "255").outcome, SequenceEntry::kChanged);

    Collection frames;
    InitCollection(&frames);
    ResizeSequence(AddSequence(&frames, "Long"), 1, 65533);
    CollectionSequence* other = AddSequence(&frames, "Other");
    EXPECT_TRUE(SequenceTotalsFit(frames, other, 1, 1));
    EXPECT_FALSE(SequenceTotalsFit(frames, other, 1, 2));
    EXPECT_FALSE(SequenceTotalsFit(frames, nullptr, 1, 1));  // a third sequence
    EXPECT_EQ(EnterSequenceField(frames, other, kFramesField, "2").outcome, SequenceEntry::kRefused);
}

TEST(SequenceSounds, FourCharacterCodesPaddedWithBlanks) {
    const struct {
        const char* text;
        u32 id;
    } cases[] = {
        {"", 0xFFFFFFFFu}, {"ab", 0x61622020u}, {"f001", 0x66303031u}, {"abcdef", 0x61626364u}, {" ", 0x20202020u},
    };
    for (const auto& c : cases) EXPECT_EQ(SoundIdFromText(c.text), c.id) << c.text;
    EXPECT_EQ(SoundIdText(0x66303031u), "f001");
    EXPECT_EQ(SoundIdText(0x61622020u), "ab  ");
    EXPECT_EQ(SoundIdText(0xFFFFFFFFu), "");
}

TEST(SequenceModes, EntriesOfTheModeBox) {
    const char* const names[] = {"None", "Fade Out", "Fade In", "Appearing", "Disappearing", "Cycle"};
    const u16 values[] = {0, 1, 2, 5, 6, 7};
    for (u32 i = 0; i < 6; ++i) {
        EXPECT_STREQ(kTransferModes[i].name, names[i]);
        EXPECT_EQ(kTransferModes[i].value, values[i]);
        EXPECT_EQ(TransferModeEntry(values[i]), i);
    }
    for (u16 other : {3, 4, 8, 0xFFFF}) EXPECT_EQ(TransferModeEntry(other), 0u) << other;
}

TEST(SequenceFlags, NoRotationOnlyWithMirroring) {
    CollectionSequence sequence;
    InitSequence(&sequence, "Walk");
    EXPECT_FALSE(SetSequenceFlag(&sequence, kSequenceNoRotation, true));
    EXPECT_EQ(sequence.flags, u32{kSequenceHasFrames});
    EXPECT_TRUE(SetSequenceFlag(&sequence, kSequenceMirroring, true));
    EXPECT_TRUE(SetSequenceFlag(&sequence, kSequenceNoRotation, true));
    EXPECT_EQ(sequence.flags, u32{kSequenceHasFrames | kSequenceMirroring | kSequenceNoRotation});
    EXPECT_FALSE(SetSequenceFlag(&sequence, kSequenceMirroring, true));
    EXPECT_TRUE(SetSequenceFlag(&sequence, kSequenceMirroring, false));
    EXPECT_EQ(sequence.flags, u32{kSequenceHasFrames});
    sequence.flags |= 0x80000000u;  // bits of their own stay
    EXPECT_TRUE(SetSequenceFlag(&sequence, kSequenceMirroring, true));
    EXPECT_EQ(sequence.flags, 0x80000000u | kSequenceHasFrames | kSequenceMirroring);
}

TEST(SequenceGridShape, ColumnsAndTitlesFollowViewsAndMirroring) {
    auto deg = [](const char* n) { return std::string(n) + kDeg; };
    const struct {
        u16 views;
        bool mirrored;
        std::vector<std::string> titles;
    } cases[] = {
        {8, true, {"Shadow", deg("0"), deg("45"), deg("90"), deg("135"), deg("180")}},
        {8, false, {"Shadow", deg("0"), deg("45"), deg("90"), deg("135"), deg("180"), deg("225"), deg("270"), deg("315")}},
        {3, false, {"Shadow", deg("0"), deg("120"), deg("240")}},
        {3, true, {"Shadow", deg("0"), deg("120")}},
        {1, true, {"Shadow", deg("0")}},
        {0, true, {"Shadow"}},  // no views: no view column, no division
        {0, false, {"Shadow"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.views) + (c.mirrored ? " mirrored" : ""));
        CollectionSequence sequence;
        InitSequence(&sequence, "Walk");
        ResizeSequence(&sequence, c.views, 2);
        if (c.mirrored) sequence.flags |= kSequenceMirroring;
        EXPECT_EQ(SequenceColumnTitles(sequence), c.titles);
        EXPECT_EQ(SequenceGridColumns(sequence), c.titles.size());
        const std::vector<SequenceGridCell> cells = BuildSequenceGridCells(&sequence);
        ASSERT_EQ(cells.size(), 2 * c.titles.size());
        for (const SequenceGridCell& cell : cells) {
            EXPECT_EQ(cell.index, cell.frame * c.titles.size() + cell.column);
            EXPECT_EQ(cell.instance == nullptr, cell.column == 0);
        }
    }
    EXPECT_EQ(ViewAngle(3, 8), 135u);
    EXPECT_EQ(ViewAngle(5, 0), 0u);
}

TEST(SequenceGridCells, BitmapsAndMirroringOfCells) {
    Collection collection;
    InitCollection(&collection);
    const u8 pixels[8] = {255, 2, 255, 2, 255, 2, 255, 2};
    CollectionBitmap* bitmap = AddCollectionBitmap(&collection, "Knight", 0, pixels, 2, 2, 2, nullptr);
    CollectionBitmap* shadow = AddCollectionBitmap(&collection, "Shadow", kBitmapShadow, pixels, 2, 2, 2, nullptr);
    CollectionSequence* sequence = AddSequence(&collection, "Walk");
    ResizeSequence(sequence, 2, 1);
    std::vector<SequenceGridCell> cells = BuildSequenceGridCells(sequence);
    ASSERT_EQ(cells.size(), 3u);

    SetCellBitmap(collection, cells[0], shadow);
    SetCellBitmap(collection, cells[2], bitmap);
    EXPECT_EQ(sequence->frames[0].shadow, shadow);
    EXPECT_EQ(sequence->frames[0].record.shadow_index, 1);
    EXPECT_EQ(sequence->frames[0].instances[1].standard.bitmap, bitmap);
    EXPECT_EQ(sequence->frames[0].instances[1].standard.index, 0);
    EXPECT_EQ(CellBitmap(cells[1]), nullptr);

    sequence->frames[0].instances[1].flags = kInstanceFlipped | kInstanceMirrored | kInstanceHasAlternate;
    sequence->frames[0].record.flags = 2 | 1;  // horizontal, light
    EXPECT_EQ(CellMirrorFlags(cells[2]), 3u);
    EXPECT_EQ(CellMirrorFlags(cells[0]), 1u);
    sequence->frames[0].record.flags = 4;
    EXPECT_EQ(CellMirrorFlags(cells[0]), 2u);

    // An instance showing its alternate gets the bitmap there.
    sequence->frames[0].instances[1].shows_alternate = true;
    SetCellBitmap(collection, cells[2], shadow);
    EXPECT_EQ(sequence->frames[0].instances[1].alternate.bitmap, shadow);
    EXPECT_EQ(sequence->frames[0].instances[1].standard.bitmap, bitmap);

    // A bitmap of another collection is none.
    Collection other;
    InitCollection(&other);
    CollectionBitmap* foreign = AddCollectionBitmap(&other, "Foreign", 0, pixels, 2, 2, 2, nullptr);
    SetCellBitmap(collection, cells[0], foreign);
    EXPECT_EQ(sequence->frames[0].shadow, nullptr);
    EXPECT_EQ(sequence->frames[0].record.shadow_index, kNoIndex);

    std::vector<SequenceGridCell*> chosen = {&cells[0], &cells[1], &cells[2]};
    EXPECT_TRUE(ClearCellBitmaps(chosen));
    EXPECT_EQ(sequence->frames[0].instances[1].alternate.bitmap, nullptr);
    EXPECT_EQ(sequence->frames[0].instances[1].alternate.index, kNoIndex);
    EXPECT_FALSE(ClearCellBitmaps(chosen));
}

}  // namespace
}  // namespace pirn
