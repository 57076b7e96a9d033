// Draws the picture of the splash screen and the About box in code: a
// wooden pirn wound with coloured thread, lying across an evening sky over
// a woven band, with the program's name in block letters. Writes it as a
// 24-bit BMP.
//
//   make_splash res/pirn.bmp

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/bmp_codec.h"
#include "platform/file_system.h"
#include "platform/pixel_image.h"

using namespace pirn;

namespace {

constexpr int kWidth = 400;
// Tall enough for the About box's credits, which stand beside the picture
// at its height.
constexpr int kHeight = 320;

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

class Canvas {
public:
    Canvas() : pixels_(size_t(kWidth) * kHeight) {}
    void Set(int x, int y, Rgb c) {
        if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) pixels_[size_t(y) * kWidth + size_t(x)] = c;
    }
    Rgb Get(int x, int y) const { return pixels_[size_t(y) * kWidth + size_t(x)]; }
    void Blend(int x, int y, Rgb c, double alpha) {
        if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) Set(x, y, Mix(Get(x, y), c, alpha));
    }
    PixelImage ToImage() const {
        PixelImage image;
        std::vector<u8> rgb;
        rgb.reserve(pixels_.size() * 3);
        for (const Rgb& c : pixels_)
            for (double v : {c.r, c.g, c.b}) rgb.push_back(u8(std::lround(std::clamp(v, 0.0, 255.0))));
        SetImagePixels(&image, kWidth, kHeight, kFormatRgb, rgb.data());
        return image;
    }

private:
    std::vector<Rgb> pixels_;
};

// Evening sky, darker upwards, with a low sun.
void DrawSky(Canvas& c) {
    const Rgb top{38, 44, 92}, horizon{236, 150, 92}, sun{255, 226, 160};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            Rgb sky = Mix(top, horizon, std::pow(y / double(kHeight - 70), 1.6));
            const double d = std::hypot(x - 300.0, y - (kHeight - 85.0));
            sky = Mix(sky, sun, std::exp(-d * d / 900.0));
            c.Set(x, y, sky);
        }
}

// A band of plain weave along the bottom: warp and weft over and under.
void DrawWeave(Canvas& c) {
    const Rgb warp{120, 70, 40}, weft{214, 176, 96};
    for (int y = kHeight - 60; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int cx = x / 8, cy = (y - (kHeight - 60)) / 8;
            const bool weftOnTop = (cx + cy) % 2 == 0;
            const double shade = 0.75 + 0.25 * std::sin(((weftOnTop ? y : x) % 8) * M_PI / 8.0);
            const Rgb base = weftOnTop ? weft : warp;
            c.Set(x, y, {base.r * shade, base.g * shade, base.b * shade});
        }
}

// The pirn: a tapered wooden spindle, thread wound thickest in the middle,
// lying on the weave.
void DrawPirn(Canvas& c) {
    const double x0 = 40, x1 = 360, cy = kHeight - 110;
    const Rgb wood{176, 120, 64}, woodDark{110, 70, 36};
    const Rgb threads[] = {{196, 40, 52}, {232, 196, 64}, {52, 110, 180}};
    for (int x = int(x0); x <= int(x1); ++x) {
        const double t = (x - x0) / (x1 - x0);
        const double core = 6 + 4 * t;                      // the spindle thickens towards its butt
        const double wound = t > 0.12 && t < 0.82 ? 30 * std::sin((t - 0.12) / 0.7 * M_PI) : 0;
        const double radius = std::max(core, core + wound);
        for (int y = int(cy - radius); y <= int(cy + radius); ++y) {
            const double v = (y - cy) / radius;  // -1 top .. 1 bottom
            const double light = 0.55 + 0.45 * std::sqrt(std::max(0.0, 1 - v * v)) - 0.2 * v;
            Rgb colour;
            if (wound <= core * 0.5) {
                colour = Mix(woodDark, wood, light);
            } else {
                const Rgb thread = threads[(x / 22) % 3];
                const double groove = 0.85 + 0.15 * std::sin((x + y * 0.35) * 1.4);
                colour = {thread.r * light * groove, thread.g * light * groove, thread.b * light * groove};
            }
            c.Set(x, y, colour);
        }
    }
    // The butt's ring.
    for (int y = int(cy - 12); y <= int(cy + 12); ++y)
        for (int x = int(x1) - 6; x <= int(x1); ++x) c.Set(x, y, woodDark);
}

// Block letters, 5 x 7, for the name.
void DrawName(Canvas& c, const std::string& text, int left, int top, int cell) {
    static const char* const kGlyphs[][7] = {
        {"1111.", "1...1", "1...1", "1111.", "1....", "1....", "1...."},  // P
        {"11111", "..1..", "..1..", "..1..", "..1..", "..1..", "11111"},  // I
        {"1111.", "1...1", "1...1", "1111.", "1.1..", "1..1.", "1...1"},  // R
        {"1...1", "11..1", "1.1.1", "1..11", "1...1", "1...1", "1...1"},  // N
    };
    const std::string letters = "PIRN";
    int x = left;
    for (char ch : text) {
        const size_t glyph = letters.find(ch);
        if (glyph == std::string::npos) continue;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col) {
                if (kGlyphs[glyph][row][col] != '1') continue;
                for (int dy = 0; dy < cell; ++dy)
                    for (int dx = 0; dx < cell; ++dx) {
                        c.Blend(x + col * cell + dx + 2, top + row * cell + dy + 2, {0, 0, 0}, 0.35);
                        c.Set(x + col * cell + dx, top + row * cell + dy, {250, 244, 228});
                    }
            }
        x += 6 * cell;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_splash OUTPUT.bmp\n");
        return 2;
    }
    Canvas canvas;
    DrawSky(canvas);
    DrawWeave(canvas);
    DrawPirn(canvas);
    DrawName(canvas, "PIRN", 28, 36, 6);
    const PixelImage image = canvas.ToImage();
    SafeFileWriter out;
    if (!out.Open(argv[1]) || !WriteBmp(out.stream(), image) || !out.Commit()) {
        std::fprintf(stderr, "make_splash: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
