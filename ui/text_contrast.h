#pragma once
// Legible text over coloured fills: relative luminance and contrast ratio
// as the web's accessibility guidelines define them (sRGB), and a text
// colour moved in its own hue towards black or white until it stands out
// from the fill under it. Colours are packed RGBA, red in the low byte.

#include "platform/types.h"

namespace pirn {

// What normal-sized text needs against its background.
constexpr double kLegibleTextContrast = 4.5;

double RelativeLuminance(u32 rgba);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black
// on white. Alpha is ignored.
double ContrastRatio(u32 a, u32 b);
// top drawn over an opaque bottom with top's alpha; the result is opaque.
u32 CompositeOver(u32 top, u32 bottom);
// The text colour itself when it reaches minContrast against the opaque
// background; otherwise mixed towards black or white (whichever the
// background leaves more room for) just far enough, or all the way when
// even that falls short. Alpha is kept.
u32 LegibleOn(u32 text, u32 background, double minContrast);

}  // namespace pirn
