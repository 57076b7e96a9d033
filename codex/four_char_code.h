#pragma once
// Four-character codes (group codes, tag ids, attachment keys): a u32 whose
// most significant byte is the first character, so 'mesh' is 0x6D657368 and
// the big-endian disk form reads in order. Compared as values, never as text
// (".256" starts with a full stop).

#include <string>

#include "platform/types.h"

namespace pirn {

constexpr u32 MakeFourCC(const char (&text)[5]) {
    return (static_cast<u32>(static_cast<u8>(text[0])) << 24) | (static_cast<u32>(static_cast<u8>(text[1])) << 16) |
           (static_cast<u32>(static_cast<u8>(text[2])) << 8) | static_cast<u32>(static_cast<u8>(text[3]));
}

// The four bytes in reading order, as shown to the user.
std::string FourCCToText(u32 code);
// Writes the four characters and a NUL into text (5 bytes).
void FourCCToChars(u32 code, char text[5]);
// Exactly four characters -> code; anything else fails.
bool ParseFourCC(const std::string& text, u32* code);

}  // namespace pirn
