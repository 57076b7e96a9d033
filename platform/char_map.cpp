#include "platform/char_map.h"

#include <cstdio>

#include "platform/file_ops.h"

namespace pirn {
namespace {

// Codes 0x80..0xFF of Mac OS Roman; 0xDB is the currency sign of the older
// form of the set, not the euro sign of the later one.
constexpr u16 kUpperHalf[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1,  // 0x80
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8,  // 0x88
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,  // 0x90
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC,  // 0x98
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF,  // 0xA0
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,  // 0xA8
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211,  // 0xB0
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8,  // 0xB8
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,  // 0xC0
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153,  // 0xC8
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,  // 0xD0
    0x00FF, 0x0178, 0x2044, 0x00A4, 0x2039, 0x203A, 0xFB01, 0xFB02,  // 0xD8
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,  // 0xE0
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4,  // 0xE8
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,  // 0xF0
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,  // 0xF8
};

// The US Mac keyboard's Option layer for the printable ASCII keys 32..126,
// as Mac OS Roman bytes.
constexpr u8 kOptionLayer[95] = {
    0x20, 0xDA, 0xAE, 0xDC, 0xDD, 0xDE, 0xE0, 0xBE,  // space ! " # $ % & '
    0xE1, 0xE2, 0xA1, 0xB1, 0xB2, 0xD0, 0xB3, 0xD6,  // ( ) * + , - . /
    0xBC, 0xC1, 0xAA, 0xA3, 0xA2, 0xB0, 0xA4, 0xA6,  // 0-7
    0xA5, 0xBB,                                      // 8 9
    0xF2, 0xC9, 0xF8, 0xAD, 0xF9, 0xC0, 0xDB,        // : ; < = > ? @
    0x81, 0xF5, 0x82, 0xEB, 0xAB, 0xEC, 0xFD, 0xEE,  // A-H
    0xF6, 0xEF, 0xF0, 0xF1, 0xE5, 0xF7, 0xAF, 0xB8,  // I-P
    0xCE, 0xE4, 0xEA, 0xFF, 0xAC, 0xD7, 0xE3, 0xFE,  // Q-X
    0xE7, 0xFC,                                      // Y Z
    0xD2, 0xC7, 0xD4, 0xDF, 0xD1, 0x60,              // [ \ ] ^ _ `
    0x8C, 0xBA, 0x8D, 0xB6, 0xAB, 0xC4, 0xA9, 0xFA,  // a-h
    0xF6, 0xC6, 0xFB, 0xC2, 0xB5, 0xF7, 0xBF, 0xB9,  // i-p
    0xCF, 0xA8, 0xA7, 0xA0, 0xAC, 0xC3, 0xB7, 0xC5,  // q-x
    0xB4, 0xBD,                                      // y z
    0xD3, 0xC8, 0xD5, 0x60,                          // { | } ~
};

CharMap MakeBuiltInCharMap() {
    CharMap map{};
    for (int code = 32; code < 128; ++code) map.units[code - 32] = static_cast<u16>(code);
    for (int code = 128; code < 256; ++code) map.units[code - 32] = kUpperHalf[code - 128];
    return map;
}

const CharMap kBuiltIn = MakeBuiltInCharMap();
CharMap g_loaded{};
const CharMap* g_active = &kBuiltIn;

// Lowest code whose entry is unit, or -1.
int FindCode(const CharMap& map, u16 unit) {
    for (int i = 0; i < CharMap::kEntryCount; ++i) {
        if (map.units[i] == unit) return i + CharMap::kFirstCode;
    }
    return -1;
}

void AppendUtf8(std::string& out, u32 cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, u32 cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

constexpr u32 kReplacement = 0xFFFD;

}  // namespace

const CharMap& BuiltInCharMap() { return kBuiltIn; }
const CharMap& ActiveCharMap() { return *g_active; }

bool ParseCharMapFile(const u8* bytes, std::size_t size, CharMap* out) {
    if (bytes == nullptr || out == nullptr || size != kCharMapFileSize) return false;
    for (int i = 0; i < CharMap::kEntryCount; ++i) {
        out->units[i] = static_cast<u16>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return true;
}

std::vector<u8> CharMapFileBytes(const CharMap& map) {
    std::vector<u8> bytes(kCharMapFileSize);
    for (int i = 0; i < CharMap::kEntryCount; ++i) {
        bytes[2 * i] = static_cast<u8>(map.units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<u8>(map.units[i] >> 8);
    }
    return bytes;
}

bool LoadCharMap(const std::string& path) {
    std::FILE* file = OpenFileStream(path, "rb");
    if (file == nullptr) return false;
    // Only the table's bytes are read: whatever a longer file carries after
    // them is not looked at.
    u8 bytes[kCharMapFileSize];
    const std::size_t got = std::fread(bytes, 1, sizeof bytes, file);
    CloseFileStream(file);
    CharMap map{};
    if (!ParseCharMapFile(bytes, got, &map)) return false;
    g_loaded = map;
    g_active = &g_loaded;
    return true;
}

void UseBuiltInCharMap() { g_active = &kBuiltIn; }

std::u16string CharMapToUtf16(const std::string& text) {
    const CharMap& map = ActiveCharMap();
    std::u16string wide;
    wide.reserve(text.size());
    for (unsigned char byte : text) {
        if (byte < CharMap::kFirstCode) {
            wide += static_cast<char16_t>(byte);
        } else {
            const u16 unit = map.units[byte - CharMap::kFirstCode];
            wide += static_cast<char16_t>(unit == 0 ? 0x20 : unit);
        }
    }
    return wide;
}

std::string Utf16ToCharMap(const std::u16string& wide) {
    const CharMap& map = ActiveCharMap();
    std::string text;
    text.reserve(wide.size());
    for (char16_t unit : wide) {
        if (unit < 33) {
            text += static_cast<char>(unit);
            continue;
        }
        const int code = FindCode(map, unit);
        text += static_cast<char>(code >= 0 ? code : (unit > 255 ? 255 : unit));
    }
    return text;
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string wide;
    wide.reserve(utf8.size());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        const u8 lead = static_cast<u8>(utf8[i]);
        int extra = 0;
        u32 cp = 0;
        u32 minimum = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1; cp = lead & 0x1F; minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2; cp = lead & 0x0F; minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3; cp = lead & 0x07; minimum = 0x10000;
        } else {
            AppendUtf16(wide, kReplacement);
            ++i;
            continue;
        }
        std::size_t used = 1;
        bool ok = true;
        for (int k = 0; k < extra; ++k) {
            if (i + used >= n || (static_cast<u8>(utf8[i + used]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (static_cast<u8>(utf8[i + used]) & 0x3F);
            ++used;
        }
        // Overlong forms, surrogates and values past U+10FFFF are not text.
        if (!ok || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
        AppendUtf16(wide, cp);
        i += used;
    }
    return wide;
}

std::string Utf16ToUtf8(const std::u16string& wide) {
    std::string utf8;
    utf8.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        u32 cp = wide[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        AppendUtf8(utf8, cp);
    }
    return utf8;
}

std::string CharMapToUtf8(const std::string& text) { return Utf16ToUtf8(CharMapToUtf16(text)); }
std::string Utf8ToCharMap(const std::string& utf8) { return Utf16ToCharMap(Utf8ToUtf16(utf8)); }

u8 OptionLayerByte(u32 code) {
    if (code < 32 || code > 126) return 0;
    return kOptionLayer[code - 32];
}

u8 MapTypedChar(u32 codePoint, bool option) {
    if (codePoint >= 32 && codePoint <= 126) {
        return option ? kOptionLayer[codePoint - 32] : static_cast<u8>(codePoint);
    }
    // Characters typed on a layout with accents (é on a French keyboard) are
    // in the table; what is not has no code, rather than inserting a NUL or
    // an unrelated character.
    if (codePoint < 33 || codePoint == 127 || codePoint > 0xFFFF) return 0;
    const int code = FindCode(ActiveCharMap(), static_cast<u16>(codePoint));
    return code >= 0 ? static_cast<u8>(code) : 0;
}

}  // namespace pirn
