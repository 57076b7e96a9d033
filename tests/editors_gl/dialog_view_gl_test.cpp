// The dialog editor's canvas drawn by the window system on Mesa (Xvfb in
// the test run) and read back with glReadPixels: the stippled dialog, the
// white controls and the orange selection where the dialog's coordinates
// put them; and every partial redraw of a drag, a nudge, a mode change and
// a new selection leaving the screen as a whole redraw draws it.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "codex/four_char_code.h"
#include "editors/ui/dialog_edit.h"
#include "editors/ui/dialog_view.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "ui/frame_step.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

using Rgb = std::array<int, 3>;
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

Rgb Of(u32 rgba) { return {int(rgba & 255), int(rgba >> 8 & 255), int(rgba >> 16 & 255)}; }

DialogData ThreeControls() {
    DialogData d;
    d.version = 1;
    d.rect = DialogRect{100, 50, 500, 350};  // drawn with its corner at the margin
    d.controls.push_back({MakeFourCC("butt"), 1, DialogRect{120, 70, 220, 110}, "Play"});
    d.controls.push_back({MakeFourCC("chek"), 2, DialogRect{120, 140, 300, 160}, "Music"});
    d.controls.push_back({MakeFourCC("stat"), 3, DialogRect{320, 200, 480, 330}, ""});
    return d;
}

class DialogViewGlTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn dialog view test", kWidth, kHeight); }
    void SetUp() override {
        SkinnedGlFixture::SetUp();
        if (IsSkipped()) return;
        editor_ = new DialogEdit(nullptr);
        editor_->SetDialog(ThreeControls());
        editor_->SetPosition(0, 0);
        editor_->SetVisible(true);
    }

    // The colour at a point of the dialog's coordinates.
    Rgb At(i32 x, i32 y) const {
        const Point client = editor_->View()->DialogToClient(x, y);
        const Point origin = editor_->View()->GetClientOrigin();
        return Pixel(origin.x + client.x, origin.y + client.y);
    }

    // The canvas's pixels, rows bottom-up as GL gives them.
    std::vector<unsigned char> Canvas() const {
        glFinish();
        const Rect& r = editor_->View()->GetClientScreenRect();
        std::vector<unsigned char> p(size_t(r.Width()) * size_t(r.Height()) * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(r.left, height_ - r.bottom, r.Width(), r.Height(), GL_RGB, GL_UNSIGNED_BYTE, p.data());
        return p;
    }

    DialogEdit* editor_ = nullptr;
};

TEST_F(DialogViewGlTest, TheCanvasShowsTheDialogItsControlsAndTheSelection) {
    editor_->SelectControl(1);
    Draw();
    Shot("dialog-view");
    EXPECT_EQ(At(100, 50), Of(DialogView::kStippleDark));
    EXPECT_EQ(At(101, 50), Of(DialogView::kStippleLight));
    EXPECT_EQ(At(499, 349), Of(DialogView::kStippleDark));
    EXPECT_EQ(At(95, 45), Of(DialogView::kBackgroundColor)) << "the margin";
    EXPECT_EQ(At(500, 200), Of(DialogView::kBackgroundColor)) << "right of the dialog";
    // Outlines: the first control white, the selected one orange.
    EXPECT_EQ(At(120, 100), Of(DialogView::kControlColor));
    EXPECT_EQ(At(219, 100), Of(DialogView::kControlColor));
    EXPECT_EQ(At(120, 150), Of(DialogView::kSelectedColor));
    EXPECT_EQ(At(299, 159), Of(DialogView::kSelectedColor));
    // Inside a control the stipple shows through its light veil.
    const Rgb inside = At(400, 300);
    EXPECT_NE(inside, Of(DialogView::kStippleDark));
    EXPECT_NE(inside, Of(DialogView::kStippleLight));
    EXPECT_GT(inside[2], inside[0]);
    // The box beside the selected control is dark, with white text in it.
    const Rect box = editor_->View()->ControlFootprint(1);
    const Point origin = editor_->View()->GetClientOrigin();
    int white = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.right - 30; x < box.right; ++x) {
            const Rgb p = Pixel(origin.x + x, origin.y + y);
            white += p[0] > 200 && p[1] > 200 && p[2] > 200;
        }
    EXPECT_GT(white, 10) << "no text in the box";
}

TEST_F(DialogViewGlTest, PartialRedrawsLeaveWhatAWholeRedrawDraws) {
    SetPartialRedraw(true);
    editor_->SelectControl(0);
    Draw();
    // Each step drawn on its own, only where it changed things.
    auto frame = [] {
        RenderFrame();
        glFinish();
    };
    ASSERT_TRUE(editor_->BeginControlDrag(0, kDialogPartMove));
    for (i32 dx : {5, 17, 40, 90, 60}) {
        editor_->DragControlBy(dx, dx / 3);
        frame();
    }
    editor_->EndControlDrag();
    editor_->SetMode(kDialogModeResize);
    frame();
    ASSERT_TRUE(editor_->BeginControlDrag(0, kDialogPartBottomRight));
    editor_->DragControlBy(-30, 25);
    frame();
    editor_->EndControlDrag();
    editor_->SelectControl(2);
    frame();
    editor_->NudgeSelected(-4, 3, false);
    frame();
    editor_->SetMode(kDialogModeMove);
    frame();
    editor_->SelectControl(-1);
    frame();
    Shot("dialog-view-partial");
    const std::vector<unsigned char> partial = Canvas();
    Draw();
    Shot("dialog-view-whole");
    const std::vector<unsigned char> whole = Canvas();
    ASSERT_EQ(partial.size(), whole.size());
    size_t differing = 0;
    for (size_t i = 0; i < whole.size(); i += 3)
        differing += partial[i] != whole[i] || partial[i + 1] != whole[i + 1] || partial[i + 2] != whole[i + 2];
    EXPECT_EQ(differing, 0u) << "pixels left over from an earlier frame";
}

}  // namespace
}  // namespace pirn
