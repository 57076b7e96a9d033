#include "platform/os/program_icon.h"

#include <algorithm>
#include <cmath>

namespace pirn {

std::vector<u8> BuildProgramIcon(int size) {
    size = std::clamp(size, 16, 256);
    std::vector<u8> rgba(static_cast<size_t>(size) * size * 4, 0);
    const double s = size;
    const double corner = s * 0.18;
    auto put = [&](int x, int y, u8 r, u8 g, u8 b) {
        u8* p = &rgba[(static_cast<size_t>(y) * size + x) * 4];
        p[0] = r;
        p[1] = g;
        p[2] = b;
        p[3] = 255;
    };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Unit coordinates of the pixel centre.
            double u = (x + 0.5) / s, v = (y + 0.5) / s;
            double px = x + 0.5, py = y + 0.5;
            // Rounded square: outside the corner circles is transparent.
            double cx = std::clamp(px, corner, s - corner);
            double cy = std::clamp(py, corner, s - corner);
            if (std::hypot(px - cx, py - cy) > corner) continue;
            put(x, y, 32, 72, 96);
            double fromAxis = std::fabs(u - 0.5);
            // Wooden spindle through the middle, with flared ends.
            bool endCap = (v > 0.12 && v < 0.2) || (v > 0.8 && v < 0.88);
            if ((fromAxis < 0.05 && v > 0.08 && v < 0.92) || (endCap && fromAxis < 0.16))
                put(x, y, 214, 170, 110);
            // Thread wound around it, thickest in the middle, in bands.
            double bulge = 0.12 + 0.18 * std::sin((v - 0.2) / 0.6 * 3.14159265358979323846);
            if (v > 0.2 && v < 0.8 && fromAxis < bulge) {
                bool band = static_cast<int>(v * s / std::max(2.0, s / 16)) % 2 == 0;
                put(x, y, band ? 232 : 200, band ? 88 : 64, band ? 64 : 48);
            }
        }
    }
    return rgba;
}

}  // namespace pirn
