#pragma once
// Dialog tags ('bina'): a dialog rectangle and its controls, each with a
// four-character control type, an id, a rectangle and a text.
//
// On disk (big-endian): a 12-byte header (u16 version, u16 control count,
// rectangle as i16 top, left, bottom, right), 24-byte control records (u32
// type, 2 reserved bytes, u16 id, 8 reserved bytes, i16 top, left, bottom,
// right), then one NUL-terminated 8-bit text per control in control order.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/records.h"
#include "platform/types.h"

namespace pirn {

struct DialogRect {
    i32 left = 0;
    i32 top = 0;
    i32 right = 0;
    i32 bottom = 0;

    i32 Width() const { return right - left; }
    i32 Height() const { return bottom - top; }
    bool operator==(const DialogRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const DialogRect& o) const { return !(*this == o); }
};

struct DialogControl {
    u32 type = 0;
    u16 id = 0;
    DialogRect rect;
    std::string text;
};

struct DialogData {
    u32 version = 0;
    DialogRect rect;
    std::vector<DialogControl> controls;
};

constexpr u32 kDialogHeaderSize = 12;
constexpr u32 kDialogControlSize = 24;
extern const StructLayout kDialogHeaderLayout[];
extern const StructLayout kDialogControlLayout[];

// Whether the rectangle's sides fit the 16-bit fields of the file.
bool DialogRectFits(const DialogRect& rect);

// Reads a dialog of data_length bytes from the stream's position. Returns
// the bytes read, 0 when the data is too short for its header and records,
// or its text block holds fewer NUL-terminated texts than controls. A
// dialog without controls reads; bytes after the last text are not kept.
u32 ReadDialog(DialogData* dialog, std::FILE* stream, u32 data_length);
// Writes the dialog at the stream's position (the caller puts it where the
// data of the file being written starts). Returns the bytes written, 0 when
// a write fails or a field does not fit the file: a version past 65535, more
// than 65535 controls, a side outside -32768..32767, a text holding a NUL.
u32 WriteDialog(const DialogData& dialog, std::FILE* stream);
// Whether WriteDialog would accept the dialog.
bool DialogFitsFile(const DialogData& dialog);

}  // namespace pirn
