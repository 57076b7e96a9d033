#pragma once
// Where the skin painters, the texture-pack queue and the pictures made at
// run time send their drawing. The GL layer installs its target at
// start-up; without one (headless programs and tests) drawing goes nowhere,
// and tests install a recorder (ui/draw_recorder.h) instead.

#include <vector>

#include "platform/types.h"
#include "ui/rect.h"

namespace pirn {

struct PixelImage;
struct QueuedImageDraw;

class DrawTarget {
public:
    virtual ~DrawTarget() = default;
    // Packed RGBA: red in the low byte, alpha in the high byte.
    virtual void SetColor(u32 rgba) = 0;
    virtual void FillRect(const Rect& rect) = 0;
    // Draws the queued images in order, tinted by the current colour.
    virtual void DrawImages(const std::vector<QueuedImageDraw>& draws) = 0;
    // Draws the whole picture stretched over the rectangle, tinted by the
    // current colour, one image pixel to a block of screen pixels (no
    // smoothing: a zoomed bitmap shows its pixels). The target may keep
    // what it made of the image (the GL target a texture) for later frames;
    // it notices a new pixel block, size, format, palette block or checksum
    // by itself, but not pixels changed in place: see ForgetPixelImage.
    // Targets that only record part of a scene may ignore pictures.
    virtual void DrawPixelImage(const PixelImage& image, const Rect& rect) {}
    // The same, mirrored: kMirrorHorizontal puts the image's first column at
    // the rectangle's right edge, kMirrorVertical its first row at the
    // bottom. Targets that do not mirror draw the image as it is.
    virtual void DrawMirroredPixelImage(const PixelImage& image, const Rect& rect, u32 mirror) {
        DrawPixelImage(image, rect);
    }
    // Drops what the target keeps for the image. Called after the image's
    // pixels or palette changed in place and before an image that was drawn
    // is freed (another image at its address must not show the old one).
    virtual void ForgetPixelImage(const PixelImage& image) {}
};

// Installs the target (null: drawing goes nowhere); returns the previous one.
DrawTarget* SetDrawTarget(DrawTarget* target);
DrawTarget* GetDrawTarget();

enum PixelImageMirror : u32 {
    kMirrorHorizontal = 1,
    kMirrorVertical = 2,
};

// The picture through the installed target, after the skin images queued so
// far (so it lands on top of them); mirrored by PixelImageMirror bits.
void DrawPixelImage(const PixelImage& image, const Rect& rect, u32 mirror = 0);
// An editor calls this after changing an image it shows in place (then
// invalidates the window as usual) and before freeing such an image.
void ForgetDrawnPixelImage(const PixelImage& image);

constexpr u32 PackRgba(u32 r, u32 g, u32 b, u32 a) {
    return (r & 255) | (g & 255) << 8 | (b & 255) << 16 | (a & 255) << 24;
}

}  // namespace pirn
