#include "platform/colour_space.h"

#include <algorithm>
#include <cmath>

namespace pirn {

namespace {

// Division by 256 rounding toward minus infinity, as an arithmetic right
// shift by 8 does, without relying on how signed shifts behave.
int FloorDiv256(int x) { return x >= 0 ? x / 256 : -((-x + 255) / 256); }

}  // namespace

void HsvToRgb(double h, double s, double v, double* r, double* g, double* b) {
    if (s == 0.0) {
        *r = *g = *b = v;
        return;
    }
    if (!std::isfinite(h)) h = 0.0;
    h -= std::floor(h);  // a full turn is red again, not a missing sector
    double h6 = h * 6.0;
    int sector = std::min(5, std::max(0, static_cast<int>(std::floor(h6))));
    double f = h6 - sector;
    double p = v * (1.0 - s);
    double q = v * (1.0 - s * f);
    double t = v * (1.0 - s * (1.0 - f));
    switch (sector) {
        case 0: *r = v; *g = t; *b = p; break;
        case 1: *r = q; *g = v; *b = p; break;
        case 2: *r = p; *g = v; *b = t; break;
        case 3: *r = p; *g = q; *b = v; break;
        case 4: *r = t; *g = p; *b = v; break;
        default: *r = v; *g = p; *b = q; break;
    }
}

void RgbToHsv(double r, double g, double b, double* h, double* s, double* v) {
    double max = std::max(r, std::max(g, b));
    double min = std::min(r, std::min(g, b));
    double delta = max - min;
    *v = max;
    *s = max != 0.0 ? delta / max : 0.0;
    if (*s == 0.0) {
        *h = 0.0;
        return;
    }
    double hue;
    if (r == max) {
        hue = (g - b) / delta;
    } else if (g == max) {
        hue = 2.0 + (b - r) / delta;
    } else {
        hue = 4.0 + (r - g) / delta;
    }
    hue /= 6.0;
    if (hue < 0.0) hue += 1.0;
    *h = hue;
}

void RgbToHsv8(const u8 rgb[3], u8 hsv[4]) {
    int r = rgb[0], g = rgb[1], b = rgb[2];
    int max = std::max(r, std::max(g, b));
    int min = std::min(r, std::min(g, b));
    int delta = max - min;
    hsv[2] = static_cast<u8>(max);
    hsv[3] = 255;
    if (delta == 0) {
        hsv[0] = hsv[1] = 0;
        return;
    }
    hsv[1] = static_cast<u8>(delta * 255 / max);
    int sextants;  // in 1/256 of a sextant
    if (r == max) {
        sextants = ((g - b) * 256) / delta;
    } else if (g != max) {
        sextants = ((r - g) * 256) / delta + 1024;  // blue is the maximum
    } else {
        sextants = ((b - r) * 256) / delta + 512;
    }
    int degrees = FloorDiv256(sextants * 60);
    if (degrees < 0) degrees += 360;
    hsv[0] = static_cast<u8>(degrees * 256 / 360);
}

void HsvToRgb8(const u8 hsv[3], u8 rgb[4]) {
    const u32 h = hsv[0], s = hsv[1], v = hsv[2];
    const u32 x = h * 394758u;  // h * 6/255 in 8.24 fixed point
    const u32 sector = x >> 24;   // 0-5
    u32 fraction = x & 0xFFFFFFu;
    if ((sector & 1) == 0) fraction = 0xFFFFFFu - fraction;
    // Two-bit channel numbers per sector: where v goes (660) and where p
    // goes (1290); the third channel gets the ramp.
    const u32 v_channel = (660u >> (sector * 2)) & 3u;
    const u32 p_channel = (1290u >> (sector * 2)) & 3u;
    const u32 ramp_channel = 3u - v_channel - p_channel;
    rgb[v_channel] = static_cast<u8>(v);
    rgb[p_channel] = static_cast<u8>(((255u - s) * v) >> 8);
    rgb[ramp_channel] = static_cast<u8>(((255u - ((fraction * s) >> 24)) * v) >> 8);
    rgb[3] = 255;
}

}  // namespace pirn
