#pragma once
// The game folder, from the preference ZarnPath ("." until set).

#include <string>

namespace pirn {

// The folder with '/' separators and a final '/'.
std::string GetZarnPath();
void SetZarnPath(const std::string& path);

}  // namespace pirn
