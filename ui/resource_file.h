#pragma once
// Whole-file reads for the program's own resources (font, texture pack).

#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

// Resources are small; anything beyond this is not one of ours.
constexpr u64 kMaxResourceFileSize = u64(256) << 20;

// Reads the whole file ("rb"). False, with the reason in `error`, when it
// cannot be opened or read or is larger than kMaxResourceFileSize.
bool ReadResourceFile(const std::string& path, std::vector<u8>& bytes, std::string* error);

}  // namespace pirn
