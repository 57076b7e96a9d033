#pragma once
// One high-resolution picture of a frame, as RGBA: a picture with its own
// alpha, or a colour picture with an alpha file beside it
// ("walk01.png" with "walk01.alpha.png").

#include <string>
#include <vector>

#include "platform/pixel_image.h"

namespace pirn {

// The alpha files tried for a colour file, in order: ".alpha" before its
// extension, then "alpha." after each '.' of its file name from the left
// (without repeats).
std::vector<std::string> HighResAlphaCandidates(const std::string& path);

// Loads the picture as RGBA, its alpha inverted when asked. Paletted
// pictures are read as RGB; grey pictures, and alpha files of another size
// than their colour picture, are refused with a line in `problem`. False
// when no RGBA picture could be made.
bool LoadHighResImage(const std::string& path, bool invert_alphas, PixelImage* rgba, std::string* problem);

}  // namespace pirn
