#pragma once
// The one place where the program's strings meet Win32's UTF-16: paths are
// UTF-8 with '/' separators, titles and labels are program text (8-bit,
// through the character map).

#include <string>

namespace pirn {
namespace win32 {

// UTF-8 to UTF-16 and back; malformed input reads as U+FFFD.
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

// A path for Win32 calls: UTF-16 with '\' separators.
std::wstring WidePath(const std::string& path);
// A path from Win32: UTF-8 with '/' separators.
std::string PathFromWide(const std::wstring& path);

// Program text shown by the system (titles, labels, messages).
std::wstring WideText(const std::string& text);

}  // namespace win32
}  // namespace pirn
