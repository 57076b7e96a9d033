#pragma once
// The program's window icon, drawn in code: a weaver's bobbin on a rounded
// square.

#include <vector>

#include "platform/types.h"

namespace pirn {

// size x size RGBA pixels, rows top-down. size is clamped to 16..256.
std::vector<u8> BuildProgramIcon(int size);

}  // namespace pirn
