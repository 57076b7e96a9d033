// A button, a scrollbar and a message box drawn by the window system with
// the generated skin and font on Mesa; the pixels read back are compared
// with the skin's own images and the font's metrics.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "tests/gui/gui_harness.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "tests/support/test_support.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/frame_step.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/message_box_window.h"
#include "ui/scrollable_window.h"
#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

using Rgb = std::array<int, 3>;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

class WidgetPixelsTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn widget test", kWidth, kHeight); }

    // Pixels darker than the light surfaces inside a rectangle.
    int InkIn(const Rect& r) const { return DarkPixelsIn(r, 120); }
    // A pixel of a skin image, as stored in the pack.
    static Rgb ImagePixel(int slot, int x, int y) {
        const TexturePackImage* image = FindTexturePackImage(*images_, slot);
        if (!image || x >= image->Width() || y >= image->Height()) return {-1, -1, -1};
        const size_t i = (size_t(y) * size_t(image->Width()) + size_t(x)) * 4;
        return {image->pixels[i], image->pixels[i + 1], image->pixels[i + 2]};
    }
    static int ImageAlpha(int slot, int x, int y) {
        const TexturePackImage* image = FindTexturePackImage(*images_, slot);
        if (!image || x >= image->Width() || y >= image->Height()) return -1;
        return image->pixels[(size_t(y) * size_t(image->Width()) + size_t(x)) * 4 + 3];
    }
    static i32 ImageHeight(int slot) {
        const TexturePackImage* image = FindTexturePackImage(*images_, slot);
        return image ? image->Height() : 0;
    }
    static bool Near(const Rgb& a, const Rgb& b, int tolerance) {
        for (int i = 0; i < 3; ++i)
            if (std::abs(a[i] - b[i]) > tolerance) return false;
        return true;
    }
    static std::string Show(const Rgb& c) {
        return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]);
    }
    // A plain window with the skin background to put widgets on.
    static Window* MakeSurface(const Rect& r) {
        auto* w = new Window(Window::kVisible | Window::kBackground, nullptr);
        SetFrame(w, r);
        return w;
    }
};

TEST_F(WidgetPixelsTest, ButtonFaceLabelAndPressedLook) {
    Window* surface = MakeSurface(Rect{20, 20, 300, 140});
    auto* button = new Button(surface, 3);
    button->SetTitle("Apply");
    button->SizeToFit();
    button->SetPosition(20, 20);
    const Rect f = button->GetFrameScreenRect();
    Draw();
    Shot("button");

    // The middle of the face (left of the label) shows the middle image; the
    // face stops 6 px above the button's bottom.
    const i32 faceHeight = f.Height() - Button::kFaceBottomGap;
    const i32 imageRow = ImageHeight(kSlotButtonMiddle) / 2;
    const Rgb face = Pixel(f.left + 9, f.top + faceHeight / 2);
    EXPECT_TRUE(Near(face, ImagePixel(kSlotButtonMiddle, 1, imageRow), 24)) << Show(face);
    EXPECT_FALSE(Near(Pixel(f.left + 9, f.bottom - 2), face, 24));  // below the face: the surface

    // The label is white on the face, centred: white ink about the middle,
    // none near the caps.
    const i32 textWidth = TextWidth(*font_, "Apply", 0, 0);
    int white = 0;
    for (int x = f.left + (f.Width() - textWidth) / 2; x < f.left + (f.Width() + textWidth) / 2; x++)
        for (int y = f.top; y < f.top + faceHeight; y++) {
            const Rgb p = Pixel(x, y);
            if (p[0] > 235 && p[1] > 235 && p[2] > 235) ++white;
        }
    EXPECT_GT(white, 20);

    // Pressed: the pressed middle image.
    button->SetState(Button::kPressedUnchecked, true);
    Draw();
    const Rgb pressed = Pixel(f.left + 9, f.top + faceHeight / 2);
    EXPECT_TRUE(Near(pressed, ImagePixel(kSlotButtonMiddlePressed, 1, imageRow), 24)) << Show(pressed);
}

// WCAG contrast of two colours (1 to 21).
double Contrast(const Rgb& a, const Rgb& b) {
    auto luminance = [](const Rgb& c) {
        double l[3];
        for (int i = 0; i < 3; ++i) {
            const double v = c[size_t(i)] / 255.0;
            l[i] = v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
        return 0.2126 * l[0] + 0.7152 * l[1] + 0.0722 * l[2];
    };
    double x = luminance(a), y = luminance(b);
    if (x < y) std::swap(x, y);
    return (x + 0.05) / (y + 0.05);
}

TEST_F(WidgetPixelsTest, EnabledAndDisabledLabelsBothReadOnTheirFace) {
    Window* surface = MakeSurface(Rect{20, 160, 400, 260});
    Button* buttons[2];
    for (int i = 0; i < 2; ++i) {
        buttons[i] = new Button(surface, 10 + i);
        buttons[i]->SetTitle("Apply");
        buttons[i]->SizeToFit();
        buttons[i]->SetPosition(20 + 140 * i, 20);
    }
    buttons[1]->SetEnabled(false);
    Draw();
    Shot("buttons_enabled_disabled");

    const i32 textWidth = TextWidth(*font_, "Apply", 0, 0);
    Rgb faces[2];
    for (int i = 0; i < 2; ++i) {
        const Rect f = buttons[i]->GetFrameScreenRect();
        const i32 faceHeight = f.Height() - Button::kFaceBottomGap;
        faces[i] = Pixel(f.left + 9, f.top + faceHeight / 2);
        // The label's strongest ink against the face it stands on.
        double best = 1.0;
        for (int x = f.left + (f.Width() - textWidth) / 2; x < f.left + (f.Width() + textWidth) / 2; x++)
            for (int y = f.top + 2; y < f.top + faceHeight - 2; y++) best = std::max(best, Contrast(Pixel(x, y), faces[i]));
        EXPECT_GE(best, 3.0) << (i ? "disabled" : "enabled") << " face " << Show(faces[i]);
    }
    // And the two states do not look alike: the disabled face is pale.
    EXPECT_GT(faces[1][0] + faces[1][1] + faces[1][2], faces[0][0] + faces[0][1] + faces[0][2] + 150)
        << Show(faces[0]) << " / " << Show(faces[1]);
}

TEST_F(WidgetPixelsTest, CheckBoxShowsTheImageOfItsState) {
    Window* surface = MakeSurface(Rect{20, 160, 300, 260});
    auto* check = new CheckBox(surface, 4);
    check->SetTitle("Show hidden tags");
    check->SizeToFit();
    check->SetPosition(10, 10);
    const Rect f = check->GetFrameScreenRect();
    i32 boxW = 0, boxH = 0;
    GetCheckBoxSize(skin_, &boxW, &boxH);
    const i32 boxTop = f.top + (f.Height() - boxH) / 2;
    // An opaque pixel inside the box that differs between the two images.
    int px = -1, py = -1;
    for (int y = 0; y < boxH && px < 0; y++)
        for (int x = 0; x < boxW; x++)
            if (ImageAlpha(kSlotCheckBox, x, y) == 255 && ImageAlpha(kSlotCheckBoxChecked, x, y) == 255 &&
                !Near(ImagePixel(kSlotCheckBox, x, y), ImagePixel(kSlotCheckBoxChecked, x, y), 60)) {
                px = x;
                py = y;
                break;
            }
    ASSERT_GE(px, 0);
    Draw();
    EXPECT_TRUE(Near(Pixel(f.left + px, boxTop + py), ImagePixel(kSlotCheckBox, px, py), 12));
    check->SetChecked(true, true);
    Draw();
    Shot("check_box");
    EXPECT_TRUE(Near(Pixel(f.left + px, boxTop + py), ImagePixel(kSlotCheckBoxChecked, px, py), 12));
    // The title in dark ink 8 px right of the box.
    EXPECT_GT(InkIn(Rect{f.left + boxW + 8, f.top, f.right, f.bottom}), 20);
    EXPECT_EQ(InkIn(Rect{f.left + boxW + 1, f.top, f.left + boxW + 7, f.bottom}), 0);
}

class ScrollView : public ScrollableWindow {
public:
    ScrollView() : ScrollableWindow(Window::kVisible | Window::kBackground | Window::kThinBorder, nullptr) {}
};

TEST_F(WidgetPixelsTest, ScrollbarTrackThumbAndArrows) {
    auto* view = new ScrollView();
    SetFrame(view, Rect{340, 20, 500, 300});
    view->SetScrollInfo(ScrollableWindow::kSetRangeY | ScrollableWindow::kSetPageY, 400, 0, 100, 0, 0, 0);
    view->SetScrollY(150);
    Draw();
    Shot("scrollbar");

    const Rect bar = OffsetRect(view->VerticalBarRect(), 340, 20);
    const Rect thumb = OffsetRect(view->VerticalThumb(), 340, 20);
    ASSERT_TRUE(view->IsVerticalThumbShown());
    EXPECT_EQ(bar.Width(), GetScrollbarWidth());
    const i32 cx = (bar.left + bar.right) / 2;
    // Thumb body and track, each its own image's colour in the middle column.
    const Rgb thumbPixel = Pixel(cx, (thumb.top + thumb.bottom) / 2);
    EXPECT_TRUE(Near(thumbPixel, ImagePixel(kSlotScrollThumb, 8, 4), 24)) << Show(thumbPixel);
    const Rgb trackPixel = Pixel(cx, (bar.top + 14 + thumb.top) / 2);
    EXPECT_TRUE(Near(trackPixel, ImagePixel(kSlotScrollTrack, 8, 4), 24)) << Show(trackPixel);
    EXPECT_FALSE(Near(thumbPixel, trackPixel, 8));
    // The up arrow's glyph: its darkest pixel shows in the top 14 px.
    int arrowInk = 0;
    for (int y = bar.top; y < bar.top + 14; y++)
        for (int x = bar.left; x < bar.right; x++) {
            const Rgb p = Pixel(x, y);
            if (p[0] < 160) ++arrowInk;
        }
    EXPECT_GT(arrowInk, 3);
    // The client area ends where the bar begins.
    EXPECT_EQ(view->GetClientScreenRect().right, bar.left);
}

TEST_F(WidgetPixelsTest, MessageBoxLayoutOnScreen) {
    auto* box = new MessageBoxWindow("Confirm Deletion", "Are you sure you want to delete 'x'?",
                                     {"Delete", "Don't Delete"});
    Draw();
    Shot("message_box");
    const Rect& f = box->GetFrameScreenRect();
    // Centred on the screen.
    EXPECT_NEAR(f.left + f.Width() / 2, kWidth / 2, 1);
    // Title bar blue, with the caption in white.
    const Rgb title = Pixel(f.left + 8, f.top + 8);
    EXPECT_GT(title[2], title[0] + 40) << Show(title);
    // The text: dark ink inside its rectangle, none in the margin above it.
    Rect text = box->GetTextRect();
    box->ClientToScreenRects(&text, 1);
    EXPECT_GT(InkIn(text), 30);
    EXPECT_EQ(InkIn(Rect{text.left, text.top - 20, text.right, text.top - 4}), 0);
    // Both buttons show their faces at their places.
    for (int i = 0; i < 2; i++) {
        const Rect b = box->GetButton(i)->GetFrameScreenRect();
        const Rgb face = Pixel(b.left + 4, b.top + (b.Height() - Button::kFaceBottomGap) / 2);
        EXPECT_GT(face[2], face[0] + 40) << i << " " << Show(face);
    }
    EXPECT_EQ(box->GetButton(0)->GetFrameScreenRect().top, box->GetButton(1)->GetFrameScreenRect().top);
}

}  // namespace
}  // namespace pirn
