#pragma once
// Pictures on the X11 CLIPBOARD selection, offered and read as image/png and
// image/bmp. Runs on a display connection of its own so the window
// library's event handling (which answers selection requests with its own
// text) never sees these requests; they are served from a poll hook, so
// other programs can paste while the program runs its frames.

#include "platform/clipboard_image.h"

namespace pirn {
namespace x11_clipboard {

// Takes the CLIPBOARD selection with a copy of the picture.
bool SetImage(const u8* rgb, u32 width, u32 height);
// Reads the picture the selection's owner offers (the program's own without
// a round trip). False when there is none, the owner does not answer in
// time, or the data is damaged.
bool GetImage(ClipboardImage* image);
// Whether the program's picture currently owns the selection.
bool OwnsClipboard();
// The window owning the selection now (0 when none or no display).
unsigned long CurrentOwner();
// Whether the owner answers a TARGETS request in time and lists a text
// type: an owner that never answers must not freeze a paste.
bool OwnerOffersText();
// Serves pending requests (what the poll hook does each frame).
void ServiceRequests();

}  // namespace x11_clipboard
}  // namespace pirn
