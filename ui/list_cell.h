#pragma once
// The typed columns of a list: how a cell reads its field out of the owner's
// record, prints it, compares two records and writes an edited text back.
// Pure functions on memory, so the list widget and its tests share them.

#include <string>

#include "platform/types.h"

namespace pirn {

enum ListColumnType : u32 {
    kColumnNone = 0,       // no cell text, no header title, not clickable
    kColumnFourCC = 1,     // 1, 2 or 4 bytes shown as four characters
    kColumnCharArray = 2,  // fixed character array of the field size
    kColumnStringPtr = 3,  // const char*
    kColumnString = 4,     // std::string
    kColumnInteger = 5,    // 1, 2 or 4 bytes
    kColumnReal = 6,       // float (4) or double (8)
    kColumnFixed = 7,      // 16.16 fixed point in 1, 2 or 4 bytes
};

struct ListColumn {
    enum : u32 {
        kHidden = 2,
        kDescending = 4,
        // Integer and fixed-point fields are signed (the default reads them
        // unsigned, as stored counts and ids are).
        kSigned = 8,
    };
    std::string title;
    std::string format;  // printf format of the cell text; empty: the type's default
    u32 type = kColumnNone;
    u32 fieldSize = 0;
    u32 fieldOffset = 0;
    u32 flags = 0;
    i32 width = 0;
    i32 x = 0;
    u32 textFlags = 0;
    i32 sortPriority = 0;

    bool IsHidden() const { return (flags & kHidden) != 0; }
};

// Most characters a cell text holds (the cell buffer of the list).
constexpr size_t kCellTextLimit = 511;

// The cell text of a record (empty for kColumnNone or a null record). The
// column's format is used only when it takes exactly one value of the
// column's kind; otherwise the type's default format.
std::string FormatCell(const ListColumn& column, const void* record);
// The same into a buffer of at least kCellTextLimit + 1 bytes, without
// allocating; returns the length.
size_t FormatCellInto(const ListColumn& column, const void* record, char* buffer);
// Whether a printf format takes exactly one conversion fitting the column
// type (no '*', no %n, no length modifiers).
bool CellFormatFits(const char* format, u32 type);

// Three-way comparison of the two records' fields: < 0, 0 or > 0.
int CompareCells(const ListColumn& column, const void* a, const void* b);

// Results of writing an edited text back into a field.
enum CellWriteResult : int {
    kCellWritten = 1,
    kCellRefused = 0,  // not a valid value for the field: the record is unchanged
};
// A 64-bit key that orders records as CompareCells does wherever two keys
// differ (descending columns included); equal keys say nothing. Reals give 0.
u64 CellSortKey(const ListColumn& column, const void* record);

// Parses the text for the column's type and writes it into the record:
// a four-character code needs exactly four characters; a character array
// keeps its terminating NUL (at most field size - 1 characters); integers and
// fixed-point values must be whole numbers that fit the field; reals must be
// finite and fit the field. String pointers are never written.
CellWriteResult WriteCell(const ListColumn& column, void* record, const std::string& text);
// Longest text the in-place editor takes for the type (256 for the string
// kinds: a string pointer, edited only through an owner's callback, too).
i32 CellEditLength(const ListColumn& column);

}  // namespace pirn
