#pragma once
// The control types a dialog knows: 37 rows of four-character code and name,
// in the order of the editor's Type list.

#include <string>

#include "platform/types.h"

namespace pirn {

struct DialogControlType {
    u32 code;
    const char* name;
};

constexpr u32 kDialogControlTypeCount = 37;

// Row i of the table (null past the end).
const DialogControlType* GetDialogControlType(u32 i);
// Row index of a code, or -1.
int FindDialogControlType(u32 code);
// The row's name, or "Unknown(%.4s)" with the code's characters (up to the
// first NUL among them).
std::string DialogControlTypeName(u32 code);

}  // namespace pirn
