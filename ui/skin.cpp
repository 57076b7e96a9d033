#include "ui/skin.h"

#include <algorithm>

#include "ui/draw_target.h"

namespace pirn {

namespace {

Skin* g_skin = nullptr;

constexpr i32 kScrollArrowLength = 14;

void SetColor(u32 rgba) {
    if (DrawTarget* t = GetDrawTarget()) t->SetColor(rgba);
}

void Fill(const Rect& r) {
    if (r.IsEmpty()) return;
    if (DrawTarget* t = GetDrawTarget()) t->FillRect(r);
}

void Queue(const Skin* skin, int slot, const Rect& r, u32 flags) {
    const TexturePackImage* image = SkinImage(skin, slot);
    if (image) QueueImageDraw(skin->pack.get(), image, r, flags);
}

void Flush() { FlushImageDraws(true); }

i32 SlotWidth(const Skin* skin, int slot) {
    i32 w = 0;
    SkinImageSize(skin, slot, &w, nullptr);
    return w;
}

i32 SlotHeight(const Skin* skin, int slot) {
    i32 h = 0;
    SkinImageSize(skin, slot, nullptr, &h);
    return h;
}

// Edge image oriented for each side: the image's first row lies on the
// outside of the frame.
constexpr u32 kTopEdge = kImageStretch;
constexpr u32 kBottomEdge = kImageStretch | kImageMirrorY;
constexpr u32 kLeftEdge = kImageStretch | kImageRotate | kImageMirrorX;
constexpr u32 kRightEdge = kImageStretch | kImageRotate;

void DrawTiled(const Skin* skin, int slot, const Rect& rect, u32 color) {
    if (!skin || rect.IsEmpty()) return;
    SetColor(color);
    Queue(skin, slot, rect, 0);
    Flush();
}

}  // namespace

std::unique_ptr<Skin> MakeSkin(std::unique_ptr<TexturePack> pack, std::string* error) {
    if (!pack) return nullptr;
    if (!BuildTexturePackPages(*pack)) {
        if (error) *error = "texture pack images do not fit the texture pages";
        return nullptr;
    }
    DropTexturePackPixels(*pack);
    auto skin = std::make_unique<Skin>();
    skin->pack = std::move(pack);
    for (int i = 0; i < kSkinSlotCount; ++i) skin->slots[i] = FindTexturePackImage(*skin->pack, i);
    return skin;
}

std::unique_ptr<Skin> LoadSkin(const std::string& path, std::string* error) {
    auto pack = CreateTexturePack();
    if (!LoadTexturePack(*pack, path, error)) return nullptr;
    return MakeSkin(std::move(pack), error);
}

void FreeSkin(std::unique_ptr<Skin>& skin) {
    if (skin.get() == g_skin) g_skin = nullptr;
    skin.reset();
}

void SetSkin(Skin* skin) { g_skin = skin; }
Skin* GetSkin() { return g_skin; }

const TexturePackImage* SkinImage(const Skin* skin, int slot) {
    if (!skin || slot < 0 || slot >= kSkinSlotCount) return nullptr;
    return skin->slots[slot];
}

void SkinImageSize(const Skin* skin, int slot, i32* width, i32* height) {
    TexturePackImageSize(SkinImage(skin, slot), width, height);
}

i32 GetThickBorderSize(const Skin* skin) { return SlotHeight(skin, kSlotThickBorder); }
i32 GetThinBorderSize(const Skin* skin) { return SlotHeight(skin, kSlotThinBorder); }
i32 GetScrollbarWidth(const Skin* skin) { return SlotWidth(skin, kSlotScrollTrack); }
i32 GetTitleBarHeight(const Skin*) { return kTitleBarHeight; }

void GetTitleBarButtonSize(const Skin* skin, i32* width, i32* height) {
    SkinImageSize(skin, kSlotCloseButton, width, height);
}

void GetCheckBoxSize(const Skin* skin, i32* width, i32* height) {
    SkinImageSize(skin, kSlotCheckBox, width, height);
}

void GetSubmenuArrowSize(const Skin* skin, i32* width, i32* height) {
    SkinImageSize(skin, kSlotSubmenuArrow, width, height);
}

void GetButtonMinimumSize(const Skin* skin, i32* width, i32* height) {
    if (width)
        *width = SlotWidth(skin, kSlotButtonLeft) + SlotWidth(skin, kSlotButtonRight) +
                 kButtonMinimumExtraWidth;
    if (height) *height = SlotHeight(skin, kSlotButtonLeft);
}

void GetButtonPadding(const Skin*, i32* width, i32* height) {
    if (width) *width = kButtonPaddingX;
    if (height) *height = kButtonPaddingY;
}

Rect GetTabRect(const Skin* skin, i32 text_width) {
    const i32 w = SlotWidth(skin, kSlotTabLeft) + SlotWidth(skin, kSlotTabRight) + kTabPadding +
                  std::max(text_width, 0);
    return Rect{0, 0, w, SlotHeight(skin, kSlotTabSelected)};
}

i32 GetTabOverlap(const Skin*) { return kTabOverlap; }
i32 GetMenuFrameSize(const Skin* skin) { return GetThickBorderSize(skin); }
i32 GetSkinFrameSize(const Skin*) { return kSkinFrameSize; }

void DrawSkinImage(const Skin* skin, int slot, i32 x, i32 y) {
    const TexturePackImage* image = SkinImage(skin, slot);
    if (!image) return;
    SetColor(kSkinWhite);
    QueueImageDraw(skin->pack.get(), image, MakeRect(x, y, image->Width(), image->Height()),
                   kImageStretch);
    Flush();
}

void DrawWindowBackground(const Skin* skin, const Rect& rect) {
    DrawTiled(skin, kSlotWindowBackground, rect, kSkinWhite);
}

void DrawWindowBackgroundDark(const Skin* skin, const Rect& rect) {
    DrawTiled(skin, kSlotWindowBackground, rect, kSkinDarkTint);
}

void DrawMenuBackground(const Skin* skin, const Rect& rect) {
    DrawTiled(skin, kSlotMenuBackground, rect, kSkinWhite);
}

void DrawSkinFrame(const Skin* skin, const Rect& r, u32 flags) {
    if (!skin || r.IsEmpty()) return;
    const i32 b = GetThickBorderSize(skin);
    if (b <= 0) return;

    // Corners: the top-left image, mirrored into the other three. Edges stop
    // where a corner is drawn, so a rounded corner's transparent pixels show
    // what lies below rather than the edge.
    struct Corner {
        u32 alt_bit, main_bit, mirror;
        bool right, bottom;
        i32 w, h;
        int slot;
    };
    Corner corners[4] = {
        {kFrameAltTopLeft, kFrameTopLeft, 0, false, false, 0, 0, -1},
        {kFrameAltTopRight, kFrameTopRight, kImageMirrorX, true, false, 0, 0, -1},
        {kFrameAltBottomRight, kFrameBottomRight, kImageMirrorX | kImageMirrorY, true, true, 0, 0, -1},
        {kFrameAltBottomLeft, kFrameBottomLeft, kImageMirrorY, false, true, 0, 0, -1},
    };
    for (Corner& c : corners) {
        c.slot = (flags & c.main_bit) ? kSlotFrameCorner : (flags & c.alt_bit) ? kSlotFrameCornerAlt : -1;
        if (c.slot >= 0) SkinImageSize(skin, c.slot, &c.w, &c.h);
    }
    const Corner& tl = corners[0];
    const Corner& tr = corners[1];
    const Corner& br = corners[2];
    const Corner& bl = corners[3];

    SetColor(kSkinWhite);
    if (flags & kFrameTop)
        Queue(skin, kSlotThickBorder, Rect{r.left + tl.w, r.top, r.right - tr.w, r.top + b}, kTopEdge);
    if (flags & kFrameBottom)
        Queue(skin, kSlotThickBorder, Rect{r.left + bl.w, r.bottom - b, r.right - br.w, r.bottom}, kBottomEdge);
    if (flags & kFrameLeft)
        Queue(skin, kSlotThickBorder, Rect{r.left, r.top + tl.h, r.left + b, r.bottom - bl.h}, kLeftEdge);
    if (flags & kFrameRight)
        Queue(skin, kSlotThickBorder, Rect{r.right - b, r.top + tr.h, r.right, r.bottom - br.h}, kRightEdge);
    for (const Corner& c : corners) {
        if (c.slot < 0) continue;
        const i32 x = c.right ? r.right - c.w : r.left;
        const i32 y = c.bottom ? r.bottom - c.h : r.top;
        Queue(skin, c.slot, MakeRect(x, y, c.w, c.h), kImageStretch | c.mirror);
    }
    Flush();
}

void DrawGroupFrame(const Skin* skin, const Rect& r) {
    if (!skin || r.IsEmpty()) return;
    i32 tlw = 0, tlh = 0, trw = 0, trh = 0, blw = 0, blh = 0, brw = 0, brh = 0;
    SkinImageSize(skin, kSlotGroupTopLeft, &tlw, &tlh);
    SkinImageSize(skin, kSlotGroupTopRight, &trw, &trh);
    SkinImageSize(skin, kSlotGroupBottomLeft, &blw, &blh);
    SkinImageSize(skin, kSlotGroupBottomRight, &brw, &brh);
    const i32 hh = SlotHeight(skin, kSlotGroupHorizontal);
    const i32 vw = SlotWidth(skin, kSlotGroupVertical);
    SetColor(kSkinWhite);
    Queue(skin, kSlotGroupTopLeft, MakeRect(r.left, r.top, tlw, tlh), kImageStretch);
    Queue(skin, kSlotGroupTopRight, MakeRect(r.right - trw, r.top, trw, trh), kImageStretch);
    Queue(skin, kSlotGroupBottomLeft, MakeRect(r.left, r.bottom - blh, blw, blh), kImageStretch);
    Queue(skin, kSlotGroupBottomRight, MakeRect(r.right - brw, r.bottom - brh, brw, brh), kImageStretch);
    Queue(skin, kSlotGroupHorizontal, Rect{r.left + tlw, r.top, r.right - trw, r.top + hh}, kImageStretch);
    Queue(skin, kSlotGroupHorizontal, Rect{r.left + blw, r.bottom - hh, r.right - brw, r.bottom},
          kImageStretch | kImageMirrorY);
    Queue(skin, kSlotGroupVertical, Rect{r.left, r.top + tlh, r.left + vw, r.bottom - blh}, kImageStretch);
    Queue(skin, kSlotGroupVertical, Rect{r.right - vw, r.top + trh, r.right, r.bottom - brh},
          kImageStretch | kImageMirrorX);
    Flush();
}

void DrawThinFrame(const Skin* skin, const Rect& r) {
    if (!skin || r.IsEmpty()) return;
    const i32 b = GetThinBorderSize(skin);
    if (b <= 0) return;
    SetColor(kSkinWhite);
    Queue(skin, kSlotThinBorder, Rect{r.left, r.top, r.right, r.top + b}, kTopEdge);
    Queue(skin, kSlotThinBorder, Rect{r.left, r.bottom - b, r.right, r.bottom}, kBottomEdge);
    Queue(skin, kSlotThinBorder, Rect{r.left, r.top + b, r.left + b, r.bottom - b}, kLeftEdge);
    Queue(skin, kSlotThinBorder, Rect{r.right - b, r.top + b, r.right, r.bottom - b}, kRightEdge);
    Flush();
}

void DrawTitleBar(const Skin* skin, const Rect& rect, bool active) {
    if (!skin || rect.IsEmpty()) return;
    SetColor(kSkinWhite);
    Queue(skin, active ? kSlotTitleBarActive : kSlotTitleBarInactive, rect, kImageStretch);
    Flush();
}

void DrawTitleBarButton(const Skin* skin, const Rect& rect, int button, bool pressed) {
    static const int kSlots[3][2] = {
        {kSlotCloseButton, kSlotCloseButtonPressed},
        {kSlotMaximizeButton, kSlotMaximizeButtonPressed},
        {kSlotCollapseButton, kSlotCollapseButtonPressed},
    };
    if (!skin || button < 0 || button > 2 || rect.IsEmpty()) return;
    SetColor(kSkinWhite);
    Queue(skin, kSlots[button][pressed ? 1 : 0], rect, kImageStretch);
    Flush();
}

void DrawDropShadow(const Skin* skin, const Rect& f, bool active) {
    if (!skin || f.IsEmpty()) return;
    const int edge = active ? kSlotShadowEdge : kSlotShadowEdgeInactive;
    const int corner = active ? kSlotShadowCorner : kSlotShadowCornerInactive;
    const i32 s = kShadowSize;
    SetColor(kSkinWhite);
    Queue(skin, edge, Rect{f.left + kShadowInset, f.bottom, f.right, f.bottom + s}, kTopEdge);
    // Turned clockwise, the strip's first row (next to the frame) lies left.
    Queue(skin, edge, Rect{f.right, f.top + kShadowInset, f.right + s, f.bottom},
          kImageStretch | kImageRotate | kImageMirrorX);
    Queue(skin, corner, Rect{f.right, f.bottom, f.right + s, f.bottom + s}, kImageStretch);
    Flush();
}

void DrawButtonFace(const Skin* skin, const Rect& r, bool pressed, bool focused, bool enabled) {
    if (!skin || r.IsEmpty()) return;
    const i32 lw = SlotWidth(skin, pressed ? kSlotButtonLeftPressed : kSlotButtonLeft);
    const i32 rw = SlotWidth(skin, pressed ? kSlotButtonRightPressed : kSlotButtonRight);
    // A focused face is tinted a light blue; the widget adds its outline. A
    // disabled one lets the surface show through, keeping its rounded shape.
    if (!enabled) SetColor(kSkinDisabledFaceTint);
    else SetColor(focused && !pressed ? 0xFFFFEEDDu : kSkinWhite);
    // Caps keep their width and follow the button's height.
    Queue(skin, pressed ? kSlotButtonLeftPressed : kSlotButtonLeft,
          Rect{r.left, r.top, std::min(r.left + lw, r.right), r.bottom}, kImageStretch);
    Queue(skin, pressed ? kSlotButtonMiddlePressed : kSlotButtonMiddle,
          Rect{r.left + lw, r.top, r.right - rw, r.bottom}, kImageStretch);
    Queue(skin, pressed ? kSlotButtonRightPressed : kSlotButtonRight,
          Rect{std::max(r.right - rw, r.left), r.top, r.right, r.bottom}, kImageStretch);
    Flush();
}

void DrawCheckBox(const Skin* skin, const Rect& r, u32 state, bool enabled) {
    static const int kSlots[4] = {kSlotCheckBox, kSlotCheckBoxChecked, kSlotCheckBoxPressedChecked,
                                  kSlotCheckBoxPressedUnchecked};
    if (!skin || state > 3) return;
    const int slot = kSlots[state];
    i32 w = 0, h = 0;
    SkinImageSize(skin, slot, &w, &h);
    SetColor(enabled ? kSkinWhite : kSkinDisabledTint);
    Queue(skin, slot, MakeRect(r.left, r.top, w, h), kImageStretch);
    Flush();
}

void DrawComboBoxArrow(const Skin* skin, const Rect& rect, bool enabled, bool pressed) {
    if (!skin || rect.IsEmpty()) return;
    const int slot = !enabled ? kSlotComboArrowDisabled : pressed ? kSlotComboArrowPressed : kSlotComboArrow;
    SetColor(kSkinWhite);
    Queue(skin, slot, rect, kImageStretch);
    Flush();
}

void DrawComboBoxFrame(const Skin* skin, const Rect& r) {
    if (!skin || r.IsEmpty()) return;
    const i32 b = GetThinBorderSize(skin);
    SetColor(kSkinWhite);
    Queue(skin, kSlotComboField, Rect{r.left + b, r.top + b, r.right - b, r.bottom - b}, 0);
    Flush();
    DrawThinFrame(skin, r);
}

void DrawDisclosureTriangle(const Skin* skin, Point at, bool open) {
    const TexturePackImage* image = SkinImage(skin, kSlotDisclosure);
    if (!image) return;
    SetColor(kSkinWhite);
    // Closed: the downward triangle turned to point right.
    const u32 flags = open ? kImageStretch : kImageStretch | kImageRotate | kImageMirrorX;
    const i32 w = open ? image->Width() : image->Height();
    const i32 h = open ? image->Height() : image->Width();
    QueueImageDraw(skin->pack.get(), image, MakeRect(at.x, at.y, w, h), flags);
    Flush();
}

void DrawSubmenuArrow(const Skin* skin, Point at) { DrawSkinImage(skin, kSlotSubmenuArrow, at.x, at.y); }

void DrawScrollbarThumb(const Skin* skin, const Rect& t, bool vertical, bool pressed) {
    if (!skin || t.IsEmpty()) return;
    const i32 end = SlotHeight(skin, kSlotScrollThumbEnd);
    SetColor(pressed ? 0xFFE8D8C8u : kSkinWhite);
    if (vertical) {
        const i32 e = std::min(end, t.Height() / 2);
        Queue(skin, kSlotScrollThumbEnd, Rect{t.left, t.top, t.right, t.top + e}, kImageStretch);
        Queue(skin, kSlotScrollThumb, Rect{t.left, t.top + e, t.right, t.bottom - e}, kImageStretch);
        Queue(skin, kSlotScrollThumbEnd, Rect{t.left, t.bottom - e, t.right, t.bottom},
              kImageStretch | kImageMirrorY);
    } else {
        // Turned clockwise then mirrored, the image's top row lies left.
        const i32 e = std::min(end, t.Width() / 2);
        Queue(skin, kSlotScrollThumbEnd, Rect{t.left, t.top, t.left + e, t.bottom}, kLeftEdge);
        Queue(skin, kSlotScrollThumb, Rect{t.left + e, t.top, t.right - e, t.bottom}, kLeftEdge);
        Queue(skin, kSlotScrollThumbEnd, Rect{t.right - e, t.top, t.right, t.bottom}, kRightEdge);
    }
    Flush();
}

void DrawScrollbar(const Skin* skin, const Rect& bar, const ScrollbarLook& look) {
    if (!skin || bar.IsEmpty()) return;
    const i32 a = kScrollArrowLength;
    const u32 tint = look.enabled ? kSkinWhite : kSkinDisabledTint;
    SetColor(kSkinWhite);
    const int first = look.first_arrow_pressed ? kSlotScrollArrowPressed : kSlotScrollArrow;
    const int second = look.second_arrow_pressed ? kSlotScrollArrowPressed : kSlotScrollArrow;
    if (look.vertical) {
        Queue(skin, kSlotScrollTrack, Rect{bar.left, bar.top + a, bar.right, bar.bottom - a}, kImageStretch);
        Flush();
        SetColor(tint);
        Queue(skin, first, Rect{bar.left, bar.top, bar.right, bar.top + a}, kImageStretch);
        Queue(skin, second, Rect{bar.left, bar.bottom - a, bar.right, bar.bottom}, kImageStretch | kImageMirrorY);
    } else {
        Queue(skin, kSlotScrollTrack, Rect{bar.left + a, bar.top, bar.right - a, bar.bottom}, kLeftEdge);
        Flush();
        SetColor(tint);
        // The up arrow turned clockwise points right.
        Queue(skin, first, Rect{bar.left, bar.top, bar.left + a, bar.bottom}, kLeftEdge);
        Queue(skin, second, Rect{bar.right - a, bar.top, bar.right, bar.bottom}, kRightEdge);
    }
    Flush();
    if (look.thumb_shown) DrawScrollbarThumb(skin, look.thumb, look.vertical, look.thumb_pressed);
}

void DrawScrollbarCorner(const Skin* skin, const Rect& rect, bool box) {
    if (box)
        DrawScrollbarThumb(skin, rect, false, false);
    else
        DrawWindowBackground(skin, rect);
}

void DrawTab(const Skin* skin, const Rect& r, bool selected) {
    if (!skin || r.IsEmpty()) return;
    const i32 lw = SlotWidth(skin, kSlotTabLeft);
    const i32 rw = SlotWidth(skin, kSlotTabRight);
    // Unselected tabs share the side pieces, a shade darker.
    SetColor(selected ? kSkinWhite : 0xFFDCDCDCu);
    Queue(skin, kSlotTabLeft, Rect{r.left, r.top, r.left + lw, r.bottom}, kImageStretch);
    Queue(skin, selected ? kSlotTabSelected : kSlotTabUnselected, Rect{r.left + lw, r.top, r.right - rw, r.bottom},
          kImageStretch);
    Queue(skin, kSlotTabRight, Rect{r.right - rw, r.top, r.right, r.bottom}, kImageStretch);
    Flush();
}

void DrawGridCellOverlay(const Skin*, const Rect& rect) {
    SetColor(PackRgba(255, 255, 255, 96));
    Fill(rect);
}

void DrawSkinSeparator(const Skin* skin, const Rect& r, int style) {
    if (r.IsEmpty()) return;
    if (style == 1) {
        // A bar between side-by-side panes: background with an etched line
        // down its middle.
        DrawWindowBackground(skin, r);
        const i32 x = r.left + (r.Width() - kSeparatorThickness) / 2;
        SetColor(PackRgba(150, 156, 166, 255));
        Fill(Rect{x, r.top, x + 1, r.bottom});
        SetColor(kSkinWhite);
        Fill(Rect{x + 1, r.top, x + 2, r.bottom});
    } else {
        const i32 y = r.top + (r.Height() - kSeparatorThickness) / 2;
        SetColor(PackRgba(150, 156, 166, 255));
        Fill(Rect{r.left, y, r.right, y + 1});
        SetColor(kSkinWhite);
        Fill(Rect{r.left, y + 1, r.right, y + 2});
    }
    SetColor(kSkinWhite);
}

u32 SelectionColor(bool selected, bool strong) {
    const u32 alpha = strong ? 192 : 128;
    return selected ? PackRgba(0, 64, 192, alpha) : PackRgba(192, 192, 192, alpha);
}

void SetSelectionColor(bool selected, bool strong) { SetColor(SelectionColor(selected, strong)); }

void SetSkinTextColor(bool inverted) { SetColor(inverted ? kSkinWhite : kSkinTextColor); }

void DrawHighlight(const Rect& r, u32 flags) {
    if (r.IsEmpty()) return;
    const bool blue = flags & kHighlightStrong;
    if (flags & kHighlightFill) {
        SetSelectionColor(blue, false);
        Fill(r);
    }
    if (flags & kHighlightOutline) {
        SetSelectionColor(blue, true);
        const i32 t = 2;
        Fill(Rect{r.left, r.top, r.right, r.top + t});
        Fill(Rect{r.left, r.bottom - t, r.right, r.bottom});
        Fill(Rect{r.left, r.top + t, r.left + t, r.bottom - t});
        Fill(Rect{r.right - t, r.top + t, r.right, r.bottom - t});
    }
    SetColor(kSkinWhite);
}

}  // namespace pirn
