// The collection model: its lists, sequences and the references between
// instances, frame shadows and bitmaps through every operation.

#include "collections/collection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace pirn {
namespace {

CollectionBitmap* AddPlain(Collection* c, const char* name, u16 width = 4, u16 height = 4, u16 flags = 0) {
    std::vector<u8> pixels(size_t(width) * height * 2, 0);
    for (size_t i = 0; i < pixels.size(); i += 2) {
        pixels[i] = 255;
        pixels[i + 1] = 7;
    }
    return AddCollectionBitmap(c, name, flags, pixels.data(), width, height, 2, nullptr);
}

// A collection with bitmaps b0..b(n-1) and one 2-view, 2-frame sequence
// whose views show b0 and b1 and whose frames cast shadow b2; view 1 of
// frame 0 has b3 as its alternate (those past n are left empty).
struct Fixture {
    Collection c;
    std::vector<CollectionBitmap*> b;
    CollectionSequence* s = nullptr;

    explicit Fixture(int bitmaps = 6) {
        InitCollection(&c);
        for (int i = 0; i < bitmaps; ++i) b.push_back(AddPlain(&c, ("b" + std::to_string(i)).c_str()));
        s = AddSequence(&c, "Walk");
        ResizeSequence(s, 2, 2);
        auto bitmap = [this](size_t i) { return i < b.size() ? b[i] : nullptr; };
        for (SequenceFrame& frame : s->frames) {
            frame.instances[0].standard.bitmap = bitmap(0);
            frame.instances[1].standard.bitmap = bitmap(1);
            frame.shadow = bitmap(2);
        }
        BitmapInstance& alternate = s->frames[0].instances[1];
        alternate.flags |= kInstanceHasAlternate;
        alternate.alternate.bitmap = bitmap(3);
        alternate.alternate.x = 80;
        alternate.alternate.y = 90;
        alternate.alternate.scale = 5 * kFixedOne;
    }
};

TEST(CollectionLifecycle, NewCollectionIsEmptyWithMonstersAndProjectiles) {
    Collection c;
    InitCollection(&c);
    EXPECT_EQ(c.flags, 6u);
    EXPECT_EQ(GetCollectionBitmapCount(c), 0u);
    EXPECT_EQ(GetCollectionHueChangeCount(c), 0u);
    EXPECT_EQ(GetCollectionSequenceCount(c), 0u);
    u8 table[kColorTableBytes];
    u32 count = 0;
    CopyCollectionColorTable(c, table, &count);
    EXPECT_EQ(count, 256u);
    EXPECT_EQ(std::vector<u8>(table, table + kColorTableBytes), std::vector<u8>(kColorTableBytes, 0));
    EXPECT_STREQ(kCollectionFlagLabels[4], "Atmospheric Effects");
}

TEST(CollectionLifecycle, LookupsOutsideTheListsAnswerNothing) {
    Fixture f(2);
    EXPECT_EQ(GetCollectionBitmap(f.c, 2), nullptr);
    EXPECT_EQ(GetCollectionHueChange(f.c, 0), nullptr);
    EXPECT_EQ(GetCollectionSequence(f.c, 1), nullptr);
    CollectionBitmap stranger;
    EXPECT_EQ(FindCollectionBitmap(f.c, &stranger), -1);
    EXPECT_EQ(FindCollectionBitmap(f.c, f.b[1]), 1);
    CollectionHueChange hue;
    EXPECT_EQ(FindHueChange(f.c, &hue), -1);
    CollectionSequence other;
    EXPECT_EQ(FindSequence(f.c, &other), kNotFound);
    EXPECT_EQ(FindSequence(f.c, f.s), 0u);
}

TEST(CollectionLifecycle, ColorTableSetterZeroesTheEntriesNotGiven) {
    Collection c;
    InitCollection(&c);
    std::memset(c.colors, 0x55, sizeof c.colors);
    const u8 two[6] = {1, 2, 3, 4, 5, 6};
    SetCollectionColorTable(&c, two, 2);
    EXPECT_EQ(c.colors[0], 1);
    EXPECT_EQ(c.colors[5], 6);
    EXPECT_EQ(c.colors[6], 0);
    EXPECT_EQ(c.colors[kColorTableBytes - 1], 0);
}

TEST(CollectionLifecycle, NewHueChangeAndNameLimits) {
    Collection c;
    InitCollection(&c);
    const std::string long_name(80, 'h');
    CollectionHueChange* hue = AddHueChange(&c, long_name.c_str());
    EXPECT_EQ(std::string(hue->name), long_name.substr(0, 63));
    EXPECT_EQ(hue->start_hue, 0x5556);
    EXPECT_EQ(hue->end_hue, 0xAAAB);
    EXPECT_EQ(hue->median_hue, 0x8001);
    EXPECT_EQ(hue->replacement_flags, 0);
}

TEST(CollectionSequences, NewSequenceHasOneViewOfOneFrameAtTheBoxCorner) {
    Collection c;
    InitCollection(&c);
    CollectionSequence* s = AddSequence(&c, "Idle");
    EXPECT_STREQ(s->name, "Idle");
    EXPECT_EQ(s->flags, kSequenceHasFrames);
    EXPECT_EQ(s->value, kFixedOne);
    EXPECT_EQ(s->box_radius, 20 << 16);
    EXPECT_EQ(s->box_lower, -10 * 65536);
    EXPECT_EQ(s->box_upper, 60 << 16);
    EXPECT_EQ(s->sounds[0], kNoSound);
    EXPECT_EQ(s->sounds[2], kNoSound);
    ASSERT_EQ(GetSequenceFrameCount(*s), 1u);
    ASSERT_EQ(GetSequenceViewCount(*s), 1u);
    const SequenceFrame& frame = *GetSequenceFrame(s, 0);
    EXPECT_EQ(frame.frame_record_index, kNoIndex);
    EXPECT_EQ(frame.record.shadow_index, kNoIndex);
    EXPECT_EQ(frame.shadow, nullptr);
    const BitmapInstance& instance = *GetSequenceInstance(s, 0, 0);
    EXPECT_EQ(instance.standard.x, 20);
    EXPECT_EQ(instance.standard.y, 60);
    EXPECT_EQ(instance.standard.scale, kStandardScale);
    EXPECT_EQ(instance.alternate.index, kNoIndex);
    EXPECT_EQ(instance.standard.bitmap, nullptr);
}

TEST(CollectionSequences, ResizingKeepsOldViewsAndPlacesNewOnes) {
    Fixture f(2);
    f.s->box_radius = 7 * 65536 + 0x8000;  // integer part 7
    f.s->box_upper = -3 * 65536;
    f.s->frames[1].instances[0].standard.x = 99;

    ResizeSequence(f.s, 2, 3);  // frames only: the old frames stay as they were
    ASSERT_EQ(f.s->frames.size(), 3u);
    EXPECT_EQ(f.s->frames[1].instances[0].standard.x, 99);
    EXPECT_EQ(f.s->frames[2].instances[1].standard.x, 7);
    EXPECT_EQ(f.s->frames[2].instances[1].standard.y, -3);
    EXPECT_EQ(f.s->frames[2].view_indices[1], 1);
    EXPECT_EQ(f.s->frames[2].frame_record_index, kNoIndex);

    ResizeSequence(f.s, 4, 3);  // views: every frame grows, views 0 and 1 kept
    for (const SequenceFrame& frame : f.s->frames) {
        ASSERT_EQ(frame.instances.size(), 4u);
        EXPECT_EQ(frame.view_indices[3], 3);
        EXPECT_EQ(frame.instances[3].standard.x, 7);
    }
    EXPECT_EQ(f.s->frames[1].instances[0].standard.x, 99);
    EXPECT_EQ(f.s->frames[0].instances[1].standard.bitmap, f.b[1]);

    ResizeSequence(f.s, 1, 1);
    EXPECT_EQ(GetSequenceViewCount(*f.s), 1u);
    EXPECT_EQ(GetSequenceFrameCount(*f.s), 1u);
    EXPECT_EQ(f.s->frames[0].instances.size(), 1u);
    EXPECT_EQ(f.s->frames[0].instances[0].standard.bitmap, f.b[0]);
}

TEST(CollectionSequences, StoredViewCountHalvesMirroredSequences) {
    CollectionSequence s;
    InitSequence(&s, "Run");
    ResizeSequence(&s, 8, 1);
    EXPECT_EQ(GetStoredViewCount(s), 8u);
    s.flags |= kSequenceMirroring;
    EXPECT_EQ(GetStoredViewCount(s), 5u);
}

TEST(CollectionMove, FinalIndexFollowsTheGapTheElementLeaves) {
    const struct {
        u32 from, to, answer;
    } cases[] = {
        {2, 5, 4}, {2, 2, kNotFound}, {4, 0, 0}, {0, 6, 5}, {1, 100, 5}, {3, 4, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to);
        Fixture f;
        CollectionBitmap* moving = f.b[c.from];
        EXPECT_EQ(MoveCollectionBitmap(&f.c, moving, c.to), c.answer);
        if (c.answer != kNotFound) {
            EXPECT_EQ(GetCollectionBitmap(f.c, c.answer), moving);
        }
        EXPECT_EQ(GetCollectionBitmapCount(f.c), 6u);
    }
}

TEST(CollectionMove, ReferencesToTheMovedBitmapTakeItsNewIndex) {
    Fixture f;
    EXPECT_EQ(MoveCollectionBitmap(&f.c, f.b[2], 0), 0u);  // b2 b0 b1 b3 b4 b5
    for (const SequenceFrame& frame : f.s->frames) EXPECT_EQ(frame.record.shadow_index, 0);
    EXPECT_EQ(MoveCollectionBitmap(&f.c, f.b[3], 5), 4u);  // b2 b0 b1 b4 b3 b5
    const BitmapInstance& view = f.s->frames[0].instances[1];
    EXPECT_EQ(view.alternate.index, 4) << "alternate reference follows";
    EXPECT_EQ(view.standard.bitmap, f.b[1]);
    EXPECT_EQ(view.alternate.bitmap, f.b[3]);
}

TEST(CollectionMove, HueChangesAndSequencesMoveTheSameWay) {
    Collection c;
    InitCollection(&c);
    std::vector<CollectionHueChange*> hues;
    std::vector<CollectionSequence*> sequences;
    for (int i = 0; i < 4; ++i) {
        hues.push_back(AddHueChange(&c, "h"));
        sequences.push_back(AddSequence(&c, "s"));
    }
    EXPECT_EQ(MoveHueChange(&c, hues[0], 3), 2u);
    EXPECT_EQ(GetCollectionHueChange(c, 2), hues[0]);
    EXPECT_EQ(MoveHueChange(&c, hues[1], 0), kNotFound);
    EXPECT_EQ(MoveSequence(&c, sequences[3], 1), 1u);
    EXPECT_EQ(GetCollectionSequence(c, 1), sequences[3]);
    EXPECT_EQ(MoveSequence(&c, sequences[3], 1), kNotFound);
}

TEST(CollectionDelete, ReferencesToADeletedBitmapBecomeEmpty) {
    for (int deleted : {1, 2, 3}) {
        SCOPED_TRACE(deleted);
        Fixture f;
        CollectionBitmap* gone = f.b[deleted];
        EXPECT_TRUE(DeleteCollectionBitmap(&f.c, gone));
        EXPECT_EQ(GetCollectionBitmapCount(f.c), 5u);
        EXPECT_EQ(FindCollectionBitmap(f.c, gone), -1);
        ForEachInstance(&f.c, [&](BitmapInstance& instance) {
            EXPECT_NE(instance.standard.bitmap, gone);
            EXPECT_NE(instance.alternate.bitmap, gone);
        });
        for (const SequenceFrame& frame : f.s->frames) EXPECT_NE(frame.shadow, gone);
        FlattenedReferences flat;
        FlattenReferences(&f.c, &flat);
        const u16 emptied[] = {0, flat.instances[1].standard.index, flat.frame_records[0].shadow_index,
                               flat.instances[1].alternate.index};
        EXPECT_EQ(emptied[deleted], kNoIndex);
    }
}

TEST(CollectionDelete, HueChangesAndSequencesAreRemoved) {
    Fixture f;
    CollectionHueChange* hue = AddHueChange(&f.c, "Team");
    EXPECT_TRUE(DeleteHueChange(&f.c, hue));
    EXPECT_FALSE(DeleteHueChange(&f.c, hue));
    EXPECT_TRUE(DeleteSequence(&f.c, f.s));
    EXPECT_EQ(GetCollectionSequenceCount(f.c), 0u);
    CollectionBitmap stranger;
    EXPECT_FALSE(DeleteCollectionBitmap(&f.c, &stranger));
}

TEST(CollectionReferences, MarkingCountsStandardAlternateAndShadowReferences) {
    Fixture f;
    MarkUsedBitmaps(&f.c);
    const u32 expected[] = {1, 1, 1, 1, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(f.b[i]->in_use, expected[i]) << "bitmap " << i;
    // Without flag 32 the alternate reference is not in use.
    f.s->frames[0].instances[1].flags &= ~u32{kInstanceHasAlternate};
    MarkUsedBitmaps(&f.c);
    EXPECT_EQ(f.b[3]->in_use, 0u);
}

TEST(CollectionReferences, ReplacingABitmapRepointsEveryReference) {
    Fixture f;
    for (int i : {1, 2, 3}) {
        std::vector<u8> pixels(2 * 4, 0);
        CollectionBitmap* fresh = AddCollectionBitmap(&f.c, "new", 0, pixels.data(), 2, 2, 2, f.b[i]);
        ASSERT_NE(fresh, nullptr);
        EXPECT_EQ(GetCollectionBitmap(f.c, u32(i)), fresh);
        f.b[i] = fresh;
    }
    EXPECT_EQ(GetCollectionBitmapCount(f.c), 6u);
    const BitmapInstance& view = f.s->frames[0].instances[1];
    EXPECT_EQ(view.standard.bitmap, f.b[1]);
    EXPECT_EQ(view.standard.index, 1);
    EXPECT_EQ(view.alternate.bitmap, f.b[3]);
    EXPECT_EQ(view.alternate.index, 3);
    EXPECT_EQ(f.s->frames[1].shadow, f.b[2]);
    CollectionBitmap stranger;
    EXPECT_EQ(AddCollectionBitmap(&f.c, "x", 0, nullptr, 1, 1, 2, &stranger), nullptr);
    EXPECT_EQ(GetCollectionBitmapCount(f.c), 6u);
}

TEST(CollectionReferences, ShowingAlternatesSwitchesOnlyInstancesThatHaveThem) {
    Fixture f;
    BitmapInstance& with = f.s->frames[0].instances[1];
    BitmapInstance& without = f.s->frames[0].instances[0];
    RelinkInstances(&f.c, true);
    EXPECT_EQ(ShownReference(with).bitmap, f.b[3]);
    EXPECT_EQ(ShownReference(with).x, 80);
    EXPECT_EQ(ShownReference(with).scale, 5 * kFixedOne);
    EXPECT_EQ(ShownReference(without).bitmap, f.b[0]);
    RelinkInstances(&f.c, false);
    EXPECT_EQ(ShownReference(with).bitmap, f.b[1]);
    EXPECT_EQ(ShownReference(with).scale, kStandardScale);
}

TEST(CollectionReferences, FlatteningNumbersInstancesAndFrameRecordsInSaveOrder) {
    Fixture f;
    CollectionSequence* second = AddSequence(&f.c, "Die");
    second->frames[0].instances[0].standard.bitmap = f.b[5];
    FlattenedReferences flat;
    FlattenReferences(&f.c, &flat);
    ASSERT_EQ(flat.instances.size(), 5u);
    ASSERT_EQ(flat.frame_records.size(), 3u);
    EXPECT_EQ(f.s->frames[1].view_indices, (std::vector<u16>{2, 3}));
    EXPECT_EQ(second->frames[0].view_indices, (std::vector<u16>{4}));
    EXPECT_EQ(f.s->frames[1].frame_record_index, 1);
    EXPECT_EQ(second->frames[0].frame_record_index, 2);
    EXPECT_EQ(flat.instances[4].standard.index, 5);
    EXPECT_EQ(flat.frame_records[2].shadow_index, kNoIndex);
    EXPECT_EQ(flat.frame_records[0].shadow_index, 2);
}

TEST(CollectionReferences, FlatteningWritesStandardFieldsWhicheverReferenceIsShown) {
    Fixture f;
    BitmapInstance& view = f.s->frames[0].instances[1];
    view.standard.x = 11;
    RelinkInstances(&f.c, true);
    ShownReference(view).x = 81;  // an edit while alternates are shown
    FlattenedReferences flat;
    FlattenReferences(&f.c, &flat);
    EXPECT_EQ(flat.instances[1].standard.index, 1);
    EXPECT_EQ(flat.instances[1].standard.x, 11);
    EXPECT_EQ(flat.instances[1].alternate.index, 3);
    EXPECT_EQ(flat.instances[1].alternate.x, 81);
    // Without flag 32 the stored alternate fields pass through untouched.
    EXPECT_EQ(flat.instances[0].alternate.index, kNoIndex);
}

TEST(CollectionReferences, InstanceFlagsFollowTheStandardBitmap) {
    const struct {
        const char* what;
        u16 width, height, bitmap_flags;
        u32 instance_flags;
    } cases[] = {
        {"RAW power of two", 64, 32, 0, kInstanceRawPowerOfTwo},
        {"RLE power of two", 64, 32, kBitmapRle, 0},
        {"RAW not power of two", 64, 48, 0, 0},
        {"partial alpha", 5, 5, kBitmapPartialAlpha | kBitmapRle, kInstancePartialAlpha},
        {"partial alpha RAW 1 x 1", 1, 1, kBitmapPartialAlpha, kInstancePartialAlpha | kInstanceRawPowerOfTwo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Collection col;
        InitCollection(&col);
        CollectionBitmap* b = AddPlain(&col, "b", c.width, c.height, c.bitmap_flags);
        CollectionSequence* s = AddSequence(&col, "s");
        s->frames[0].instances[0].standard.bitmap = b;
        s->frames[0].instances[0].flags = kInstanceMirrored | kInstancePartialAlpha | kInstanceRawPowerOfTwo;
        FlattenedReferences flat;
        FlattenReferences(&col, &flat);
        EXPECT_EQ(flat.instances[0].flags, kInstanceMirrored | c.instance_flags);
    }
}

TEST(CollectionExtents, MirroredViewsAreRebuiltFromTheFirstHalf) {
    Collection c;
    InitCollection(&c);
    CollectionBitmap* wide = AddPlain(&c, "wide", 30, 10);
    CollectionSequence* s = AddSequence(&c, "Walk");
    ResizeSequence(s, 8, 1);
    s->flags |= kSequenceMirroring | kSequenceNoRotation;
    for (u16 v = 0; v < 5; ++v) {
        BitmapInstance& instance = s->frames[0].instances[v];
        instance.standard.bitmap = v == 2 ? nullptr : wide;
        instance.standard.x = i16(v + 1);
        instance.standard.y = 4;
    }
    ComputeSequenceExtents(&c);
    const struct {
        u16 view;
        i16 x;
        bool mirrored;
    } expected[] = {{5, 30 - 4, true}, {6, 3, true}, {7, 30 - 2, true}, {4, 5, false}};
    for (const auto& e : expected) {
        const BitmapInstance& instance = s->frames[0].instances[e.view];
        EXPECT_EQ(instance.standard.x, e.x) << "view " << e.view;
        EXPECT_EQ((instance.flags & kInstanceMirrored) != 0, e.mirrored) << "view " << e.view;
    }
    EXPECT_EQ(s->frames[0].instances[6].standard.bitmap, nullptr) << "an empty view mirrors as empty, x kept";
    EXPECT_EQ(s->flags & kSequenceNoRotation, kSequenceNoRotation);
    EXPECT_EQ(s->extent_left, 28);
    EXPECT_EQ(s->extent_top, 4);
    EXPECT_EQ(s->extent_right, 29);
    EXPECT_EQ(s->extent_bottom, 6);
}

TEST(CollectionExtents, NoRotationWithoutMirroringIsClearedAndEmptySequencesHaveZeroExtents) {
    Collection c;
    InitCollection(&c);
    CollectionSequence* s = AddSequence(&c, "Still");
    s->flags |= kSequenceNoRotation;
    s->extent_left = 9;
    ComputeSequenceExtents(&c);
    EXPECT_EQ(s->flags & kSequenceNoRotation, 0u);
    EXPECT_EQ(s->extent_left, 0);
    EXPECT_EQ(s->extent_bottom, 0);
}

TEST(CollectionExtents, MirroringAnAlternateMeasuresItFromItsOwnBitmap) {
    Collection c;
    InitCollection(&c);
    CollectionBitmap* small = AddPlain(&c, "small", 10, 10);
    CollectionBitmap* large = AddPlain(&c, "large", 40, 40);
    CollectionSequence* s = AddSequence(&c, "Turn");
    ResizeSequence(s, 4, 1);
    s->flags |= kSequenceMirroring;
    BitmapInstance& source = s->frames[0].instances[1];  // view 3 mirrors view 1
    source.standard.bitmap = small;
    source.standard.x = 3;
    source.flags |= kInstanceHasAlternate;
    source.alternate.bitmap = large;
    source.alternate.x = 12;
    ComputeSequenceExtents(&c);
    const BitmapInstance& mirrored = s->frames[0].instances[3];
    EXPECT_EQ(mirrored.standard.x, 7);
    EXPECT_EQ(mirrored.alternate.x, 28);
}

}  // namespace
}  // namespace pirn
