#pragma once
// Conversions between RGB and HSV: doubles for the hue editors, 8-bit fixed
// point for palette sorting and hue shifting of 8-bit colours.
//
// Doubles: every component in [0, 1]; h is a fraction of a turn (0 red,
// 1/3 green, 2/3 blue). Bytes: h runs 0-255 for a turn.

#include "platform/types.h"

namespace pirn {

// h wraps around the turn, so h = 1 (or any value outside [0, 1)) gives the
// same colour as its fraction; a NaN hue counts as red. Every output is set.
void HsvToRgb(double h, double s, double v, double* r, double* g, double* b);
void RgbToHsv(double r, double g, double b, double* h, double* s, double* v);

// hsv[3] is always 255.
void RgbToHsv8(const u8 rgb[3], u8 hsv[4]);
// Scales by 1/256 throughout, so (0, 0, 255) gives (255, 254, 254); rgb[3]
// is always 255.
void HsvToRgb8(const u8 hsv[3], u8 rgb[4]);

}  // namespace pirn
