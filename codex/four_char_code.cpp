#include "codex/four_char_code.h"

namespace pirn {

void FourCCToChars(u32 code, char text[5]) {
    text[0] = static_cast<char>(code >> 24);
    text[1] = static_cast<char>(code >> 16);
    text[2] = static_cast<char>(code >> 8);
    text[3] = static_cast<char>(code);
    text[4] = '\0';
}

std::string FourCCToText(u32 code) {
    char text[5];
    FourCCToChars(code, text);
    return std::string(text, 4);
}

bool ParseFourCC(const std::string& text, u32* code) {
    if (text.size() != 4) return false;
    *code = (static_cast<u32>(static_cast<u8>(text[0])) << 24) | (static_cast<u32>(static_cast<u8>(text[1])) << 16) |
            (static_cast<u32>(static_cast<u8>(text[2])) << 8) | static_cast<u32>(static_cast<u8>(text[3]));
    return true;
}

}  // namespace pirn
