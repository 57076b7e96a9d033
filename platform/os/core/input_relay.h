#pragma once
// Backend-independent half of the input relay: the handler slots and the
// rules that turn library events into program events. Both backends feed
// their library events in here, so the headless tests exercise the same
// rules the real window uses.

namespace pirn {
namespace os_relay {

// Empties every handler slot and resets the wheel positions (OsInit).
void ResetInputRelay();

// Library key number and action (release 0, press 1, repeat 2).
void RelayLibraryKey(int libraryKey, int action);
// A typed Unicode code point.
void RelayLibraryChar(unsigned codepoint);
void RelayLibraryButton(int button, int action);
void RelayLibraryCursorPos(double x, double y);
// Scroll offsets: y positive away from the user, x as the library gives it.
void RelayLibraryScroll(double xOffset, double yOffset);
// Returns whether the window may close (no callback, or it agreed).
bool RelayLibraryCloseRequest();
void RelayLibraryRefresh();
void RelayLibraryFramebufferSize(int width, int height);

// Current integer wheel positions (for tests and diagnostics).
int WheelPosition();
int HorizontalWheelPosition();

}  // namespace os_relay
}  // namespace pirn
