#pragma once
// Our own pointer images for the shapes the window library does not have
// (the diagonal resize arrows, "not allowed" and the program's drag cursors).
// Drawn in code: black shapes with a white outline, 32 x 32 RGBA.

#include <vector>

#include "platform/os/cursor_id.h"
#include "platform/types.h"

namespace pirn {

struct CursorImage {
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    std::vector<u8> rgba;  // width * height * 4, rows top-down
};

// Whether the window library has a standard cursor for this shape (arrow,
// both straight resize arrows, text beam, cross).
bool PointerShapeIsStandard(PointerShape shape);

// The drawn image of a shape. Every shape has one, standard shapes included,
// so a backend can fall back to it when the system lacks a standard cursor.
CursorImage BuildCursorImage(PointerShape shape);

}  // namespace pirn
