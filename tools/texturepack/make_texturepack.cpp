// Draws every skin image in code and writes them as a texture pack:
//   make_texturepack <out file>
// One light theme: cool light greys for surfaces, a blue accent for title
// bars, buttons and marks (their labels are white), soft shadows. What each
// slot holds is listed in SLOTS.md beside this file.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ui/skin_slots.h"
#include "platform/file_system.h"

namespace {

using pirn::SkinSlot;

struct Color {
    float r, g, b, a;
};

Color Rgb(int r, int g, int b, int a = 255) { return Color{r / 255.f, g / 255.f, b / 255.f, a / 255.f}; }

Color Mix(Color x, Color y, float t) {
    return Color{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

// The palette, in one place.
const Color kSurface = Rgb(236, 238, 241);
const Color kSurfaceDot = Rgb(231, 233, 237);
const Color kMenuSurface = Rgb(250, 250, 252);
const Color kOutline = Rgb(122, 130, 143);
const Color kHighlight = Rgb(252, 253, 254);
const Color kBevelMid = Rgb(221, 225, 231);
const Color kBevelInner = Rgb(204, 209, 217);
const Color kLine = Rgb(178, 185, 196);
const Color kMark = Rgb(84, 92, 106);
const Color kAccentTop = Rgb(92, 148, 226);
const Color kAccentBottom = Rgb(52, 106, 196);
const Color kAccentEdge = Rgb(38, 80, 156);
const Color kAccentPressedTop = Rgb(46, 92, 172);
const Color kAccentPressedBottom = Rgb(66, 118, 204);
const Color kInactiveTop = Rgb(178, 184, 194);
const Color kInactiveBottom = Rgb(152, 159, 170);
const Color kWhite = Rgb(255, 255, 255);
const Color kTrack = Rgb(226, 229, 234);
const Color kThumb = Rgb(166, 174, 187);
const Color kThumbEdge = Rgb(140, 148, 162);
const Color kClose = Rgb(222, 86, 74);
const Color kClosePressed = Rgb(176, 56, 48);
const Color kDisabled = Rgb(190, 194, 201);

class Image {
public:
    Image(int w, int h) : w_(w), h_(h), px_(size_t(w) * h, Color{0, 0, 0, 0}) {}
    int w() const { return w_; }
    int h() const { return h_; }
    Color& at(int x, int y) { return px_[size_t(y) * w_ + x]; }
    const Color& at(int x, int y) const { return px_[size_t(y) * w_ + x]; }

    // Paints colour(x, y) over the pixels covered by a shape, with 4 x 4
    // samples a pixel for smooth edges. inside(fx, fy) tests a point.
    void Paint(const std::function<bool(float, float)>& inside,
               const std::function<Color(int, int)>& colour) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        if (inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4)) ++hits;
                if (hits) Over(x, y, colour(x, y), hits / 16.f);
            }
    }
    void Paint(const std::function<bool(float, float)>& inside, Color c) {
        Paint(inside, [c](int, int) { return c; });
    }
    void Fill(Color c) {
        for (auto& p : px_) p = c;
    }
    void Over(int x, int y, Color c, float coverage) {
        Color& d = at(x, y);
        const float a = c.a * coverage;
        const float out_a = a + d.a * (1 - a);
        if (out_a <= 0) return;
        d.r = (c.r * a + d.r * d.a * (1 - a)) / out_a;
        d.g = (c.g * a + d.g * d.a * (1 - a)) / out_a;
        d.b = (c.b * a + d.b * d.a * (1 - a)) / out_a;
        d.a = out_a;
    }
    Image Crop(int x0, int y0, int w, int h) const {
        Image out(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) out.at(x, y) = at(x0 + x, y0 + y);
        return out;
    }

private:
    int w_, h_;
    std::vector<Color> px_;
};

// Shape tests.
std::function<bool(float, float)> RoundRect(float x0, float y0, float x1, float y1, float r) {
    return [=](float x, float y) {
        if (x < x0 || x > x1 || y < y0 || y > y1) return false;
        const float cx = std::clamp(x, x0 + r, x1 - r);
        const float cy = std::clamp(y, y0 + r, y1 - r);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    };
}

std::function<bool(float, float)> Ring(float x0, float y0, float x1, float y1, float r, float width) {
    auto outer = RoundRect(x0, y0, x1, y1, r);
    auto inner = RoundRect(x0 + width, y0 + width, x1 - width, y1 - width, std::max(r - width, 0.f));
    return [=](float x, float y) { return outer(x, y) && !inner(x, y); };
}

std::function<bool(float, float)> Triangle(float ax, float ay, float bx, float by, float cx, float cy) {
    return [=](float x, float y) {
        auto side = [](float px, float py, float qx, float qy, float x_, float y_) {
            return (qx - px) * (y_ - py) - (qy - py) * (x_ - px);
        };
        const float d1 = side(ax, ay, bx, by, x, y);
        const float d2 = side(bx, by, cx, cy, x, y);
        const float d3 = side(cx, cy, ax, ay, x, y);
        const bool neg = d1 < 0 || d2 < 0 || d3 < 0;
        const bool pos = d1 > 0 || d2 > 0 || d3 > 0;
        return !(neg && pos);
    };
}

std::function<bool(float, float)> Segment(float ax, float ay, float bx, float by, float half_width) {
    return [=](float x, float y) {
        const float dx = bx - ax, dy = by - ay;
        const float len2 = dx * dx + dy * dy;
        float t = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0;
        t = std::clamp(t, 0.f, 1.f);
        const float px = ax + t * dx - x, py = ay + t * dy - y;
        return px * px + py * py <= half_width * half_width;
    };
}

std::function<Color(int, int)> Vertical(Color top, Color bottom, int h) {
    return [=](int, int y) { return Mix(top, bottom, h > 1 ? float(y) / (h - 1) : 0); };
}

auto Everywhere() {
    return [](float, float) { return true; };
}

// --- the images ------------------------------------------------------------

Image WindowBackground() {
    Image im(32, 32);
    im.Fill(kSurface);
    // A faint dot grid keeps large panels from looking flat.
    for (int y = 0; y < 32; y += 4)
        for (int x = (y / 4) % 2 * 2; x < 32; x += 4) im.at(x, y) = kSurfaceDot;
    return im;
}

// Border profile from the outside in.
Image ThickBorder() {
    const Color rows[4] = {kOutline, kHighlight, kBevelMid, kBevelInner};
    Image im(8, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) im.at(x, y) = rows[y];
    return im;
}

Image FrameCorner(bool rounded) {
    const Color rows[4] = {kOutline, kHighlight, kBevelMid, kBevelInner};
    Image im(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            if (!rounded) {
                im.at(x, y) = rows[std::min(x, y)];
                continue;
            }
            // Rings around the inner corner at (4, 4).
            const float d = std::sqrt((3.5f - x) * (3.5f - x) + (3.5f - y) * (3.5f - y));
            const int ring = 3 - int(std::floor(d + 0.25f));
            if (ring < 0) continue;  // outside the rounded corner
            im.at(x, y) = rows[std::clamp(ring, 0, 3)];
        }
    return im;
}

Image ThinBorder() {
    Image im(8, 1);
    im.Fill(kLine);
    return im;
}

// A full button; the skin takes its caps and middle from it.
Image ButtonFace(bool pressed) {
    Image im(40, 24);
    const Color top = pressed ? kAccentPressedTop : kAccentTop;
    const Color bottom = pressed ? kAccentPressedBottom : kAccentBottom;
    im.Paint(RoundRect(0, 0, 40, 24, 5), kAccentEdge);
    im.Paint(RoundRect(1, 1, 39, 23, 4), Vertical(top, bottom, 24));
    if (!pressed) im.Paint(RoundRect(2, 1, 38, 2, 0.5f), Rgb(255, 255, 255, 70));  // top sheen
    return im;
}

Image TitleBar(bool active) {
    Image im(8, 22);
    im.Paint(Everywhere(), Vertical(active ? kAccentTop : kInactiveTop,
                                    active ? kAccentBottom : kInactiveBottom, 22));
    for (int x = 0; x < 8; ++x) {
        im.at(x, 0) = Mix(im.at(x, 0), kWhite, 0.35f);
        im.at(x, 21) = active ? kAccentEdge : kOutline;
    }
    return im;
}

Image CheckBox(int state) {
    const bool checked = state == 1 || state == 2;
    const bool pressed = state >= 2;
    Image im(13, 13);
    if (checked) {
        im.Paint(RoundRect(0, 0, 13, 13, 3), kAccentEdge);
        im.Paint(RoundRect(1, 1, 12, 12, 2),
                 Vertical(pressed ? kAccentPressedTop : kAccentTop, pressed ? kAccentPressedBottom : kAccentBottom, 13));
        auto tick_a = Segment(3.2f, 6.8f, 5.6f, 9.2f, 0.95f);
        auto tick_b = Segment(5.6f, 9.2f, 10.f, 3.6f, 0.95f);
        im.Paint([=](float x, float y) { return tick_a(x, y) || tick_b(x, y); }, kWhite);
    } else {
        im.Paint(RoundRect(0, 0, 13, 13, 3), kOutline);
        im.Paint(RoundRect(1, 1, 12, 12, 2), pressed ? kBevelMid : kWhite);
    }
    return im;
}

Image GroupCorner(bool right, bool bottom) {
    Image im(5, 5);
    // One quarter of a 1-px ring, radius 4.
    const float cx = right ? 0.f : 5.f, cy = bottom ? 0.f : 5.f;
    im.Paint([=](float x, float y) {
        const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
        return d >= 3.6f && d <= 4.6f;
    }, kLine);
    return im;
}

Image Solid(int w, int h, Color c) {
    Image im(w, h);
    im.Fill(c);
    return im;
}

Image DownTriangle(int w, int h, Color c) {
    Image im(w, h);
    im.Paint(Triangle(0.5f, 1.5f, w - 0.5f, 1.5f, w / 2.f, h - 1.5f), c);
    return im;
}

Image SubmenuArrow() {
    Image im(5, 9);
    im.Paint(Triangle(0.5f, 0.5f, 4.5f, 4.5f, 0.5f, 8.5f), kMark);
    return im;
}

Image ScrollTrack() {
    Image im(16, 8);
    im.Fill(kTrack);
    for (int y = 0; y < 8; ++y) im.at(0, y) = kLine;
    return im;
}

// Thumb body: a pill across the bar with 3 px of track either side.
Image ScrollThumb() {
    Image im(16, 8);
    im.Fill(kTrack);
    for (int y = 0; y < 8; ++y) im.at(0, y) = kLine;
    im.Paint(RoundRect(3, -1, 14, 9, 0), kThumbEdge);
    im.Paint(RoundRect(4, -1, 13, 9, 0), kThumb);
    return im;
}

Image ScrollThumbEnd() {
    Image im(16, 6);
    im.Fill(kTrack);
    for (int y = 0; y < 6; ++y) im.at(0, y) = kLine;
    im.Paint(RoundRect(3, 1, 14, 12, 5), kThumbEdge);
    im.Paint(RoundRect(4, 2, 13, 12, 4), kThumb);
    return im;
}

Image ScrollArrow(bool pressed) {
    Image im(16, 14);
    im.Fill(pressed ? kBevelInner : kTrack);
    for (int y = 0; y < 14; ++y) im.at(0, y) = kLine;
    im.Paint(Triangle(4.5f, 9.f, 12.5f, 9.f, 8.5f, 4.f), pressed ? kAccentEdge : kMark);
    return im;
}

Image ComboArrow(int look) {  // 0 disabled, 1 normal, 2 pressed
    Image im(14, 16);
    const Color top = look == 0 ? kDisabled : look == 2 ? kAccentPressedTop : kAccentTop;
    const Color bottom = look == 0 ? kDisabled : look == 2 ? kAccentPressedBottom : kAccentBottom;
    im.Paint(RoundRect(0, 0, 14, 16, 3), look == 0 ? kLine : kAccentEdge);
    im.Paint(RoundRect(1, 1, 13, 15, 2), Vertical(top, bottom, 16));
    im.Paint(Triangle(3.5f, 6.f, 10.5f, 6.f, 7.f, 10.5f), look == 0 ? kSurface : kWhite);
    return im;
}

// Shadow strip under a frame: row 0 lies against the frame.
Image ShadowEdge(float strength) {
    Image im(8, 16);
    for (int y = 0; y < 16; ++y) {
        const float t = 1.f - (y + 0.5f) / 16.f;
        for (int x = 0; x < 8; ++x) im.at(x, y) = Color{0, 0, 0, strength * t * t};
    }
    return im;
}

Image ShadowCorner(float strength) {
    Image im(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const float d = std::sqrt((x + 0.5f) * (x + 0.5f) + (y + 0.5f) * (y + 0.5f)) / 16.f;
            const float t = std::max(0.f, 1.f - d);
            im.at(x, y) = Color{0, 0, 0, strength * t * t};
        }
    return im;
}

Image TitleButton(int button, bool pressed) {
    Image im(14, 14);
    const Color face = button == 0 ? (pressed ? kClosePressed : kClose)
                                   : (pressed ? Rgb(255, 255, 255, 60) : Rgb(255, 255, 255, 110));
    im.Paint(RoundRect(0.5f, 0.5f, 13.5f, 13.5f, 3), button == 0 ? Rgb(150, 40, 32) : Rgb(255, 255, 255, 150));
    im.Paint(RoundRect(1.5f, 1.5f, 12.5f, 12.5f, 2), face);
    const Color mark = kWhite;
    if (button == 0) {
        auto a = Segment(4.5f, 4.5f, 9.5f, 9.5f, 0.9f);
        auto b = Segment(9.5f, 4.5f, 4.5f, 9.5f, 0.9f);
        im.Paint([=](float x, float y) { return a(x, y) || b(x, y); }, mark);
    } else if (button == 1) {
        im.Paint(Ring(4, 4, 10, 10, 0, 1.2f), mark);
        im.Paint(RoundRect(4, 4, 10, 5.6f, 0), mark);
    } else {
        im.Paint(RoundRect(4, 8.2f, 10, 10, 0), mark);
    }
    return im;
}

// The 3D view's drag buttons, 15 x 15: a rounded face (blue, darker when
// pressed, grey when disabled) with a white mark: four arrows for Pan, a
// turning arrow for Rotate, a magnifier for Zoom.
enum class ViewMark { kPan, kRotate, kZoom };

Image ViewButton(ViewMark mark, int look) {  // 0 normal, 1 disabled, 2 pressed
    Image im(15, 15);
    const Color top = look == 1 ? kDisabled : look == 2 ? kAccentPressedTop : kAccentTop;
    const Color bottom = look == 1 ? kDisabled : look == 2 ? kAccentPressedBottom : kAccentBottom;
    im.Paint(RoundRect(0, 0, 15, 15, 3), look == 1 ? kLine : kAccentEdge);
    im.Paint(RoundRect(1, 1, 14, 14, 2), Vertical(top, bottom, 15));
    const Color ink = look == 1 ? kSurface : kWhite;
    if (mark == ViewMark::kPan) {
        auto h = Segment(3.5f, 7.5f, 11.5f, 7.5f, 0.7f);
        auto v = Segment(7.5f, 3.5f, 7.5f, 11.5f, 0.7f);
        im.Paint([=](float x, float y) { return h(x, y) || v(x, y); }, ink);
        im.Paint(Triangle(2, 7.5f, 4.5f, 5.5f, 4.5f, 9.5f), ink);
        im.Paint(Triangle(13, 7.5f, 10.5f, 5.5f, 10.5f, 9.5f), ink);
        im.Paint(Triangle(7.5f, 2, 5.5f, 4.5f, 9.5f, 4.5f), ink);
        im.Paint(Triangle(7.5f, 13, 5.5f, 10.5f, 9.5f, 10.5f), ink);
    } else if (mark == ViewMark::kRotate) {
        auto ring = Ring(3.5f, 3.5f, 11.5f, 11.5f, 4, 1.4f);
        im.Paint([=](float x, float y) { return ring(x, y) && !(x > 7.5f && y < 7.5f); }, ink);
        im.Paint(Triangle(7, 1.8f, 10.5f, 4.3f, 7, 6.8f), ink);
    } else {
        im.Paint(Ring(2.5f, 2.5f, 9.5f, 9.5f, 3.5f, 1.3f), ink);
        im.Paint(Segment(8.5f, 8.5f, 12, 12, 1.1f), ink);
    }
    return im;
}

// A tab header 20 high; the skin cuts side pieces and the face from it.
Image TabHeader() {
    Image im(24, 20);
    im.Paint(RoundRect(0, 0, 24, 26, 5), kOutline);
    im.Paint(RoundRect(1, 1, 23, 26, 4), Vertical(kWhite, kSurface, 20));
    return im;
}

// --- the file ----------------------------------------------------------------

struct Entry {
    int index;
    Image image;
};

void PutU16(std::vector<unsigned char>& out, unsigned v) {
    out.push_back(v & 255);
    out.push_back((v >> 8) & 255);
}

void PutU32(std::vector<unsigned char>& out, unsigned v) {
    for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 255);
}

std::vector<unsigned char> Encode(const std::vector<Entry>& entries) {
    std::vector<unsigned char> out;
    PutU32(out, unsigned(entries.size()));
    for (const Entry& e : entries) {
        out.insert(out.end(), 12, 0);  // list links and atlas place: filled at load time
        PutU16(out, unsigned(e.image.w()));
        PutU16(out, unsigned(e.image.h()));
        out.insert(out.end(), 8, 0);   // flags, page and pixel pointer
        PutU32(out, unsigned(e.index));
        for (int y = 0; y < e.image.h(); ++y)
            for (int x = 0; x < e.image.w(); ++x) {
                const Color& c = e.image.at(x, y);
                auto byte = [](float v) { return (unsigned char)std::lround(std::clamp(v, 0.f, 1.f) * 255); };
                out.push_back(byte(c.r));
                out.push_back(byte(c.g));
                out.push_back(byte(c.b));
                out.push_back(byte(c.a));
            }
    }
    return out;
}

std::vector<Entry> AllSlots() {
    using namespace pirn;
    std::vector<Entry> e;
    e.push_back({kSlotWindowBackground, WindowBackground()});
    e.push_back({kSlotThickBorder, ThickBorder()});
    e.push_back({kSlotThinBorder, ThinBorder()});
    const Image up = ButtonFace(false), down = ButtonFace(true);
    e.push_back({kSlotButtonMiddle, up.Crop(18, 0, 4, 24)});
    e.push_back({kSlotButtonMiddlePressed, down.Crop(18, 0, 4, 24)});
    e.push_back({kSlotButtonLeft, up.Crop(0, 0, 6, 24)});
    e.push_back({kSlotButtonLeftPressed, down.Crop(0, 0, 6, 24)});
    e.push_back({kSlotButtonRight, up.Crop(34, 0, 6, 24)});
    e.push_back({kSlotButtonRightPressed, down.Crop(34, 0, 6, 24)});
    e.push_back({kSlotTitleBarActive, TitleBar(true)});
    e.push_back({kSlotTitleBarInactive, TitleBar(false)});
    e.push_back({kSlotCheckBox, CheckBox(0)});
    e.push_back({kSlotCheckBoxChecked, CheckBox(1)});
    e.push_back({kSlotCheckBoxPressedChecked, CheckBox(2)});
    e.push_back({kSlotCheckBoxPressedUnchecked, CheckBox(3)});
    e.push_back({kSlotFrameCornerAlt, FrameCorner(false)});
    e.push_back({kSlotFrameCorner, FrameCorner(true)});
    e.push_back({kSlotGroupTopLeft, GroupCorner(false, false)});
    e.push_back({kSlotGroupTopRight, GroupCorner(true, false)});
    e.push_back({kSlotGroupBottomLeft, GroupCorner(false, true)});
    e.push_back({kSlotGroupBottomRight, GroupCorner(true, true)});
    e.push_back({kSlotGroupHorizontal, Solid(8, 1, kLine)});
    e.push_back({kSlotGroupVertical, Solid(1, 8, kLine)});
    e.push_back({kSlotDisclosure, DownTriangle(9, 9, kMark)});
    e.push_back({kSlotMenuBackground, Solid(16, 16, kMenuSurface)});
    e.push_back({kSlotSubmenuArrow, SubmenuArrow()});
    e.push_back({kSlotScrollTrack, ScrollTrack()});
    e.push_back({kSlotScrollThumb, ScrollThumb()});
    e.push_back({kSlotComboField, Solid(8, 8, kWhite)});
    e.push_back({kSlotComboArrowDisabled, ComboArrow(0)});
    e.push_back({kSlotComboArrow, ComboArrow(1)});
    e.push_back({kSlotComboArrowPressed, ComboArrow(2)});
    e.push_back({kSlotShadowEdge, ShadowEdge(0.30f)});
    e.push_back({kSlotShadowCorner, ShadowCorner(0.30f)});
    e.push_back({kSlotShadowEdgeInactive, ShadowEdge(0.16f)});
    e.push_back({kSlotShadowCornerInactive, ShadowCorner(0.16f)});
    e.push_back({kSlotCloseButton, TitleButton(0, false)});
    e.push_back({kSlotCloseButtonPressed, TitleButton(0, true)});
    e.push_back({kSlotMaximizeButton, TitleButton(1, false)});
    e.push_back({kSlotMaximizeButtonPressed, TitleButton(1, true)});
    e.push_back({kSlotCollapseButton, TitleButton(2, false)});
    e.push_back({kSlotCollapseButtonPressed, TitleButton(2, true)});
    const Image tab = TabHeader();
    e.push_back({kSlotTabSelected, tab.Crop(10, 0, 4, 20)});
    e.push_back({kSlotTabUnselected, tab.Crop(10, 0, 4, 20)});
    e.push_back({kSlotTabLeft, tab.Crop(0, 0, 6, 20)});
    e.push_back({kSlotTabRight, tab.Crop(18, 0, 6, 20)});
    e.push_back({kSlotScrollArrow, ScrollArrow(false)});
    e.push_back({kSlotScrollArrowPressed, ScrollArrow(true)});
    e.push_back({kSlotScrollThumbEnd, ScrollThumbEnd()});
    const struct {
        ViewMark mark;
        int normal, disabled, pressed;
    } views[] = {{ViewMark::kPan, kSlotPanButton, kSlotPanButtonDisabled, kSlotPanButtonPressed},
                 {ViewMark::kRotate, kSlotRotateButton, kSlotRotateButtonDisabled, kSlotRotateButtonPressed},
                 {ViewMark::kZoom, kSlotZoomButton, kSlotZoomButtonDisabled, kSlotZoomButtonPressed}};
    for (const auto& v : views) {
        e.push_back({v.normal, ViewButton(v.mark, 0)});
        e.push_back({v.disabled, ViewButton(v.mark, 1)});
        e.push_back({v.pressed, ViewButton(v.mark, 2)});
    }
    return e;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_texturepack <out file>\n");
        return 2;
    }
    const std::vector<unsigned char> bytes = Encode(AllSlots());
    if (!pirn::WriteFileSafely(argv[1], bytes.data(), bytes.size())) {
        std::fprintf(stderr, "make_texturepack: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
