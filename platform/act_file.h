#pragma once
// Adobe Color Table files (.act): 256 entries of three bytes (red, green,
// blue), then, only when fewer than 256 colours are used, a big-endian u16
// count and a big-endian u16 transparent index (0xFFFF, none). A file of
// exactly 768 bytes holds 256 colours.

#include <string>

#include "platform/types.h"

namespace pirn {

constexpr u32 kActColorCount = 256;
constexpr u32 kActTableSize = kActColorCount * 3;    // 768
constexpr u32 kActFileSizeWithCount = kActTableSize + 4;  // 772
constexpr u16 kActNoTransparentIndex = 0xFFFF;

// Reads the table; entries from the count on are zeroed. 1 when the file
// is 768 bytes, or longer with a count of at most 256 (the count is then
// written to *count when given); 0 for a shorter file, a cut-off count or
// a count above 256, and the table is left as it was.
int ReadActFile(const std::string& path, u8 table[kActTableSize], u32* count);
// Writes count colours of the table, zeros up to offset 768 and, when the
// count is not 256, the count and the transparent index 0xFFFF. 0 for a
// count above 256 (the table has no more) or when the file cannot be
// written; an existing file is replaced only by a complete one.
int WriteActFile(const std::string& path, const u8 table[kActTableSize], u32 count);

}  // namespace pirn
