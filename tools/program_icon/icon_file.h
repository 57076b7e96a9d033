#pragma once
// Windows icon files (.ico): the program's icon as the Windows resource
// compiler takes it, so Explorer and the taskbar show the window's icon.

#include <vector>

#include "platform/types.h"

namespace pirn {

struct IconImage {
    int size = 0;         // width and height, 1..256
    std::vector<u8> rgba;  // size x size, rows top-down
};

// An .ico holding the images in the given order: 256-pixel images as PNG
// (as Windows keeps its large icons), smaller ones as 32-bit BMP with an
// AND mask (which every Windows reads). Empty when an image is not square,
// has the wrong number of bytes, or cannot be encoded.
std::vector<u8> BuildIconFile(const std::vector<IconImage>& images);

}  // namespace pirn
