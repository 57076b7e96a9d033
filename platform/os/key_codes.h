#pragma once
// The program's own key numbering and modifier bits. Everything above the
// platform layer speaks these codes, never the window library's.

namespace pirn {

// Key codes are all below 157. Printable keys arrive as their upper-case
// ASCII code (32-96: letters 65-90, digits 48-57, space 32, punctuation as
// typed); the named keys below sit beside and above that range.
enum KeyCode : int {
    kKeyNone = -1,  // the library key has no program code

    kKeySpace = 32,
    kKeyEsc = 97,
    kKeyF1 = 98,    // F1..F15 are 98..112
    kKeyF15 = 112,
    kKeyTab = 113,
    kKeyLeftShift = 115,
    kKeyRightShift = 116,
    kKeyShift = 117,         // either shift, folded by the window system
    kKeyLeftControl = 118,
    kKeyRightControl = 119,
    kKeyControl = 120,       // either control, folded by the window system
    kKeyLeftAlt = 124,
    kKeyRightAlt = 125,
    kKeyAlt = 126,           // either alt, folded by the window system
    kKeyBackspace = 127,
    kKeyEnter = 128,
    kKeyInsert = 129,
    kKeyHome = 130,
    kKeyPageUp = 131,
    kKeyPageDown = 132,
    kKeyEnd = 133,
    kKeyDelete = 134,
    kKeyUp = 135,
    kKeyDown = 136,
    kKeyLeft = 137,
    kKeyRight = 138,
    kKeyPadDivide = 140,
    kKeyPadMultiply = 141,
    kKeyPadSubtract = 142,
    kKeyPadAdd = 143,
    kKeyPadEnter = 144,
    kKeyPadDecimal = 145,
    kKeyPad0 = 146,          // keypad 0..9 are 146..155
    kKeyPad9 = 155,

    kKeyCodeLimit = 157,     // every program code is below this
};

// Modifier bits of the window system's modifier mask. Control sets both 4
// and 8.
enum ModifierBit : unsigned {
    kModShift = 1,
    kModAlt = 2,
    kModControl = 4,
    kModControlAlso = 8,
};

// Actions handed to the key, character and button handlers. A library key
// repeat is handed on as a press.
enum OsAction : int {
    kOsRelease = 0,
    kOsPress = 1,
};

}  // namespace pirn
