#include "models/mesh_highlight_palette.h"

#include <cmath>
#include <cstring>

#include "platform/act_file.h"

namespace pirn {

namespace {

const u8 kFallbackColors[8][3] = {{255, 8, 51},  {221, 0, 230},  {42, 12, 255}, {0, 123, 255},
                                   {0, 246, 204}, {32, 255, 26}, {212, 242, 0}, {255, 120, 0}};

}  // namespace

void MakeFallbackHighlightPalette(u8 palette[768]) {
    for (u32 i = 0; i < 256; ++i) std::memcpy(palette + i * 3, kFallbackColors[i % 8], 3);
}

void MakeShippedHighlightPalette(u8 palette[768]) {
    palette[0] = palette[1] = palette[2] = 128;
    // Golden-angle hue steps never bring two nearby slots close in hue.
    for (u32 i = 1; i < 256; ++i) {
        const double hue = std::fmod(i * 137.50776, 360.0) / 60.0;
        const double value = (i & 1) ? 1.0 : 0.72;
        const double saturation = (i & 2) ? 0.85 : 0.65;
        const int sector = static_cast<int>(hue) % 6;
        const double f = hue - std::floor(hue);
        const double p = value * (1 - saturation), q = value * (1 - saturation * f),
                     t = value * (1 - saturation * (1 - f));
        double rgb[3];
        switch (sector) {
            case 0: rgb[0] = value, rgb[1] = t, rgb[2] = p; break;
            case 1: rgb[0] = q, rgb[1] = value, rgb[2] = p; break;
            case 2: rgb[0] = p, rgb[1] = value, rgb[2] = t; break;
            case 3: rgb[0] = p, rgb[1] = q, rgb[2] = value; break;
            case 4: rgb[0] = t, rgb[1] = p, rgb[2] = value; break;
            default: rgb[0] = value, rgb[1] = p, rgb[2] = q; break;
        }
        for (int c = 0; c < 3; ++c) palette[i * 3 + c] = static_cast<u8>(std::lround(rgb[c] * 255));
    }
}

bool LoadHighlightPaletteFile(u8 palette[768], const std::string& path) {
    std::memset(palette, 0, 768);
    if (ReadActFile(path, palette, nullptr)) return true;
    MakeFallbackHighlightPalette(palette);
    WriteActFile(path, palette, 256);
    return false;
}

int SaveHighlightPaletteFile(const u8 palette[768], const std::string& path) {
    return WriteActFile(path, palette, kHighlightPaletteFileColors);
}

}  // namespace pirn
