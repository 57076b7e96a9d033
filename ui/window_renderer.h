#pragma once
// The seam between the headless window system and GL. The window system
// decides what is drawn where (visibility, scissor, frame layout); the
// renderer sets up each drawing scope in GL and the draw target draws. The GL
// renderer lives in ui/gl/; without one (tests of the headless core) nothing
// calls GL.

#include <string>

#include "platform/types.h"
#include "ui/draw_target.h"
#include "ui/rect.h"

namespace pirn {

class Window;
struct InterfaceFont;

// Everything the base frame painter draws, in frame-local coordinates, worked
// out without GL so that it can be tested.
struct FrameLayout {
    Rect frame;              // {0, 0, w, h}
    bool active = false;     // front-most child of its layer
    // Title bar.
    bool hasTitleBar = false;
    Rect titleStrip;
    Rect titleText;          // the strip less the title-bar buttons
    const char* title = nullptr;
    InterfaceFont* font = nullptr;  // the window's font or the default one
    bool hasFrameLine = false;
    Rect frameLine;          // line under the strip (thick border only)
    struct Button {
        bool present = false;
        bool pressed = false;
        Rect rect;
    } buttons[3];
    // Border: 0 none, 1 thin, 2 thick.
    int borderKind = 0;
    i32 borderSize = 0;
    u32 skinFrameFlags = 0;  // DrawSkinFrame flags for a thick border
    bool shadow = false;
    Rect shadowFrame;        // screen rectangle the shadow hangs off
};

// The base frame painter's layout for a window, and its painting with the
// skin (through the draw target).
FrameLayout ComputeFrameLayout(const Window* window);
void PaintFrameLayout(const FrameLayout& layout);
// The narrowest frame in which the base frame painter shows this title
// whole beside the window's title-bar buttons; 0 without a title bar.
i32 FrameWidthForTitle(const Window* window, const char* title);

// The skin's drop shadow of a frame (screen), drawn under the windows and
// clipped to the rectangle being redrawn and to `within` (screen): a window
// made of several windows (a menu column of entries) draws each its slice.
void DrawShadowUnder(const Rect& shadowFrame, bool active, const Rect& within);

// Text with a font (the default font when null) in the current colour;
// returns the widest line. Draws nothing without a font. The GL layer
// installs the drawer; without one text is only laid out.
using TextDrawer = i32 (*)(InterfaceFont* font, const char* text, int style, u32 flags, const Rect& rect);
void SetWindowTextDrawer(TextDrawer drawer);
i32 DrawWindowText(InterfaceFont* font, const char* text, int style, u32 flags, const Rect& rect);

// The GL side of a drawing scope: viewport, scissor and projection. Pixels
// themselves go through the draw target (ui/draw_target.h), like the skin's.
class WindowRenderer {
public:
    virtual ~WindowRenderer() = default;

    // Opens a drawing scope: viewport r (screen), scissor (screen), 2D
    // (origin top-left of r, y down, `size` units across r) or the
    // renderer's 3D projection; colour white. `size` differs from r's own
    // size only while the overview draws windows scaled into their tiles.
    virtual void BeginScope(const Rect& r, Point size, const Rect& scissor, bool threeD) = 0;
    virtual void EndScope() = 0;
    // Clears colour and depth of the whole screen, scissor off.
    virtual void ClearScreen() = 0;
    virtual void SetScissorEnabled(bool on) = 0;
    // Reads the screen rectangle from the frame buffer (RGB, rows top-down)
    // and hands it to the clipboard.
    virtual void CopyToClipboard(const Rect& screenRect) = 0;
};

void SetWindowRenderer(WindowRenderer* renderer);
WindowRenderer* GetWindowRenderer();  // may be null

// Drawing scope of one window (every drawing slot opens its own).
// clientPart 1 draws in the client area, 0 in the whole frame. Returns false
// when the rectangle is empty (nothing else happens then, but EndWindowDraw
// must still be called).
bool BeginWindowDraw(Window* window, int clientPart, int threeD);
void EndWindowDraw(Window* window);
// Packed RGBA: red in the low byte, then green, blue, alpha.
void SetDrawColor(u32 rgba);
void FillRectangle(const Rect& r);
// Four filled bars; centred moves the outline up-left by half the thickness.
void OutlineRectangle(const Rect& r, i32 thickness, bool centred);

constexpr u32 kColorWhite = 0xFFFFFFFFu;
constexpr u32 kColorDim = PackRgba(0, 0, 0, 128);

}  // namespace pirn
