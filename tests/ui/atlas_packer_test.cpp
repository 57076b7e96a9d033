#include "ui/atlas_packer.h"

#include <gtest/gtest.h>

#include <vector>

namespace pirn {
namespace {

struct PackRun {
    std::vector<std::pair<i32, i32>> pages;
    std::vector<int> uploads;
    std::vector<AtlasItem*> copied;
    AtlasCallbacks Callbacks(i32 max_w, i32 max_h) {
        AtlasCallbacks cb;
        cb.max_width = max_w;
        cb.max_height = max_h;
        cb.new_page = [this](i32 w, i32 h) {
            pages.push_back({w, h});
            return i32(pages.size() - 1);
        };
        cb.copy = [this](AtlasItem& item) { copied.push_back(&item); };
        cb.upload = [this](i32 page) { uploads.push_back(page); };
        return cb;
    }
};

bool Overlap(const AtlasItem& a, const AtlasItem& b) {
    return a.page == b.page && a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

TEST(AtlasPackerTest, PageSizeFollowsTheArea) {
    struct Case {
        u64 area;
        i32 max;
        i32 w, h;
    };
    const Case cases[] = {
        {100, 1024, 128, 128},        // raised to the minimum
        {60000, 1024, 256, 256},      // 2^16 - 2^12 = 61440 holds it
        {62000, 1024, 512, 256},      // e grows to 17: wider than high
        {4000000, 1024, 1024, 1024},  // bounded by the maximum
        {100, 64, 64, 64},            // never above the maximum
    };
    for (const Case& c : cases) {
        i32 w = 0, h = 0;
        AtlasPageSizeForArea(c.area, c.max, c.max, &w, &h);
        EXPECT_EQ(w, c.w) << c.area;
        EXPECT_EQ(h, c.h) << c.area;
    }
}

TEST(AtlasPackerTest, PlacesWidestFirstWithoutOverlap) {
    std::vector<AtlasItem> items = {{0, 0, 10, 10, 0, 0}, {0, 0, 30, 5, 0, 0}, {0, 0, 10, 20, 0, 0},
                                    {0, 0, 0, 7, 0, 0}};
    std::vector<AtlasItem*> ptrs;
    for (auto& i : items) ptrs.push_back(&i);
    PackRun run;
    ASSERT_TRUE(PackAtlas(ptrs, run.Callbacks(1024, 1024)));
    ASSERT_EQ(run.pages.size(), 1u);
    EXPECT_EQ(run.uploads, std::vector<int>{0});
    EXPECT_EQ(run.copied.size(), 3u);  // the zero-area item takes no place
    // The widest item takes the page's top-left; the free part below it comes
    // first, so the next (wider of the equal widths, larger area) goes under it.
    EXPECT_EQ(items[1].x, 0);
    EXPECT_EQ(items[1].y, 0);
    EXPECT_EQ(items[2].x, 0);
    EXPECT_EQ(items[2].y, 5);
    EXPECT_EQ(items[0].x, 0);
    EXPECT_EQ(items[0].y, 25);
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = i + 1; j < 3; ++j) EXPECT_FALSE(Overlap(items[i], items[j]));
}

TEST(AtlasPackerTest, TallItemsThatMayRotateAreTurned) {
    AtlasItem tall{0, 0, 3, 9, kAtlasMayRotate, 0};
    AtlasItem fixed{0, 0, 3, 9, 0, 0};
    PackRun run;
    ASSERT_TRUE(PackAtlas({&tall, &fixed}, run.Callbacks(1024, 1024)));
    EXPECT_EQ(tall.width, 9);
    EXPECT_EQ(tall.height, 3);
    EXPECT_TRUE(tall.flags & kAtlasRotated);
    EXPECT_EQ(fixed.width, 3);
    EXPECT_FALSE(fixed.flags & kAtlasRotated);
}

TEST(AtlasPackerTest, ItemsThatDoNotFitContinueOnMorePages) {
    std::vector<AtlasItem> items(6, AtlasItem{0, 0, 100, 100, 0, 0});
    std::vector<AtlasItem*> ptrs;
    for (auto& i : items) ptrs.push_back(&i);
    PackRun run;
    ASSERT_TRUE(PackAtlas(ptrs, run.Callbacks(128, 128)));
    EXPECT_EQ(run.pages.size(), 6u);
    EXPECT_EQ(run.uploads.size(), 6u);
    for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].page, i);
}

TEST(AtlasPackerTest, FailsCleanlyOnItemsLargerThanThePage) {
    AtlasItem small{0, 0, 4, 4, 0, 0};
    AtlasItem wide{0, 0, 300, 4, 0, 0};
    AtlasItem turnable{0, 0, 4, 300, kAtlasMayRotate, 0};  // turned, it is too wide
    PackRun run;
    EXPECT_FALSE(PackAtlas({&small, &wide}, run.Callbacks(256, 256)));
    EXPECT_FALSE(PackAtlas({&turnable}, run.Callbacks(256, 512)));
    EXPECT_TRUE(run.pages.empty());

    AtlasCallbacks failing = run.Callbacks(256, 256);
    failing.new_page = [](i32, i32) { return -1; };
    EXPECT_FALSE(PackAtlas({&small}, failing));
}

}  // namespace
}  // namespace pirn
