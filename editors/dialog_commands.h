#pragma once
// What the dialog editor does to a dialog, apart from its windows: the rows
// of its list, finding and adding controls, moving and resizing them by the
// part under the pointer, reordering, removing, and the prompts for the
// dialog's version, size and position and for a control's data. Every change
// that would leave a field outside what the file can hold is refused.

#include <string>
#include <vector>

#include "editors/dialog_data.h"
#include "platform/types.h"

namespace pirn {

// --- The list --------------------------------------------------------------

// Row data of the list's fixed rows; control rows carry their index.
enum DialogRowData : i32 {
    kDialogRowPlain = -1,
    kDialogRowVersion = -2,
    kDialogRowSize = -3,
    kDialogRowPosition = -4,
};

struct DialogListRow {
    std::string text;
    i32 data = kDialogRowPlain;
};

// "Version: %d", "Size: %dx%d", "Position: (%d, %d)", the help rows, then one
// row per control: "%d | %s | text:\"%s\"" (id, type name, text) or
// "%d | %s" when the text is empty.
std::vector<DialogListRow> DialogListRows(const DialogData& dialog);
std::string DialogControlRowText(const DialogControl& control);

// --- The canvas --------------------------------------------------------------

// What a drag or an arrow key does to the selected control.
enum DialogMode : int { kDialogModeMove = 1, kDialogModeResize = 2 };

// The label drawn in a control: "%d %s" (id, text).
std::string DialogControlLabel(const DialogControl& control);
// The box beside the selected control: "X: %d\nY: %d" (left, top) in move
// mode, "W: %d\nH: %d" in resize mode.
std::string DialogControlInfoText(const DialogControl& control, int mode);

// --- Finding controls and their parts ------------------------------------------

// Whether the point lies in the rectangle (left and top inclusive, right and
// bottom exclusive).
bool DialogRectContains(const DialogRect& rect, i32 x, i32 y);
// The first control in list order whose rectangle holds the point, or -1.
int FindDialogControlAt(const DialogData& dialog, i32 x, i32 y);

// Drag parts: what a press on a control takes hold of.
enum DialogPart : int {
    kDialogPartNone = 0,
    kDialogPartMove = 1,
    kDialogPartLeft = 2,
    kDialogPartRight = 3,
    kDialogPartTop = 4,
    kDialogPartBottom = 5,
    kDialogPartTopLeft = 6,
    kDialogPartBottomRight = 7,
    kDialogPartBottomLeft = 8,
    kDialogPartTopRight = 9,
};

// Pixels inside an edge that still take hold of it.
constexpr i32 kDialogEdgeGrip = 4;

// The edge or corner of the rectangle within kDialogEdgeGrip pixels of the
// point (corners before edges), or kDialogPartNone.
int DialogResizePartAt(const DialogRect& rect, i32 x, i32 y);
// The pointer shape over a part: move 10 (11 while dragging), left and right
// edges 1, top and bottom 2, top-left and bottom-right 3, the other corners 4;
// 0 for none.
int DialogPartCursor(int part, bool dragging);

// The rectangle when the drag began plus the drag distance on the sides the
// part moves. False (out unchanged) when a side would leave the 16-bit range.
bool DragDialogRect(const DialogRect& start, int part, i32 dx, i32 dy, DialogRect* out);
// An arrow key: resize moves the right edge by dx and the bottom edge by dy,
// move shifts the whole rectangle. False when a side would leave the range.
bool NudgeDialogRect(const DialogRect& rect, bool resize, i32 dx, i32 dy, DialogRect* out);

// --- Adding, reordering and removing ---------------------------------------------

// A new control under the point: type 'butt', the next id (one past the
// largest, at least 1), 100 x 50 centred on the point, no text. False when
// the point is outside the dialog rectangle, the ids or the control count
// are used up, or the rectangle would leave the 16-bit range.
bool MakeDialogControlAt(const DialogData& dialog, i32 x, i32 y, DialogControl* control);
// One past the largest id, at least 1; 0 when the largest is 65535.
u32 NextDialogControlId(const DialogData& dialog);
// Swaps the control with its neighbour (-1 the one before, +1 the one
// after). Returns the control's new index; the same index at the ends.
int MoveDialogControl(DialogData& dialog, int index, int direction);
// Removes the control. Returns the index to select next: the same index,
// else the one before; -1 when none is left or the index names no control.
int RemoveDialogControl(DialogData& dialog, int index);

// --- Prompts ------------------------------------------------------------------------

// The prompt texts: "%d,%d" of the position and size, "%d" of the version.
std::string DialogPositionText(const DialogData& dialog);
std::string DialogSizeText(const DialogData& dialog);
std::string DialogVersionText(const DialogData& dialog);
// Answers. Text that does not parse, or values the file cannot hold
// (negative sizes, sides outside the 16-bit range, versions past 65535),
// change nothing and give false.
bool ApplyDialogPositionText(DialogData& dialog, const std::string& text);
bool ApplyDialogSizeText(DialogData& dialog, const std::string& text);
bool ApplyDialogVersionText(DialogData& dialog, const std::string& text);

// The control data prompt ("ID:", "Tag:", "Text: "): the id as its integer
// field reads it, which must lie in 0..65535, a type of one to four
// characters (a shorter one padded with spaces) and the text. False, and the
// control unchanged, when the id or the type is not valid.
bool ApplyControlData(DialogControl& control, i64 id, const std::string& tag_text, const std::string& text);
// The "Tag:" text of a type: its four characters.
std::string ControlTagText(u32 type);

}  // namespace pirn
