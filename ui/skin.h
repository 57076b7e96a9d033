#pragma once
// The skin: the texture pack's images in 81 slots, the painters that give
// windows and widgets their look, and the metrics that follow from the
// images. Painters queue their images and flush at once; they draw through
// the installed draw target (nothing headless).

#include <memory>
#include <string>

#include "platform/types.h"
#include "ui/rect.h"
#include "ui/skin_slots.h"
#include "ui/texture_pack.h"

namespace pirn {

struct Skin {
    std::unique_ptr<TexturePack> pack;
    const TexturePackImage* slots[kSkinSlotCount] = {};
};

// Loads the pack, builds its pages and fills the slots. Null when the file
// cannot be read or is corrupt (start-up then ends the program).
std::unique_ptr<Skin> LoadSkin(const std::string& path, std::string* error = nullptr);
// The same over a pack already loaded (the skin takes it).
std::unique_ptr<Skin> MakeSkin(std::unique_ptr<TexturePack> pack, std::string* error = nullptr);
void FreeSkin(std::unique_ptr<Skin>& skin);
void SetSkin(Skin* skin);
Skin* GetSkin();

const TexturePackImage* SkinImage(const Skin* skin, int slot);
// Natural size of a slot's image; 0 x 0 when it is missing.
void SkinImageSize(const Skin* skin, int slot, i32* width, i32* height);

// Colours (packed RGBA, red in the low byte).
constexpr u32 kSkinWhite = 0xFFFFFFFFu;
constexpr u32 kSkinDarkTint = 0xFF606060u;      // grey 96
constexpr u32 kSkinFocusColor = 0xFFC04000u;    // (0, 64, 192), opaque
constexpr u32 kSkinDisabledTint = 0xFF9A9A9Au;  // disabled arrows and marks
constexpr u32 kSkinDimColor = 0x80000000u;      // black at alpha 128
constexpr u32 kSkinTextColor = 0xFF000000u;     // black, opaque: text on light surfaces
// A disabled button: its face drawn faint over the surface under it, its
// label in the dark grey of the theme's marks, so that it reads as clearly
// as the white label on the full blue face and yet plainly looks off.
constexpr u32 kSkinDisabledFaceTint = 0x5AFFFFFFu;    // white at alpha 90
constexpr u32 kSkinDisabledLabelColor = 0xFF6A5C54u;  // (84, 92, 106), opaque

// Metrics fixed by the toolkit.
constexpr i32 kTitleBarHeight = 22;
constexpr i32 kGridCellSpacing = 2;
constexpr i32 kTabInset = 8;
// Metrics the widgets need beyond the images, in one place.
constexpr i32 kTabOverlap = 4;         // neighbouring tab headers overlap by this much
constexpr i32 kTabPadding = 4;         // tab rectangle: side pieces plus this plus the text
constexpr i32 kSkinFrameSize = 6;      // splitter bar thickness
constexpr i32 kSeparatorThickness = 2; // etched line: a dark and a light pixel
constexpr i32 kButtonPaddingX = 16;    // button minimum size: content grown by these
constexpr i32 kButtonPaddingY = 8;
constexpr i32 kButtonMinimumExtraWidth = 24;  // beyond the two caps
constexpr i32 kGridCellMargin = 2;     // cell image inset inside the cell
constexpr i32 kShadowSize = 16;        // a shadow reaches this far right and down
constexpr i32 kShadowInset = 6;        // where the shadow strips begin along the frame

i32 GetThickBorderSize(const Skin* skin = GetSkin());
i32 GetThinBorderSize(const Skin* skin = GetSkin());
i32 GetScrollbarWidth(const Skin* skin = GetSkin());
i32 GetTitleBarHeight(const Skin* skin = GetSkin());
void GetTitleBarButtonSize(const Skin* skin, i32* width, i32* height);
void GetCheckBoxSize(const Skin* skin, i32* width, i32* height);
void GetSubmenuArrowSize(const Skin* skin, i32* width, i32* height);
// The two caps plus 24 wide, the cap height high.
void GetButtonMinimumSize(const Skin* skin, i32* width, i32* height);
void GetButtonPadding(const Skin* skin, i32* width, i32* height);
// A tab header for a title of that width, at the origin: side pieces plus 4
// plus the text wide, the face height high.
Rect GetTabRect(const Skin* skin, i32 text_width);
i32 GetTabOverlap(const Skin* skin = GetSkin());
// Thickness of the menu column frame (the thick frame of the skin).
i32 GetMenuFrameSize(const Skin* skin = GetSkin());
// Splitter bar thickness.
i32 GetSkinFrameSize(const Skin* skin = GetSkin());

// Painters.
void DrawSkinImage(const Skin* skin, int slot, i32 x, i32 y);
void DrawWindowBackground(const Skin* skin, const Rect& rect);
void DrawWindowBackgroundDark(const Skin* skin, const Rect& rect);
void DrawMenuBackground(const Skin* skin, const Rect& rect);

enum SkinFrameFlags : u32 {
    kFrameLeft = 1,
    kFrameTop = 2,
    kFrameRight = 4,
    kFrameBottom = 8,
    kFrameEdges = 15,
    // Corners from the second (square) set.
    kFrameAltTopLeft = 16,
    kFrameAltTopRight = 32,
    kFrameAltBottomRight = 64,
    kFrameAltBottomLeft = 128,
    // Corners from the main (rounded) set.
    kFrameTopLeft = 0x100,
    kFrameTopRight = 0x200,
    kFrameBottomRight = 0x400,
    kFrameBottomLeft = 0x800,
    kFrameAll = 0xF0F,
};
// Edges stretched along the inside of the rectangle, corners at natural size
// over the ends of the edges.
void DrawSkinFrame(const Skin* skin, const Rect& rect, u32 flags);
void DrawGroupFrame(const Skin* skin, const Rect& rect);
// The thin border along the inside of the rectangle.
void DrawThinFrame(const Skin* skin, const Rect& rect);
void DrawTitleBar(const Skin* skin, const Rect& rect, bool active);
// Buttons 0 close, 1 maximise, 2 collapse; others draw nothing.
void DrawTitleBarButton(const Skin* skin, const Rect& rect, int button, bool pressed);
// Along the right and bottom of the frame, 16 px out.
void DrawDropShadow(const Skin* skin, const Rect& frame, bool active);
void DrawButtonFace(const Skin* skin, const Rect& rect, bool pressed, bool focused = false, bool enabled = true);
// States: 0 unchecked, 1 checked, 2 pressed while checked, 3 pressed while
// unchecked. The box stands at the rectangle's top-left at its natural size.
void DrawCheckBox(const Skin* skin, const Rect& rect, u32 state, bool enabled = true);
void DrawComboBoxArrow(const Skin* skin, const Rect& rect, bool enabled, bool pressed);
void DrawComboBoxFrame(const Skin* skin, const Rect& rect);
// The triangle's top-left at the point.
void DrawDisclosureTriangle(const Skin* skin, Point at, bool open);
void DrawSubmenuArrow(const Skin* skin, Point at);

struct ScrollbarLook {
    bool vertical = true;
    bool enabled = true;
    bool first_arrow_pressed = false;   // up or left
    bool second_arrow_pressed = false;  // down or right
    bool thumb_shown = false;
    Rect thumb;                         // same coordinates as the bar
    bool thumb_pressed = false;
};
// The bar's track with an arrow of 14 px at each end, then the thumb.
void DrawScrollbar(const Skin* skin, const Rect& bar, const ScrollbarLook& look);
void DrawScrollbarThumb(const Skin* skin, const Rect& thumb, bool vertical, bool pressed);
// The corner between two scrollbars: a horizontal thumb image as the corner
// box, else the window background.
void DrawScrollbarCorner(const Skin* skin, const Rect& rect, bool box);
void DrawTab(const Skin* skin, const Rect& rect, bool selected);
// White at alpha 96.
void DrawGridCellOverlay(const Skin* skin, const Rect& rect);
// Style 1: a vertical bar (panes side by side), 2: a horizontal line.
void DrawSkinSeparator(const Skin* skin, const Rect& rect, int style);

enum HighlightFlags : u32 {
    kHighlightStrong = 1,   // blue, else grey
    kHighlightFill = 2,
    kHighlightOutline = 4,  // 2-px outline at alpha 192
};
void DrawHighlight(const Rect& rect, u32 flags);
// Sets the draw colour: blue when selected, else grey; alpha 192 when strong,
// else 128.
void SetSelectionColor(bool selected, bool strong);
u32 SelectionColor(bool selected, bool strong);
// The light theme's text: black on the light surfaces; inverted, white
// (on the blue accent, the title bar and strong selections).
void SetSkinTextColor(bool inverted);

}  // namespace pirn
