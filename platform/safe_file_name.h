#pragma once
// The one rule for every name that becomes a file or folder name (tag
// names, plugin names, exported sounds, models and bitmaps, high-resolution
// sequence folders), so that what is written on one system can be held on
// the other and no name opens a device in place of a file.

#include <string>

namespace pirn {

// Whether Windows takes the name for a device rather than a file: CON, PRN,
// AUX, NUL, COM0-COM9 and LPT0-LPT9 (also with a superscript 1, 2 or 3),
// CONIN$ and CONOUT$, in any case, alone or before an extension ("nul.txt",
// "Con .wav").
bool IsWindowsDeviceName(const std::string& name);

// The safe form of a name:
//   - \ / | " < > * ? : and the control characters become '_';
//   - full stops and spaces at the end go (Windows drops them, so "a." would
//     be the file "a");
//   - a device name gets a '_' in front ("CON" gives "_CON", "nul.txt"
//     gives "_nul.txt").
// Ordinary names come back unchanged. False, with out cleared, when nothing
// is left (as for "", "." and "..").
bool MakeSafeFileName(const std::string& name, std::string* out);

// The same, "" when nothing is left.
std::string SafeFileName(const std::string& name);

}  // namespace pirn
