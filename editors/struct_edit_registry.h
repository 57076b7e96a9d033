#pragma once
// The `structedit` elements of every kept definition root, in load order:
// the forms the struct editors build. The elements live in the kept roots.

#include <string>

namespace tinyxml2 {
class XMLElement;
}

namespace pirn {

// Empties the list and fills it with every `structedit` child of every
// kept root. Returns how many there are.
size_t CollectStructEdits();
// The first `structedit` whose `struct` attribute equals the name, or null.
const tinyxml2::XMLElement* FindStructEdit(const std::string& struct_name);
size_t GetStructEditCount();
void ClearStructEdits();

}  // namespace pirn
