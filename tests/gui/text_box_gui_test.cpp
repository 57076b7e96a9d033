// A text field drawn by the GL renderer with the generated skin and font
// (Xvfb + Mesa): the white field, the selection band in the skin's
// highlight colour, the text in the skin's text colour (grey when disabled)
// and the one-pixel caret, read back from the frame buffer.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "tests/gui/gui_harness.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "ui/frame_step.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/interface_font.h"
#include "ui/skin.h"
#include "ui/text_box.h"
#include "ui/text_layout.h"
#include "ui/window_metrics.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

struct Rgb {
    int r, g, b;
};

// The colour of `rgba` drawn at its alpha over white.
Rgb OverWhite(u32 rgba) {
    const double a = ((rgba >> 24) & 0xFF) / 255.0;
    auto mix = [&](int c) { return int(c * a + 255 * (1 - a) + 0.5); };
    return Rgb{mix(rgba & 0xFF), mix((rgba >> 8) & 0xFF), mix((rgba >> 16) & 0xFF)};
}

bool Near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

class TextBoxGuiTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn GUI Test", 640, 480); }

    void SetUp() override {
        PIRN_REQUIRE_DISPLAY();
        ASSERT_TRUE(pirn_test::GuiWindow::IsOpen());
        if (!font_ || !skin_) GTEST_SKIP() << "no generated font or texture pack in this build";
        StartWindowSystem();
        SetPartialRedraw(true);
    }

    Rgb Pixel(int x, int y) {
        const auto p = SkinnedGlFixture::Pixel(x, y);
        return Rgb{p[0], p[1], p[2]};
    }
    // Pixels of the rectangle (screen) near the colour.
    int Count(const Rect& r, Rgb colour, int tolerance) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += Near(Pixel(x, y), colour, tolerance);
        return n;
    }
    // The darkest pixel's red value in the rectangle.
    int Darkest(const Rect& r) {
        int low = 255;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) low = std::min(low, Pixel(x, y).r);
        return low;
    }
    void Draw(TextBox* box) {
        box->OnIdle();  // the caret's state for this moment
        InvalidateAll();
        RenderFrame();
    }
};

TEST_F(TextBoxGuiTest, FieldSelectionTextAndCaret) {
    auto* box = new TextBox(TextBox::kTextField, nullptr);
    const i32 lh = box->GetLineHeight();
    SetFrame(box, Rect{40, 40, 340, 40 + lh});
    box->SetText("Hello world");
    ActivateWindow(box, kFocusByProgram);
    box->SetSelection(TextBox::TextPos{0, 1}, TextBox::TextPos{0, 4});
    Draw(box);

    const Rect c = box->GetClientScreenRect();
    const i32 selLeft = c.left + OffsetOfIndex(*font_, "Hello world", 0, 1);
    const i32 selRight = c.left + OffsetOfIndex(*font_, "Hello world", 0, 4);
    const i32 textRight = c.left + TextWidth(*font_, "Hello world", 0, 0);
    ASSERT_GT(selRight - selLeft, 8);
    // The selection band: the focused highlight over the white field, where
    // no glyph covers it.
    const Rgb band = OverWhite(SelectionColor(true, false));
    const Rect selection{selLeft, c.top + 1, selRight, c.bottom - 1};
    const int area = selection.Width() * selection.Height();
    EXPECT_GT(Count(selection, band, 3), area / 3);
    EXPECT_EQ(Count(Rect{textRight + 4, c.top + 1, c.right - 2, c.bottom - 1}, band, 3), 0) << "nothing beyond it";
    // The field is white beyond the text, and the text is dark.
    EXPECT_EQ(Count(Rect{textRight + 4, c.top + 2, textRight + 40, c.bottom - 2}, Rgb{255, 255, 255}, 0),
              36 * (c.Height() - 4));
    EXPECT_LT(Darkest(Rect{selRight, c.top, textRight, c.bottom}), 80);

    // The caret: one column in the text colour the height of the row.
    box->SetSelection(TextBox::TextPos{0, 11}, TextBox::TextPos{0, 11});
    Draw(box);
    ASSERT_TRUE(box->IsCaretShown());
    const i32 x = c.left + box->CaretX();
    const Rgb text{int(kSkinTextColor & 0xFF), int((kSkinTextColor >> 8) & 0xFF), int((kSkinTextColor >> 16) & 0xFF)};
    EXPECT_EQ(Count(Rect{x, c.top + 1, x + 1, c.bottom - 1}, text, 2), c.Height() - 2);
    EXPECT_EQ(Count(Rect{x + 2, c.top + 1, x + 3, c.bottom - 1}, Rgb{255, 255, 255}, 0), c.Height() - 2);
}

TEST_F(TextBoxGuiTest, DisabledTextIsGrey) {
    auto* box = new TextBox(TextBox::kTextField, nullptr);
    SetFrame(box, Rect{40, 100, 340, 100 + box->GetLineHeight()});
    box->SetText("Disabled");
    box->SetEnabled(false);
    Draw(box);
    const Rect c = box->GetClientScreenRect();
    const i32 textRight = c.left + TextWidth(*font_, "Disabled", 0, 0);
    const int darkest = Darkest(Rect{c.left + 1, c.top + 1, textRight, c.bottom - 1});
    EXPECT_LT(darkest, 200) << "there is text";
    EXPECT_GE(darkest, 0x80 - 3) << "none darker than the disabled grey";
}

}  // namespace
}  // namespace pirn
