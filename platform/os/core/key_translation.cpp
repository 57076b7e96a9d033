#include "platform/os/key_translation.h"

#include "platform/os/key_codes.h"
#include "platform/os/library_keys.h"

namespace pirn {
namespace {

struct NamedKey {
    int libraryKey;
    int code;
};

// The library numbers its special keys differently from the program (and
// from older library versions), so they are mapped one by one by name rather
// than by offset arithmetic.
constexpr NamedKey kNamedKeys[] = {
    {library_key::kEscape, kKeyEsc},
    {library_key::kUp, kKeyUp},
    {library_key::kDown, kKeyDown},
    {library_key::kLeft, kKeyLeft},
    {library_key::kRight, kKeyRight},
    {library_key::kLeftShift, kKeyLeftShift},
    {library_key::kRightShift, kKeyRightShift},
    {library_key::kLeftControl, kKeyLeftControl},
    {library_key::kRightControl, kKeyRightControl},
    {library_key::kLeftAlt, kKeyLeftAlt},
    {library_key::kRightAlt, kKeyRightAlt},
    {library_key::kTab, kKeyTab},
    {library_key::kEnter, kKeyEnter},
    {library_key::kBackspace, kKeyBackspace},
    {library_key::kInsert, kKeyInsert},
    {library_key::kDelete, kKeyDelete},
    {library_key::kPageUp, kKeyPageUp},
    {library_key::kPageDown, kKeyPageDown},
    {library_key::kHome, kKeyHome},
    {library_key::kEnd, kKeyEnd},
    {library_key::kKpDivide, kKeyPadDivide},
    {library_key::kKpMultiply, kKeyPadMultiply},
    {library_key::kKpSubtract, kKeyPadSubtract},
    {library_key::kKpAdd, kKeyPadAdd},
    {library_key::kKpDecimal, kKeyPadDecimal},
    {library_key::kKpEnter, kKeyPadEnter},
};

}  // namespace

int OsTranslateKey(int libraryKey) {
    // Printable keys are their upper-case ASCII code. The library never sends
    // 123-128; passing them through would collide with Alt, Backspace and
    // Enter, so they have no code.
    if (libraryKey >= 32 && libraryKey <= 96) return libraryKey;
    if (libraryKey >= 'a' && libraryKey <= 'z') return libraryKey - 'a' + 'A';
    if (libraryKey >= library_key::kF1 && libraryKey <= library_key::kF15)
        return kKeyF1 + (libraryKey - library_key::kF1);
    if (libraryKey >= library_key::kKp0 && libraryKey <= library_key::kKp9)
        return kKeyPad0 + (libraryKey - library_key::kKp0);
    for (const NamedKey& key : kNamedKeys) {
        if (key.libraryKey == libraryKey) return key.code;
    }
    return kKeyNone;
}

const char* KeyCodeName(int code) {
    static const char* const kFunctionNames[] = {"F1", "F2",  "F3",  "F4",  "F5",
                                                 "F6", "F7",  "F8",  "F9",  "F10",
                                                 "F11", "F12", "F13", "F14", "F15"};
    static const char* const kPadDigitNames[] = {"Keypad 0", "Keypad 1", "Keypad 2", "Keypad 3",
                                                 "Keypad 4", "Keypad 5", "Keypad 6", "Keypad 7",
                                                 "Keypad 8", "Keypad 9"};
    // Each printable code's one-character name, NUL-ended, two bytes apart.
    static const char kPrintableNames[] =
        " \0!\0\"\0#\0$\0%\0&\0'\0(\0)\0*\0+\0,\0-\0.\0/\0"
        "0\0001\0002\0003\0004\0005\0006\0007\0008\0009\0:\0;\0<\0=\0>\0?\0"
        "@\0A\0B\0C\0D\0E\0F\0G\0H\0I\0J\0K\0L\0M\0N\0O\0"
        "P\0Q\0R\0S\0T\0U\0V\0W\0X\0Y\0Z\0[\0\\\0]\0^\0_\0`";

    if (code >= kKeyF1 && code <= kKeyF15) return kFunctionNames[code - kKeyF1];
    if (code >= kKeyPad0 && code <= kKeyPad9) return kPadDigitNames[code - kKeyPad0];
    switch (code) {
        case kKeySpace: return "Space";
        case kKeyEsc: return "Esc";
        case kKeyTab: return "Tab";
        case kKeyLeftShift: return "Left Shift";
        case kKeyRightShift: return "Right Shift";
        case kKeyShift: return "Shift";
        case kKeyLeftControl: return "Left Ctrl";
        case kKeyRightControl: return "Right Ctrl";
        case kKeyControl: return "Ctrl";
        case kKeyLeftAlt: return "Left Alt";
        case kKeyRightAlt: return "Right Alt";
        case kKeyAlt: return "Alt";
        case kKeyBackspace: return "Backspace";
        case kKeyEnter: return "Enter";
        case kKeyInsert: return "Insert";
        case kKeyHome: return "Home";
        case kKeyPageUp: return "Page Up";
        case kKeyPageDown: return "Page Down";
        case kKeyEnd: return "End";
        case kKeyDelete: return "Delete";
        case kKeyUp: return "Up";
        case kKeyDown: return "Down";
        case kKeyLeft: return "Left";
        case kKeyRight: return "Right";
        case kKeyPadDivide: return "Keypad /";
        case kKeyPadMultiply: return "Keypad *";
        case kKeyPadSubtract: return "Keypad -";
        case kKeyPadAdd: return "Keypad +";
        case kKeyPadEnter: return "Keypad Enter";
        case kKeyPadDecimal: return "Keypad .";
        default: break;
    }
    if (code > kKeySpace && code < kKeyEsc) return kPrintableNames + 2 * (code - kKeySpace);
    return "";
}

}  // namespace pirn
