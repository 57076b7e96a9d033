#include "platform/os/win32/wide_text.h"

#include <algorithm>

#include "platform/char_map.h"
#include "platform/windows_files.h"

namespace pirn {
namespace win32 {

// wchar_t is one UTF-16 unit on Windows; the conversions are the character
// map's, shared with the Linux backend.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide strings are UTF-16");

namespace {

std::wstring FromU16(const std::u16string& units) { return std::wstring(units.begin(), units.end()); }
std::u16string ToU16(const std::wstring& wide) { return std::u16string(wide.begin(), wide.end()); }

}  // namespace

std::wstring Utf8ToWide(const std::string& utf8) { return FromU16(Utf8ToUtf16(utf8)); }

std::string WideToUtf8(const std::wstring& wide) { return Utf16ToUtf8(ToU16(wide)); }

// Paths take the file layer's conversion, so a name that is not UTF-8
// names the same file in a dialog as everywhere else.
std::wstring WidePath(const std::string& path) {
    std::wstring wide = pirn::WidePath(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

std::string PathFromWide(const std::wstring& path) {
    std::string utf8 = Utf8FromWide(path.c_str());
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
    return utf8;
}

std::wstring WideText(const std::string& text) { return FromU16(CharMapToUtf16(text)); }

}  // namespace win32
}  // namespace pirn
