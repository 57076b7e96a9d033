#pragma once
// The terrain view's info text (toggled with ~): the mesh's size, what the
// last visibility pass drew, the toggles and, with the detail map tool,
// the brush.

#include <string>

#include "models/mesh_edit_data.h"

namespace pirn {

const char* HighlightModeName(u32 mode);
std::string MeshInfoText(const MeshEditData& data);

}  // namespace pirn
