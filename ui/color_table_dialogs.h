#pragma once
// Importing and exporting a colour table as an Adobe Color Table file
// (platform/act_file.h) through the native dialogs.

#include <string>

#include "platform/act_file.h"
#include "platform/types.h"

namespace pirn {

// Asks for a file ("Import Color Table", the one filter "Adobe Color Table"
// "*.act", defaultPath with its extension made ".act" as the starting name)
// and reads it. 1 on success; 0 on cancel or when the file cannot be read
// ("The color table could not be opened.").
int ImportColorTable(const std::string& defaultPath, u8 table[kActTableSize], u32* count);
// The same for saving ("Export Color Table"; "The color table could not be
// saved.").
int ExportColorTable(const std::string& defaultPath, const u8 table[kActTableSize], u32 count);

// defaultPath with its extension replaced by ".act" (added when it has none).
std::string ActPathFor(const std::string& defaultPath);

}  // namespace pirn
