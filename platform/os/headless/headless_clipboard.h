#pragma once
// The headless backend's clipboard: an in-memory stand-in for the desktop's,
// holding what another program would see (UTF-8 text, or encoded pictures by
// type), so tests can put foreign data on it and read what the program put.

#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {
namespace headless {

// Empties the clipboard.
void ClearClipboard();
// As another program would: UTF-8 text, or picture bytes of a type such as
// "image/png" (replacing whatever was there).
void SetForeignClipboardText(const std::string& utf8);
void SetForeignClipboardData(const std::string& type, const std::vector<u8>& bytes);
// What another program would paste; empty when absent.
std::string ClipboardUtf8();
std::vector<u8> ClipboardData(const std::string& type);

}  // namespace headless
}  // namespace pirn
