#include "ui/skin.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

#include "ui/draw_target.h"

namespace pirn {
namespace {

// Records what the painters ask for.
class RecordingTarget : public DrawTarget {
public:
    struct Op {
        char kind;  // 'c' colour, 'f' fill, 'i' image
        u32 color;
        Rect rect;
        int slot;
        u32 flags;
    };
    void SetColor(u32 rgba) override { ops.push_back({'c', rgba, {}, -1, 0}); }
    void FillRect(const Rect& r) override { ops.push_back({'f', 0, r, -1, 0}); }
    void DrawImages(const std::vector<QueuedImageDraw>& draws) override {
        for (const auto& d : draws) ops.push_back({'i', 0, d.dest, d.image->index, d.flags});
    }
    void DrawPixelImage(const PixelImage&, const Rect&) override {}
    void ForgetPixelImage(const PixelImage&) override {}
    std::vector<Op> Images() const {
        std::vector<Op> out;
        for (const Op& o : ops)
            if (o.kind == 'i') out.push_back(o);
        return out;
    }
    std::vector<Op> ops;
};

void AddImage(TexturePack& pack, int index, u16 w, u16 h) {
    auto image = std::make_unique<TexturePackImage>();
    image->index = index;
    image->atlas.width = w;
    image->atlas.height = h;
    image->pixels.assign(size_t(w) * h * 4, 0xFF);
    pack.images.push_back(std::move(image));
}

class SkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto pack = CreateTexturePack();
        AddImage(*pack, kSlotWindowBackground, 32, 32);
        AddImage(*pack, kSlotThickBorder, 8, 4);
        AddImage(*pack, kSlotThinBorder, 8, 1);
        AddImage(*pack, kSlotButtonLeft, 6, 24);
        AddImage(*pack, kSlotButtonRight, 5, 24);
        AddImage(*pack, kSlotButtonMiddle, 4, 24);
        AddImage(*pack, kSlotCheckBox, 13, 13);
        AddImage(*pack, kSlotFrameCorner, 6, 6);
        AddImage(*pack, kSlotScrollTrack, 16, 8);
        AddImage(*pack, kSlotCloseButton, 14, 14);
        AddImage(*pack, kSlotTabLeft, 6, 20);
        AddImage(*pack, kSlotTabRight, 7, 20);
        AddImage(*pack, kSlotTabSelected, 4, 20);
        AddImage(*pack, 200, 4, 4);  // beyond the slots: never used
        skin_ = MakeSkin(std::move(pack));
        ASSERT_TRUE(skin_);
        previous_ = SetDrawTarget(&target_);
    }
    void TearDown() override { SetDrawTarget(previous_); }

    std::unique_ptr<Skin> skin_;
    RecordingTarget target_;
    DrawTarget* previous_ = nullptr;
};

TEST_F(SkinTest, MetricsComeFromTheImages) {
    const Skin* s = skin_.get();
    EXPECT_EQ(GetThickBorderSize(s), 4);
    EXPECT_EQ(GetThinBorderSize(s), 1);
    EXPECT_EQ(GetScrollbarWidth(s), 16);
    EXPECT_EQ(GetTitleBarHeight(s), 22);
    i32 w = 0, h = 0;
    GetTitleBarButtonSize(s, &w, &h);
    EXPECT_EQ(w, 14);
    GetCheckBoxSize(s, &w, &h);
    EXPECT_EQ(h, 13);
    GetButtonMinimumSize(s, &w, &h);
    EXPECT_EQ(w, 6 + 5 + 24);
    EXPECT_EQ(h, 24);
    EXPECT_EQ(GetTabRect(s, 30), (Rect{0, 0, 6 + 7 + 4 + 30, 20}));
    EXPECT_EQ(GetMenuFrameSize(s), 4);
    // Missing images measure 0 x 0; a missing skin too.
    GetSubmenuArrowSize(s, &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(GetThickBorderSize(nullptr), 0);
    EXPECT_EQ(SkinImage(s, 81), nullptr);
}

TEST_F(SkinTest, FramePutsEdgesInsideAndCornersAtTheirSize) {
    DrawSkinFrame(skin_.get(), Rect{10, 20, 110, 70}, kFrameLeft | kFrameTop | kFrameTopLeft | kFrameBottomRight);
    const auto images = target_.Images();
    ASSERT_EQ(images.size(), 4u);
    EXPECT_EQ(images[0].rect, (Rect{16, 20, 110, 24}));  // top, after the corner
    EXPECT_EQ(images[1].rect, (Rect{10, 26, 14, 70}));   // left, below the corner
    EXPECT_TRUE(images[1].flags & kImageRotate);
    EXPECT_EQ(images[2].rect, (Rect{10, 20, 16, 26}));   // top-left corner
    EXPECT_EQ(images[3].rect, (Rect{104, 64, 110, 70})); // bottom-right, mirrored both ways
    EXPECT_EQ(images[3].flags & (kImageMirrorX | kImageMirrorY), kImageMirrorX | kImageMirrorY);
    EXPECT_EQ(images[3].slot, kSlotFrameCorner);
}

TEST_F(SkinTest, ButtonFaceAndTiledBackground) {
    DrawButtonFace(skin_.get(), Rect{0, 0, 100, 18}, false);
    auto images = target_.Images();
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].rect, (Rect{0, 0, 6, 18}));
    EXPECT_EQ(images[1].rect, (Rect{6, 0, 95, 18}));
    EXPECT_EQ(images[2].rect, (Rect{95, 0, 100, 18}));
    target_.ops.clear();

    DrawWindowBackgroundDark(skin_.get(), Rect{0, 0, 64, 64});
    ASSERT_FALSE(target_.ops.empty());
    EXPECT_EQ(target_.ops[0].color, PackRgba(96, 96, 96, 255));
    images = target_.Images();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].flags & kImageStretch, 0u);  // tiled
}

TEST_F(SkinTest, MissingImagesDrawNothing) {
    DrawTitleBar(skin_.get(), Rect{0, 0, 100, 22}, true);
    DrawTitleBarButton(skin_.get(), Rect{0, 0, 14, 14}, 3, false);
    DrawMenuBackground(nullptr, Rect{0, 0, 10, 10});
    EXPECT_TRUE(target_.Images().empty());
}

TEST_F(SkinTest, HighlightColoursAndOutline) {
    EXPECT_EQ(SelectionColor(true, false), PackRgba(0, 64, 192, 128));
    EXPECT_EQ(SelectionColor(false, true), PackRgba(192, 192, 192, 192));
    DrawHighlight(Rect{0, 0, 20, 10}, kHighlightStrong | kHighlightFill | kHighlightOutline);
    std::vector<RecordingTarget::Op> fills;
    for (const auto& o : target_.ops)
        if (o.kind == 'f') fills.push_back(o);
    ASSERT_EQ(fills.size(), 5u);
    EXPECT_EQ(fills[0].rect, (Rect{0, 0, 20, 10}));
    EXPECT_EQ(fills[1].rect, (Rect{0, 0, 20, 2}));
    EXPECT_EQ(target_.ops[0].color, PackRgba(0, 64, 192, 128));
    // Text: black, or white when inverted, both opaque.
    target_.ops.clear();
    SetSkinTextColor(false);
    SetSkinTextColor(true);
    ASSERT_EQ(target_.ops.size(), 2u);
    EXPECT_EQ(target_.ops[0].color, PackRgba(0, 0, 0, 255));
    EXPECT_EQ(target_.ops[1].color, PackRgba(255, 255, 255, 255));
}

// The pack the build draws, when this build has one (the 32-bit build
// borrows the 64-bit build's).
std::string GeneratedPackPath() { return pirn_test::GeneratedResource("texturepack"); }

TEST(GeneratedSkinTest, EverySlotThePaintersUseIsFilled) {
    const std::string path = GeneratedPackPath();
    if (path.empty()) GTEST_SKIP() << "no generated texture pack in this build";
    std::string error;
    const auto skin = LoadSkin(path, &error);
    ASSERT_TRUE(skin) << error;
    const int used[] = {0,  1,  2,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 25, 26,
                        27, 38, 39, 40, 43, 44, 45, 46, 47, 48, 49, 52, 54, 58, 60, 61, 63, 64, 65, 66, 68, 71, 74, 76};
    for (int slot : used) EXPECT_NE(SkinImage(skin.get(), slot), nullptr) << slot;
    EXPECT_EQ(GetThickBorderSize(skin.get()), 4);
    EXPECT_EQ(GetThinBorderSize(skin.get()), 1);
    EXPECT_EQ(GetScrollbarWidth(skin.get()), 16);
    i32 w = 0, h = 0;
    GetTitleBarButtonSize(skin.get(), &w, &h);
    // Title-bar buttons sit 2 borders down and must fit the title strip.
    EXPECT_LE(2 * GetThickBorderSize(skin.get()) + h, GetThickBorderSize(skin.get()) + kTitleBarHeight);
    // Mirrored pieces pair up: caps and pressed caps share their sizes.
    i32 w2 = 0, h2 = 0;
    SkinImageSize(skin.get(), kSlotButtonLeft, &w, &h);
    SkinImageSize(skin.get(), kSlotButtonLeftPressed, &w2, &h2);
    EXPECT_EQ(w, w2);
    EXPECT_EQ(h, h2);
    EXPECT_EQ(skin->pack->pages.size(), 1u);
}

}  // namespace
}  // namespace pirn
