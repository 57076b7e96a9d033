#pragma once
// The desktop clipboard: text in the program's 8-bit character set (UTF-8 on
// the desktop, converted through the character map) and 24-bit pictures.

#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

// True when the clipboard held text; it is converted to the 8-bit set, one
// byte per UTF-16 unit.
bool OsGetClipboardText(std::string* text);
// Replaces the clipboard's contents with the text.
bool OsSetClipboardText(const std::string& text);

// True only for a picture the program can read (PNG, or BMP or a Windows
// CF_DIB of 8, 24 or 32 bits, whose header matches its bytes); rgb
// receives width x height x 3 bytes, rows top-down.
bool OsGetClipboardImage(std::vector<u8>* rgb, u32* width, u32* height);
// Offers the picture to other programs as image/png and image/bmp (one
// 24-bit CF_DIB on Windows).
bool OsSetClipboardImage(const u8* rgb, u32 width, u32 height);

}  // namespace pirn
