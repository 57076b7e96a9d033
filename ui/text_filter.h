#pragma once
// What a text box accepts and how its numbers are written and read. Kept
// apart from the widget so that the rules can be checked on their own.

#include <string>
#include <string_view>

#include "platform/types.h"

namespace pirn {

// Input modes of a text box.
enum TextInputMode : int {
    kInputInteger = 0,
    kInputReal = 1,
    kInputText = 2,
    kInputAny = 3,            // multi-line, accepts everything
    kInputSingleLineAny = 4,
};

// Whether `text` may be inserted into a box of that mode which holds
// `lengthAfterRemoval` characters once the selection it replaces is gone.
// Line breaks and tabs are refused outside mode 3; an integer box takes
// digits and a '-' that starts the inserted text; a real box digits, '-' and
// '.'; the length may not pass `maxLength`. Mode 3 takes everything. Does not
// beep: the caller does.
bool FilterTextInput(int mode, std::string_view text, i64 lengthAfterRemoval, i64 maxLength);

// The text a real field of `maxLength` characters shows for v: as many
// decimals as fit beside the integer part and two more characters, trailing
// zeros after the decimal point dropped down to one ("2.5", "3.0"). Written
// in the C locale whatever the process locale is. "invalid ???" when the
// integer part does not fit; infinities and NaN as "inf", "-inf" and "nan"
// when they fit.
std::string FormatRealForField(float v, i32 maxLength);

// The texts a number field of that mode reads as 0 though they hold no
// digit: "" and "-", and in a real field also ".". A field being cleared or
// begun with a sign holds 0, not its old number.
bool ReadsAsZeroInNumberField(int mode, std::string_view text);

// Base-10 integer of the whole text, within the 32-bit range; "" and "-"
// read as 0. False for anything else (letters, overflow).
bool ParseIntegerField(std::string_view text, i32* out);
// A number of the whole text (C locale); "", "-" and "." read as 0. False
// for anything else and for values beyond the float range.
bool ParseRealField(std::string_view text, float* out);

}  // namespace pirn
