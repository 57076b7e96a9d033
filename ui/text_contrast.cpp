#include "ui/text_contrast.h"

#include <algorithm>
#include <cmath>

namespace pirn {

namespace {

u32 Channel(u32 rgba, int i) { return (rgba >> (8 * i)) & 255u; }

double Linear(u32 channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The colour mixed towards target (0 black, 255 white) by t in 0..1.
u32 MixTowards(u32 rgba, u32 target, double t) {
    u32 out = rgba & 0xFF000000u;
    for (int i = 0; i < 3; ++i) {
        const double c = Channel(rgba, i);
        const u32 v = static_cast<u32>(std::lround(c + (static_cast<double>(target) - c) * t));
        out |= std::min<u32>(v, 255u) << (8 * i);
    }
    return out;
}

}  // namespace

double RelativeLuminance(u32 rgba) {
    return 0.2126 * Linear(Channel(rgba, 0)) + 0.7152 * Linear(Channel(rgba, 1)) + 0.0722 * Linear(Channel(rgba, 2));
}

double ContrastRatio(u32 a, u32 b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

u32 CompositeOver(u32 top, u32 bottom) {
    const double alpha = Channel(top, 3) / 255.0;
    u32 out = 0xFF000000u;
    for (int i = 0; i < 3; ++i) {
        const double v = Channel(top, i) * alpha + Channel(bottom, i) * (1.0 - alpha);
        out |= static_cast<u32>(std::lround(v)) << (8 * i);
    }
    return out;
}

u32 LegibleOn(u32 text, u32 background, double minContrast) {
    if (ContrastRatio(text, background) >= minContrast) return text;
    const u32 target = ContrastRatio(0xFF000000u, background) >= ContrastRatio(0xFFFFFFFFu, background) ? 0u : 255u;
    // The least mix that reaches the contrast, to a 64th.
    for (int step = 1; step <= 64; ++step) {
        const u32 mixed = MixTowards(text, target, step / 64.0);
        if (ContrastRatio(mixed, background) >= minContrast) return mixed;
    }
    return MixTowards(text, target, 1.0);
}

}  // namespace pirn
