#pragma once
// The program's 8-bit character set (ASCII for 32..126, the older Mac OS Roman
// above) and its conversions to and from Unicode. The platform speaks Unicode
// only at the clipboard and for typed characters; everything else stays 8-bit.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

// One UTF-16 unit for each program code 32..255 (entry i is code i + 32).
// A unit of 0 marks a code with no character.
struct CharMap {
    static constexpr int kFirstCode = 32;
    static constexpr int kEntryCount = 224;
    u16 units[kEntryCount];
};

// The "charmap" file: 224 little-endian u16 values for codes 32..255.
constexpr std::size_t kCharMapFileSize = CharMap::kEntryCount * 2;

// The table compiled into the program (Mac OS Roman with 0xDB as U+00A4).
const CharMap& BuiltInCharMap();
// The table conversions use: the built-in one until LoadCharMap succeeds.
const CharMap& ActiveCharMap();

// Reads the first kCharMapFileSize bytes of a "charmap" file into the
// active table (bytes after them are ignored). A missing file, or one
// shorter than that, leaves the active table unchanged.
bool LoadCharMap(const std::string& path);
// Decodes the file format; false unless size is exactly kCharMapFileSize.
bool ParseCharMapFile(const u8* bytes, std::size_t size, CharMap* out);
// The file bytes for a table (what the charmap generator writes).
std::vector<u8> CharMapFileBytes(const CharMap& map);
// Makes the built-in table active again. Start-up never needs this; tests
// that load a table do.
void UseBuiltInCharMap();

// One unit per byte: bytes below 32 pass unchanged, others take their table
// entry, and an entry of 0 becomes a space.
std::u16string CharMapToUtf16(const std::string& text);
// One byte per unit: units below 33 pass unchanged, others become the lowest
// code whose entry matches, and a unit with no code becomes min(unit, 255).
std::string Utf16ToCharMap(const std::u16string& wide);

// The same conversions against UTF-8 text (what GLFW and X11 hand over).
// Malformed UTF-8 sequences read as U+FFFD; unpaired surrogates from a
// loaded table are written as U+FFFD.
std::string CharMapToUtf8(const std::string& text);
std::string Utf8ToCharMap(const std::string& utf8);
std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& wide);

// The byte for a typed character. Printable ASCII (32..126) gives itself, or
// its key's Option-layer byte when option is set (the US Mac keyboard's).
// Any other code point is looked up in the active table; 0 means the
// character has no code and the caller must drop it.
u8 MapTypedChar(u32 codePoint, bool option);
// The Option-layer byte of a printable ASCII key (32..126), 0 otherwise.
u8 OptionLayerByte(u32 code);

}  // namespace pirn
