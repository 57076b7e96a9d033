#pragma once
// Pictures on the Windows clipboard as CF_DIB, so other programs paste what
// the program copies and the other way round. Text goes through the window
// library.

#include "platform/clipboard_image.h"

namespace pirn {
namespace win32 {

// Empties the clipboard and puts one 24-bit CF_DIB of the picture on it.
bool PutClipboardPicture(const u8* rgb, u32 width, u32 height);
// The clipboard's CF_DIB (the system makes one from other bitmap formats);
// false when there is none or it is damaged.
bool ReadClipboardPicture(ClipboardImage* image);

}  // namespace win32
}  // namespace pirn
