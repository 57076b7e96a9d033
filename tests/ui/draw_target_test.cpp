// Run-time pictures through the draw target, headless: a window's drawing
// reaches the installed target in order with the colour in force, and the
// calls that make a target drop what it keeps for an image reach it too.

#include "ui/draw_target.h"

#include "platform/pixel_image.h"
#include "tests/ui/window_system_fixture.h"
#include "ui/draw_recorder.h"
#include "ui/texture_pack.h"
#include "ui/window_renderer.h"

namespace pirn_test {
namespace {

class DrawTargetTest : public WindowSystemTest {
protected:
    void SetUp() override {
        WindowSystemTest::SetUp();
        SetImagePixels(&picture_, 3, 2, kFormatRgb, nullptr);
        SetDrawTarget(&recorder_);
    }
    DrawRecorder recorder_;
    inline static PixelImage picture_;
};

TEST_F(DrawTargetTest, AWindowsPictureIsRecordedWithItsRectangleAndColour) {
    auto* w = new ProbeWindow(Window::kVisible, nullptr, "bitmap");
    SetFrame(w, Rect{100, 100, 300, 260});
    w->onDraw = [](ProbeWindow*) {
        SetDrawColor(PackRgba(255, 255, 255, 128));
        DrawPixelImage(picture_, Rect{4, 6, 64, 46});
    };
    recorder_.Clear();
    InvalidateAll();
    RenderFrame();
    const std::vector<DrawRecorder::Call> pictures = recorder_.CallsOf(DrawRecorder::kPixelImage);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].image, &picture_);
    EXPECT_EQ(pictures[0].rect, (Rect{4, 6, 64, 46}));
    EXPECT_EQ(pictures[0].color, PackRgba(255, 255, 255, 128));
    EXPECT_EQ(pictures[0].imageWidth, 3u);
    EXPECT_EQ(pictures[0].imageHeight, 2u);
}

TEST_F(DrawTargetTest, QueuedSkinImagesGoFirstSoThePictureLandsOnTop) {
    std::unique_ptr<TexturePack> pack = CreateTexturePack();
    auto image = std::make_unique<TexturePackImage>();
    image->atlas.width = image->atlas.height = 8;
    QueueImageDraw(pack.get(), image.get(), Rect{0, 0, 8, 8}, 0);
    recorder_.Clear();
    DrawPixelImage(picture_, Rect{0, 0, 8, 8});
    ASSERT_EQ(recorder_.calls().size(), 2u);
    EXPECT_EQ(recorder_.calls()[0].kind, DrawRecorder::kImages);
    EXPECT_EQ(recorder_.calls()[0].imageCount, 1u);
    EXPECT_EQ(recorder_.calls()[1].kind, DrawRecorder::kPixelImage);
    EXPECT_TRUE(PendingImageDraws().empty());
}

TEST_F(DrawTargetTest, ForgettingReachesTheTargetAndNothingHappensWithoutOne) {
    recorder_.Clear();
    ForgetDrawnPixelImage(picture_);
    ASSERT_EQ(recorder_.calls().size(), 1u);
    EXPECT_EQ(recorder_.calls()[0].kind, DrawRecorder::kForgetPixelImage);
    EXPECT_EQ(recorder_.calls()[0].image, &picture_);

    SetDrawTarget(nullptr);
    DrawPixelImage(picture_, Rect{0, 0, 8, 8});
    ForgetDrawnPixelImage(picture_);
    EXPECT_EQ(recorder_.calls().size(), 1u);
}

}  // namespace
}  // namespace pirn_test
