#pragma once
// Translation from the window library's key numbers to program key codes,
// and readable names for program key codes.

namespace pirn {

// The program key code for a library key, or kKeyNone (-1) when the key has
// none (keypad equals, Super, Menu, the lock keys, Pause, F16-F25, unknown
// keys).
int OsTranslateKey(int libraryKey);

// A short English name for a program key code ("A", "F1", "Enter",
// "Keypad 7"); "" for codes that name no key.
const char* KeyCodeName(int code);

}  // namespace pirn
