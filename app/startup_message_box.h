#pragma once
// Messages that end the program before its window system exists: they go
// to standard error and, for a user at a desktop, into an error box.

namespace pirn {

// Set to 1 (tests, scripted runs), no box is shown: standard error only.
constexpr char kNoNativeBoxesVariable[] = "PIRN_NO_NATIVE_BOXES";

// Writes "caption: text" to standard error, then shows the desktop's error
// box unless PIRN_NO_NATIVE_BOXES=1; returns when the user closed it.
void ShowStartupMessageBox(const char* caption, const char* text);

}  // namespace pirn
