// Bitmaps dropped on a sequence grid: one onto its cell, several from the
// bitmap browser across views or down the shadow column, several from a
// sequence grid in their layout; all or nothing, and the placement a cell
// brings along.

#include "collections/sequence_drop.h"

#include <gtest/gtest.h>

namespace pirn {
namespace {

class SequenceDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCollection(&c_);
        const u8 pixels[8] = {255, 2, 255, 2, 255, 2, 255, 2};
        for (int i = 0; i < 8; ++i)
            bitmaps_.push_back(AddCollectionBitmap(&c_, ("B" + std::to_string(i)).c_str(), 0, pixels, 2, 2, 2, nullptr));
        for (int i = 0; i < 3; ++i)
            shadows_.push_back(
                AddCollectionBitmap(&c_, ("S" + std::to_string(i)).c_str(), kBitmapShadow, pixels, 2, 2, 2, nullptr));
        seq_ = AddSequence(&c_, "Walk");
        ResizeSequence(seq_, 2, 3);  // 3 frames x (shadow + 2 views)
    }

    SequenceDropItem Item(CollectionBitmap* bitmap, i32 column = -1, i32 row = -1) const {
        SequenceDropItem item;
        item.kind = (bitmap->flags & kBitmapShadow) ? kDropShadow : kDropBitmap;
        item.bitmap = bitmap;
        item.column = column;
        item.row = row;
        return item;
    }
    SequenceDrop Drop(std::vector<SequenceDropItem> items, bool several, u32 source = SequenceDrop::kFromBitmapBrowser) {
        SequenceDrop drop;
        drop.collection = &c_;
        drop.several = several;
        drop.source = source;
        drop.items = std::move(items);
        return drop;
    }
    // Where a plan puts each item: "frame,column" in item order, "" when
    // refused.
    std::string Places(const SequenceDrop& drop, u32 frame, u32 column) {
        std::vector<SequenceDropPlacement> plan;
        if (!PlanSequenceDrop(c_, *seq_, drop, frame, column, &plan)) {
            EXPECT_TRUE(plan.empty());
            return "";
        }
        std::string text;
        for (const SequenceDropPlacement& p : plan)
            text += (text.empty() ? "" : " ") + std::to_string(p.frame) + "," + std::to_string(p.column);
        return text;
    }

    Collection c_;
    std::vector<CollectionBitmap*> bitmaps_, shadows_;
    CollectionSequence* seq_ = nullptr;
};

TEST_F(SequenceDropTest, WhereEachDropLands) {
    auto bitmaps = [&](int n) {
        std::vector<SequenceDropItem> items;
        for (int i = 0; i < n; ++i) items.push_back(Item(bitmaps_[size_t(i)]));
        return items;
    };
    auto shadows = [&](int n) {
        std::vector<SequenceDropItem> items;
        for (int i = 0; i < n; ++i) items.push_back(Item(shadows_[size_t(i)]));
        return items;
    };
    const struct {
        const char* what;
        SequenceDrop drop;
        u32 frame, column;
        const char* places;
    } cases[] = {
        {"a bitmap on a view", Drop(bitmaps(1), false), 1, 2, "1,2"},
        {"a bitmap on the shadow column", Drop(bitmaps(1), false), 1, 0, ""},
        {"a shadow on the shadow column", Drop(shadows(1), false), 2, 0, "2,0"},
        {"a shadow on a view", Drop(shadows(1), false), 0, 1, ""},
        {"below the last frame", Drop(bitmaps(1), false), 3, 1, ""},
        {"right of the last view", Drop(bitmaps(1), false), 0, 3, ""},
        {"bitmaps across views, on into the next frame", Drop(bitmaps(3), true), 0, 2, "0,2 1,1 1,2"},
        {"bitmaps filling every view", Drop(bitmaps(6), true), 0, 1, "0,1 0,2 1,1 1,2 2,1 2,2"},
        {"one bitmap too many", Drop(bitmaps(7), true), 0, 1, ""},
        {"bitmaps on the shadow column", Drop(bitmaps(2), true), 0, 0, ""},
        {"shadows down the frames", Drop(shadows(2), true), 1, 0, "1,0 2,0"},
        {"more shadows than frames below", Drop(shadows(3), true), 1, 0, ""},
        {"shadows on a view", Drop(shadows(2), true), 0, 1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Places(c.drop, c.frame, c.column), c.places) << c.what;
}

TEST_F(SequenceDropTest, ItemsFromASequenceGridKeepTheirLayout) {
    // Cells (column, row) (1, 0), (2, 0) and (0, 1), dragged from (1, 0).
    std::vector<SequenceDropItem> items = {Item(bitmaps_[0], 1, 0), Item(bitmaps_[1], 2, 0), Item(shadows_[0], 0, 1)};
    SequenceDrop drop = Drop(items, true, SequenceDrop::kFromSequenceEditor);
    drop.anchor_column = 1;
    drop.anchor_row = 0;
    EXPECT_EQ(Places(drop, 1, 1), "1,1 1,2 2,0");
    EXPECT_EQ(Places(drop, 2, 1), "");  // the shadow would fall off the grid
    EXPECT_EQ(Places(drop, 0, 2), "");  // the second view would too, and the shadow would land on a view
    drop.anchor_column = drop.anchor_row = -1;  // unset: anchored at the first item
    EXPECT_EQ(Places(drop, 0, 1), "0,1 0,2 1,0");
}

TEST_F(SequenceDropTest, OnlyBitmapsOfThisCollection) {
    Collection other;
    InitCollection(&other);
    const u8 pixels[2] = {255, 2};
    CollectionBitmap* foreign = AddCollectionBitmap(&other, "F", 0, pixels, 1, 1, 2, nullptr);
    EXPECT_EQ(Places(Drop({Item(foreign)}, false), 0, 1), "");
    SequenceDrop drop = Drop({Item(bitmaps_[0])}, false);
    drop.collection = &other;  // a payload of another editor's collection
    EXPECT_EQ(Places(drop, 0, 1), "");
    EXPECT_EQ(Places(Drop({Item(bitmaps_[0]), Item(foreign)}, true), 0, 1), "");
    EXPECT_EQ(Places(Drop({}, true), 0, 1), "");
}

TEST_F(SequenceDropTest, ACellDraggedFromAnotherBringsItsPlacement) {
    BitmapInstance& from = seq_->frames[0].instances[0];
    from.flags = kInstanceMirrored | kInstanceFlipped | kInstanceHasAlternate;
    from.standard.x = 11;
    from.standard.y = -12;
    from.key_x = 13;
    from.key_y = 14;
    SequenceFrame& shadowFrom = seq_->frames[0];
    shadowFrom.record = FrameRecord{1, 13107 * 3, -13107, kNoIndex};

    SequenceDropItem item = Item(bitmaps_[4]);
    item.instance = &from;
    SequenceDropItem shadow = Item(shadows_[1]);
    shadow.shadow_source = &shadowFrom;
    std::vector<SequenceDropPlacement> plan, shadowPlan;
    ASSERT_TRUE(PlanSequenceDrop(c_, *seq_, Drop({item}, false), 2, 2, &plan));
    ASSERT_TRUE(PlanSequenceDrop(c_, *seq_, Drop({shadow}, false), 1, 0, &shadowPlan));
    BitmapInstance& to = seq_->frames[2].instances[1];
    to.flags = kInstanceHasAlternate | kInstancePartialAlpha;
    EXPECT_TRUE(ApplySequenceDrop(c_, seq_, plan));
    EXPECT_TRUE(ApplySequenceDrop(c_, seq_, shadowPlan));

    EXPECT_EQ(to.standard.bitmap, bitmaps_[4]);
    EXPECT_EQ(to.standard.index, 4);
    // The alternate flag stays the target's own.
    EXPECT_EQ(to.flags, u32{kInstanceMirrored | kInstanceFlipped | kInstanceHasAlternate});
    EXPECT_EQ(to.standard.x, 11);
    EXPECT_EQ(to.standard.y, -12);
    EXPECT_EQ(to.key_x, 13);
    EXPECT_EQ(to.key_y, 14);
    const SequenceFrame& shadowTo = seq_->frames[1];
    EXPECT_EQ(shadowTo.shadow, shadows_[1]);
    EXPECT_EQ(shadowTo.record.shadow_index, 9);
    EXPECT_EQ(shadowTo.record.flags, 1u);
    EXPECT_EQ(shadowTo.record.shadow_x, 13107 * 3);
    EXPECT_EQ(shadowTo.record.shadow_y, -13107);

    // From the bitmap browser a bitmap comes alone.
    seq_->frames[1].instances[0].standard.x = 5;
    ASSERT_TRUE(PlanSequenceDrop(c_, *seq_, Drop({Item(bitmaps_[2])}, false), 1, 1, &plan));
    ApplySequenceDrop(c_, seq_, plan);
    EXPECT_EQ(seq_->frames[1].instances[0].standard.bitmap, bitmaps_[2]);
    EXPECT_EQ(seq_->frames[1].instances[0].standard.x, 5);
}

TEST_F(SequenceDropTest, OverlappingCellsOfTheSameGridCopyTheirOldContents) {
    // Frame 0's two views moved one view right: the second view must get
    // what the first had, not what it has just become.
    BitmapInstance* views = seq_->frames[0].instances.data();
    views[0].standard.bitmap = bitmaps_[0];
    views[0].standard.x = 1;
    views[1].standard.bitmap = bitmaps_[1];
    views[1].standard.x = 2;
    ResizeSequence(seq_, 3, 3);
    views = seq_->frames[0].instances.data();
    SequenceDropItem a = Item(bitmaps_[0], 1, 0), b = Item(bitmaps_[1], 2, 0);
    a.instance = &views[0];
    b.instance = &views[1];
    SequenceDrop drop = Drop({a, b}, true, SequenceDrop::kFromSequenceEditor);
    drop.anchor_column = 1;
    drop.anchor_row = 0;
    std::vector<SequenceDropPlacement> plan;
    ASSERT_TRUE(PlanSequenceDrop(c_, *seq_, drop, 0, 2, &plan));
    ApplySequenceDrop(c_, seq_, plan);
    EXPECT_EQ(views[1].standard.bitmap, bitmaps_[0]);
    EXPECT_EQ(views[1].standard.x, 1);
    EXPECT_EQ(views[2].standard.bitmap, bitmaps_[1]);
    EXPECT_EQ(views[2].standard.x, 2);
}

}  // namespace
}  // namespace pirn
