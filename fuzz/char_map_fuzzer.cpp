// The "charmap" file (its first 448 bytes) and the conversions between the program's 8-bit text
// and UTF-16 / UTF-8 (the clipboard and typed characters hand over any
// bytes). A loaded table is used for the conversions of the same input,
// then the built-in one is put back.

#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/char_map.h"

namespace {

void CheckConversions(const std::string& text, bool built_in) {
    const std::u16string wide = pirn::CharMapToUtf16(text);
    FUZZ_CHECK(wide.size() == text.size());
    const std::string back = pirn::Utf16ToCharMap(wide);
    FUZZ_CHECK(back.size() == text.size());
    // The built-in table gives every code its own character.
    if (built_in) FUZZ_CHECK(back == text);

    const std::string utf8 = pirn::CharMapToUtf8(text);
    pirn::Utf8ToCharMap(utf8);
    pirn::Utf16ToUtf8(pirn::Utf8ToUtf16(text));  // the input as (often malformed) UTF-8
    pirn::Utf8ToCharMap(text);
    // Any UTF-16 units, unpaired surrogates included.
    std::u16string units;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(text[i]) |
                                              static_cast<unsigned char>(text[i + 1]) << 8));
    FUZZ_CHECK(pirn::Utf16ToCharMap(units).size() == units.size());
    const std::string from_units = pirn::Utf16ToUtf8(units);
    pirn::Utf8ToUtf16(from_units);

    for (size_t i = 0; i + 3 < text.size() && i < 64; i += 4) {
        const pirn::u32 code = static_cast<unsigned char>(text[i]) | static_cast<unsigned char>(text[i + 1]) << 8 |
                               static_cast<unsigned char>(text[i + 2]) << 16;
        pirn::MapTypedChar(code, (text[i + 3] & 1) != 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pirn::CharMap map;
    const bool parsed = pirn::ParseCharMapFile(data, size, &map);
    FUZZ_CHECK(parsed == (size == pirn::kCharMapFileSize));
    if (parsed) FUZZ_CHECK(pirn::CharMapFileBytes(map) == std::vector<pirn::u8>(data, data + size));

    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckConversions(text, true);
    // A file is read for its first kCharMapFileSize bytes; what follows them
    // is not looked at.
    const bool loaded = pirn::LoadCharMap(pirn_fuzz::WriteScratchFile("charmap", data, size));
    FUZZ_CHECK(loaded == (size >= pirn::kCharMapFileSize));
    if (loaded) {
        pirn::CharMap head;
        FUZZ_CHECK(pirn::ParseCharMapFile(data, pirn::kCharMapFileSize, &head));
        FUZZ_CHECK(pirn::CharMapFileBytes(pirn::ActiveCharMap()) == pirn::CharMapFileBytes(head));
        CheckConversions(text, false);
    }
    pirn::UseBuiltInCharMap();
    return 0;
}
