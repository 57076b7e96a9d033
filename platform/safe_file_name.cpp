#include "platform/safe_file_name.h"

#include <cstring>
#include <utility>

namespace pirn {

namespace {

bool IsForbiddenInFileName(unsigned char c) {
    return c < 32 || c == 127 || (c != 0 && std::strchr("\\/|\"<>*?:", c) != nullptr);
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsNoCase(const std::string& text, const char* word) {
    const size_t n = std::strlen(word);
    if (text.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (UpperAscii(text[i]) != word[i]) return false;
    return true;
}

// COM and LPT take a digit, or a superscript 1, 2 or 3 (two bytes in UTF-8).
bool IsNumberedPort(const std::string& stem) {
    if (stem.size() < 4) return false;
    const std::string prefix = stem.substr(0, 3);
    if (!EqualsNoCase(prefix, "COM") && !EqualsNoCase(prefix, "LPT")) return false;
    if (stem.size() == 4) return stem[3] >= '0' && stem[3] <= '9';
    const unsigned char lead = static_cast<unsigned char>(stem[3]);
    const unsigned char next = static_cast<unsigned char>(stem[4]);
    return stem.size() == 5 && lead == 0xC2 && (next == 0xB9 || next == 0xB2 || next == 0xB3);
}

}  // namespace

bool IsWindowsDeviceName(const std::string& name) {
    // Windows looks at the part before the first full stop, without the
    // spaces that end it.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (EqualsNoCase(stem, device)) return true;
    return IsNumberedPort(stem);
}

bool MakeSafeFileName(const std::string& name, std::string* out) {
    std::string safe = name;
    for (char& c : safe)
        if (IsForbiddenInFileName(static_cast<unsigned char>(c))) c = '_';
    while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.pop_back();
    if (safe.empty()) {
        out->clear();
        return false;
    }
    if (IsWindowsDeviceName(safe)) safe.insert(safe.begin(), '_');
    *out = std::move(safe);
    return true;
}

std::string SafeFileName(const std::string& name) {
    std::string safe;
    MakeSafeFileName(name, &safe);
    return safe;
}

}  // namespace pirn
