#pragma once
// Loading the colour and alpha pictures the builders read, and the few
// conversions between them that the builders share.

#include <string>
#include <vector>

#include "platform/pixel_image.h"

namespace pirn {

// Decodes a BMP, PNG or TIFF file; false for anything else or a file that
// does not decode. A grey picture comes back as GL_ALPHA.
bool LoadPictureFile(const std::string& path, PixelImage* image);

// A grey (GL_ALPHA) picture as RGB of the same grey.
bool GreyToRgb(PixelImage* image);

// The one byte per pixel of an alpha picture: GL_ALPHA as it is, RGB and
// RGBA by their first (red) byte. False for other formats.
bool AlphaPlaneOf(const PixelImage& image, bool accept_rgba, std::vector<u8>* plane);

// Every pixel whose alpha is 0 becomes 0 in all four bytes, so that equal
// pictures with different hidden colours are found equal.
void ClearTransparentPixels(PixelImage* rgba);

}  // namespace pirn
