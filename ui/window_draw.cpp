// Drawing scope of a window and the base frame and background painters. The
// decisions (rectangles, scissor, which skin pieces) are made here; the
// installed renderer draws them.

#include <string>
#include <vector>

#include "ui/frame_step.h"
#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/window.h"
#include "ui/window_metrics.h"
#include "ui/window_overview.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"
#include "ui/window_system_internal.h"

namespace pirn {

namespace {

WindowRenderer* g_renderer = nullptr;
// One entry per open BeginWindowDraw: whether the renderer scope was opened.
std::vector<bool> g_scopes;

// Corner bits of DrawSkinFrame: 0x100 TL, 0x200 TR, 0x400 BR, 0x800 BL take
// slot 17's corners; the same order from 0x10 takes slot 16's.
constexpr u32 kAltCornerTL = 0x10, kAltCornerTR = 0x20, kAltCornerBR = 0x40, kAltCornerBL = 0x80;

// The rectangle moved toward the overview placement by the animation value
// (16.16 fixed point, 65535 for 1).
Rect Interpolate(const Rect& r, const Rect& toward) {
    if (!IsOverviewActive()) return r;
    const i64 a = static_cast<i64>(GetOverviewValue() * 65535.0f);
    auto mix = [a](i32 x, i32 y) { return static_cast<i32>(x + ((static_cast<i64>(y) - x) * a) / 65536); };
    return Rect{mix(r.left, toward.left), mix(r.top, toward.top), mix(r.right, toward.right),
                mix(r.bottom, toward.bottom)};
}

// Title text flags: measured as drawn.
constexpr u32 kTitleMeasureFlags = 262 | kTextMeasureOnly;
// Room left of the title in its strip.
constexpr i32 kTitleInset = 4;

i32 TitleTextWidth(InterfaceFont* font, const char* title, i32 height) {
    return DrawWindowText(font, title, 0, kTitleMeasureFlags, Rect{0, 0, 1 << 20, height});
}

}  // namespace

void SetWindowRenderer(WindowRenderer* renderer) { g_renderer = renderer; }
WindowRenderer* GetWindowRenderer() { return g_renderer; }

bool BeginWindowDraw(Window* window, int clientPart, int threeD) {
    const Rect r = clientPart ? Interpolate(window->GetClientScreenRect(), WindowInternals::PreviousClient(window))
                              : Interpolate(window->GetFrameScreenRect(), WindowInternals::PreviousFrame(window));
    if (r.IsEmpty()) {
        g_scopes.push_back(false);
        return false;
    }
    Rect scissor = IsOverviewActive() ? r : WindowInternals::VisibleRect(window);
    GetFrameState().currentScissor = scissor;
    if (!g_renderer) {
        g_scopes.push_back(false);
        return true;
    }
    // The window's own size across r: scaled drawing in the overview.
    const Rect& real = clientPart ? window->GetClientScreenRect() : window->GetFrameScreenRect();
    g_renderer->BeginScope(r, Point{real.Width(), real.Height()}, scissor, threeD != 0);
    g_scopes.push_back(true);
    return true;
}

void EndWindowDraw(Window* window) {
    if (g_scopes.empty()) return;
    const bool opened = g_scopes.back();
    g_scopes.pop_back();
    if (opened && g_renderer) g_renderer->EndScope();
}

void SetDrawColor(u32 rgba) {
    if (DrawTarget* t = GetDrawTarget()) t->SetColor(rgba);
}

void FillRectangle(const Rect& r) {
    if (DrawTarget* t = GetDrawTarget()) t->FillRect(r);
}

void OutlineRectangle(const Rect& r, i32 t, bool centred) {
    Rect o = r;
    if (centred) o = OffsetRect(r, -t / 2, -t / 2);
    FillRectangle(Rect{o.left, o.top, o.right, o.top + t});
    FillRectangle(Rect{o.left, o.bottom - t, o.right, o.bottom});
    FillRectangle(Rect{o.left, o.top + t, o.left + t, o.bottom - t});
    FillRectangle(Rect{o.right - t, o.top + t, o.right, o.bottom - t});
}

FrameLayout ComputeFrameLayout(const Window* w) {
    const WindowMetrics m = GetWindowMetrics();
    FrameLayout l;
    const Rect& frame = w->GetFrameScreenRect();
    const i32 width = frame.Width();
    const i32 height = frame.Height();
    l.frame = Rect{0, 0, width, height};
    const Window* top = const_cast<Window*>(w)->GetTopLevel();
    l.active = top && top->GetParent() && top->GetParent()->GetFirstChild() == top;
    const i32 b = w->GetBorderSize();
    l.borderSize = b;
    const u32 edges = w->GetBorderEdges();
    const i32 left = (edges & Window::kEdgeLeft) ? b : 0;
    const i32 topEdge = (edges & Window::kEdgeTop) ? b : 0;
    const i32 right = width - ((edges & Window::kEdgeRight) ? b : 0);
    const u32 buttonFlags = Window::kCloseBox | Window::kTitleButton1 | Window::kTitleButton2;
    if (w->TestFlags(Window::kTitleBar)) {
        l.hasTitleBar = true;
        l.titleStrip = Rect{left, topEdge, right, topEdge + m.titleBarHeight};
        int buttons = 0;
        for (int i = 0; i < 3; i++) {
            FrameLayout::Button& button = l.buttons[i];
            button.present = w->GetTitleButtonRect(i, &button.rect);
            button.pressed = button.present && (WindowInternals::PressedButtons(w) & (Window::kCloseBox << i));
            if (button.present) buttons++;
        }
        l.titleText = l.titleStrip;
        l.titleText.right -= buttons * (m.titleButtonWidth + 2 * m.thickBorder);
        l.titleText.left += kTitleInset;
        if (l.titleText.right < l.titleText.left) l.titleText.right = l.titleText.left;
        l.title = w->GetTitle();
        l.font = w->GetFont();
        if (w->TestFlags(Window::kThickBorder)) {
            l.hasFrameLine = true;
            l.frameLine = Rect{left, l.titleStrip.bottom, right, l.titleStrip.bottom + b};
        }
    }
    if (w->TestFlags(Window::kThickBorder)) {
        l.borderKind = 2;
        // 0x200 without title-bar buttons: the top corners come from the
        // second corner set (bits 16 and 32) and the bottom ones stay, as the
        // masks 3135 = edges | 0x30 | 0xC00 say.
        u32 f = (w->TestFlags(Window::kLargeMinimum) && !(w->GetFlags() & buttonFlags)) ? 3135u : 3855u;
        // A missing edge takes its two corners with it, from either set.
        if (!(edges & Window::kEdgeLeft)) f &= ~(0x901u | kAltCornerTL | kAltCornerBL);
        if (!(edges & Window::kEdgeRight)) f &= ~(0x604u | kAltCornerTR | kAltCornerBR);
        if (!(edges & Window::kEdgeTop)) f &= ~(0x302u | kAltCornerTL | kAltCornerTR);
        if (!(edges & Window::kEdgeBottom)) f &= ~(0xC08u | kAltCornerBR | kAltCornerBL);
        l.skinFrameFlags = f;
    } else if (w->TestFlags(Window::kThinBorder)) {
        l.borderKind = 1;
    }
    if (w->TestFlags(Window::kShadow)) {
        l.shadow = true;
        l.shadowFrame = Interpolate(w->GetFrameScreenRect(), WindowInternals::PreviousFrame(w));
    }
    return l;
}

i32 FrameWidthForTitle(const Window* w, const char* title) {
    const FrameLayout l = ComputeFrameLayout(w);
    if (!l.hasTitleBar) return 0;
    // Everything of the frame's width that is not room for the title, and
    // the inset once more on the right.
    const WindowMetrics m = GetWindowMetrics();
    i32 buttons = 0;
    for (const FrameLayout::Button& b : l.buttons) buttons += b.present ? 1 : 0;
    const i32 chrome = l.frame.Width() - l.titleStrip.Width() + buttons * (m.titleButtonWidth + 2 * m.thickBorder) +
                       2 * kTitleInset;
    return chrome + TitleTextWidth(l.font, title ? title : "", l.titleStrip.Height());
}

void PaintFrameLayout(const FrameLayout& l) {
    const Skin* skin = GetSkin();
    if (l.hasTitleBar) {
        DrawTitleBar(skin, l.titleStrip, l.active);
        if (l.title && *l.title) {
            // A title wider than the room left by the buttons is cut, so that
            // it never runs under them.
            std::string title = l.title;
            while (!title.empty() && TitleTextWidth(l.font, title.c_str(), l.titleText.Height()) > l.titleText.Width())
                title.pop_back();
            SetDrawColor(kColorWhite);
            DrawWindowText(l.font, title.c_str(), 0, 342, l.titleText);
        }
        if (l.hasFrameLine) DrawSkinFrame(skin, l.frameLine, kFrameTop);
        for (int i = 0; i < 3; i++) {
            const FrameLayout::Button& b = l.buttons[i];
            if (!b.present) continue;
            DrawTitleBarButton(skin, b.rect, i, b.pressed);
            // A thick-border ring around the button: with the skin's sizes it
            // spans the title strip's height.
            const i32 ring = GetThickBorderSize(skin);
            DrawSkinFrame(skin, Rect{b.rect.left - ring, b.rect.top - ring, b.rect.right + ring, b.rect.bottom + ring},
                          kFrameEdges | 0xF00);
        }
    }
    if (l.borderKind == 2) DrawSkinFrame(skin, l.frame, l.skinFrameFlags);
    else if (l.borderKind == 1) DrawThinFrame(skin, l.frame);
}

void DrawShadowUnder(const Rect& shadowFrame, bool active, const Rect& within) {
    // Under the windows, in a scope over the whole screen clipped to the
    // rectangle being redrawn.
    Rect clip = GetFrameState().currentClip;
    if (!RectIntersect(&clip, within) || clip.IsEmpty()) return;
    if (g_renderer) g_renderer->BeginScope(GetScreenRect(), GetScreenSize(), clip, false);
    DrawDropShadow(GetSkin(), shadowFrame, active);
    if (g_renderer) g_renderer->EndScope();
}

void Window::DrawFrame() {
    const FrameLayout layout = ComputeFrameLayout(this);
    if (layout.shadow) DrawShadowUnder(layout.shadowFrame, layout.active, GetScreenRect());
    if (!layout.hasTitleBar && layout.borderKind == 0) return;
    if (BeginWindowDraw(this, 0, 0)) PaintFrameLayout(layout);
    EndWindowDraw(this);
}

// The part of the frame the scissor lets through, widened up and left to
// the pattern's grid so that the tiles keep their place: tiling the whole
// frame for a small damaged rectangle would cost thousands of quads.
Rect BackgroundArea(const Window* w) {
    Rect area = w->GetLocalFrameRect();
    if (IsOverviewActive()) return area;  // drawn scaled: keep it whole
    i32 tw = 0, th = 0;
    SkinImageSize(GetSkin(), kSlotWindowBackground, &tw, &th);
    if (tw <= 0 || th <= 0) return area;
    const Rect& frame = w->GetFrameScreenRect();
    Rect clip = OffsetRect(GetFrameState().currentScissor, -frame.left, -frame.top);
    if (!RectIntersect(&clip, area) || clip.IsEmpty()) return Rect{};
    clip.left -= clip.left % tw;
    clip.top -= clip.top % th;
    return clip;
}

void Window::DrawBackground() {
    if (!(flags_ & (kBackground | kDarkBackground))) return;
    if (BeginWindowDraw(this, 0, 0)) {
        const Rect area = BackgroundArea(this);
        if (flags_ & kBackground) DrawWindowBackground(GetSkin(), area);
        else DrawWindowBackgroundDark(GetSkin(), area);
    }
    EndWindowDraw(this);
}

}  // namespace pirn
