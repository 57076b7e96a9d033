#include "editors/dialog_commands.h"

#include <utility>

#include "codex/four_char_code.h"
#include "editors/dialog_control_types.h"
#include "editors/xml_attribute.h"
#include "platform/strings.h"

namespace pirn {

namespace {

constexpr i32 kNewControlWidth = 100;
constexpr i32 kNewControlHeight = 50;

const char* const kHelpRows[] = {
    "--",
    "Controls..................",
    "Ctrl+A to add under mouse",
    "Delete to remove",
    "Ctrl+Drag/Arrow to move",
    "Shift+Drag/Arrow to resize",
    "Ctrl+[+/-] to reorder",
    "--",
};

bool Fits16(i64 v) { return v >= -32768 && v <= 32767; }

// Sides computed in 64 bits, then checked: a drag far past the range is
// refused instead of wrapping.
bool MakeRect(i64 left, i64 top, i64 right, i64 bottom, DialogRect* out) {
    if (!Fits16(left) || !Fits16(top) || !Fits16(right) || !Fits16(bottom)) return false;
    *out = DialogRect{static_cast<i32>(left), static_cast<i32>(top), static_cast<i32>(right), static_cast<i32>(bottom)};
    return true;
}

// "a,b" with optional spaces around each number.
bool ParsePair(const std::string& text, i64* a, i64* b) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    constexpr i64 kLimit = i64{1} << 40;
    return ParseDecimalInteger(text.substr(0, comma).c_str(), -kLimit, kLimit, a) &&
           ParseDecimalInteger(text.substr(comma + 1).c_str(), -kLimit, kLimit, b);
}

}  // namespace

std::string DialogControlRowText(const DialogControl& control) {
    const std::string type = DialogControlTypeName(control.type);
    if (control.text.empty()) return FormatString("%d | %s", control.id, type.c_str());
    return FormatString("%d | %s | text:\"%s\"", control.id, type.c_str(), control.text.c_str());
}

std::vector<DialogListRow> DialogListRows(const DialogData& dialog) {
    std::vector<DialogListRow> rows;
    rows.push_back({FormatString("Version: %d", static_cast<int>(dialog.version)), kDialogRowVersion});
    rows.push_back({FormatString("Size: %dx%d", dialog.rect.Width(), dialog.rect.Height()), kDialogRowSize});
    rows.push_back({FormatString("Position: (%d, %d)", dialog.rect.left, dialog.rect.top), kDialogRowPosition});
    for (const char* help : kHelpRows) rows.push_back({help, kDialogRowPlain});
    for (size_t i = 0; i < dialog.controls.size(); ++i)
        rows.push_back({DialogControlRowText(dialog.controls[i]), static_cast<i32>(i)});
    return rows;
}

std::string DialogControlLabel(const DialogControl& control) {
    return FormatString("%d %s", control.id, control.text.c_str());
}

std::string DialogControlInfoText(const DialogControl& control, int mode) {
    const DialogRect& r = control.rect;
    if (mode == kDialogModeResize) return FormatString("W: %d\nH: %d", r.Width(), r.Height());
    return FormatString("X: %d\nY: %d", r.left, r.top);
}

bool DialogRectContains(const DialogRect& r, i32 x, i32 y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

int FindDialogControlAt(const DialogData& dialog, i32 x, i32 y) {
    for (size_t i = 0; i < dialog.controls.size(); ++i)
        if (DialogRectContains(dialog.controls[i].rect, x, y)) return static_cast<int>(i);
    return -1;
}

int DialogResizePartAt(const DialogRect& r, i32 x, i32 y) {
    if (!DialogRectContains(r, x, y)) return kDialogPartNone;
    const bool left = x < i64{r.left} + kDialogEdgeGrip;
    const bool right = x >= i64{r.right} - kDialogEdgeGrip;
    const bool top = y < i64{r.top} + kDialogEdgeGrip;
    const bool bottom = y >= i64{r.bottom} - kDialogEdgeGrip;
    if (left && top) return kDialogPartTopLeft;
    if (right && bottom) return kDialogPartBottomRight;
    if (left && bottom) return kDialogPartBottomLeft;
    if (right && top) return kDialogPartTopRight;
    if (left) return kDialogPartLeft;
    if (right) return kDialogPartRight;
    if (top) return kDialogPartTop;
    if (bottom) return kDialogPartBottom;
    return kDialogPartNone;
}

int DialogPartCursor(int part, bool dragging) {
    switch (part) {
        case kDialogPartMove:
            return dragging ? 11 : 10;
        case kDialogPartLeft:
        case kDialogPartRight:
            return 1;
        case kDialogPartTop:
        case kDialogPartBottom:
            return 2;
        case kDialogPartTopLeft:
        case kDialogPartBottomRight:
            return 3;
        case kDialogPartBottomLeft:
        case kDialogPartTopRight:
            return 4;
        default:
            return 0;
    }
}

bool DragDialogRect(const DialogRect& s, int part, i32 dx, i32 dy, DialogRect* out) {
    i64 left = s.left, top = s.top, right = s.right, bottom = s.bottom;
    const bool moves_left = part == kDialogPartMove || part == kDialogPartLeft || part == kDialogPartTopLeft ||
                            part == kDialogPartBottomLeft;
    const bool moves_right = part == kDialogPartMove || part == kDialogPartRight || part == kDialogPartBottomRight ||
                             part == kDialogPartTopRight;
    const bool moves_top = part == kDialogPartMove || part == kDialogPartTop || part == kDialogPartTopLeft ||
                           part == kDialogPartTopRight;
    const bool moves_bottom = part == kDialogPartMove || part == kDialogPartBottom ||
                              part == kDialogPartBottomRight || part == kDialogPartBottomLeft;
    if (moves_left) left += dx;
    if (moves_right) right += dx;
    if (moves_top) top += dy;
    if (moves_bottom) bottom += dy;
    return MakeRect(left, top, right, bottom, out);
}

bool NudgeDialogRect(const DialogRect& r, bool resize, i32 dx, i32 dy, DialogRect* out) {
    if (resize) return MakeRect(r.left, r.top, i64{r.right} + dx, i64{r.bottom} + dy, out);
    return MakeRect(i64{r.left} + dx, i64{r.top} + dy, i64{r.right} + dx, i64{r.bottom} + dy, out);
}

u32 NextDialogControlId(const DialogData& dialog) {
    u32 largest = 0;
    for (const DialogControl& c : dialog.controls)
        if (c.id > largest) largest = c.id;
    return largest >= 0xFFFF ? 0 : largest + 1;
}

bool MakeDialogControlAt(const DialogData& dialog, i32 x, i32 y, DialogControl* control) {
    if (!DialogRectContains(dialog.rect, x, y) || dialog.controls.size() >= 0xFFFF) return false;
    const u32 id = NextDialogControlId(dialog);
    DialogRect rect;
    const i64 left = i64{x} - kNewControlWidth / 2;
    const i64 top = i64{y} - kNewControlHeight / 2;
    if (id == 0 || !MakeRect(left, top, left + kNewControlWidth, top + kNewControlHeight, &rect)) return false;
    *control = DialogControl{MakeFourCC("butt"), static_cast<u16>(id), rect, std::string()};
    return true;
}

int MoveDialogControl(DialogData& dialog, int index, int direction) {
    const int count = static_cast<int>(dialog.controls.size());
    const int other = index + (direction < 0 ? -1 : 1);
    if (index < 0 || index >= count || other < 0 || other >= count) return index;
    std::swap(dialog.controls[index], dialog.controls[other]);
    return other;
}

int RemoveDialogControl(DialogData& dialog, int index) {
    const int count = static_cast<int>(dialog.controls.size());
    if (index < 0 || index >= count) return -1;
    dialog.controls.erase(dialog.controls.begin() + index);
    return index < count - 1 ? index : index - 1;
}

std::string DialogPositionText(const DialogData& dialog) {
    return FormatString("%d,%d", dialog.rect.left, dialog.rect.top);
}

std::string DialogSizeText(const DialogData& dialog) {
    return FormatString("%d,%d", dialog.rect.Width(), dialog.rect.Height());
}

std::string DialogVersionText(const DialogData& dialog) {
    return FormatString("%d", static_cast<int>(dialog.version));
}

bool ApplyDialogPositionText(DialogData& dialog, const std::string& text) {
    i64 x, y;
    if (!ParsePair(text, &x, &y)) return false;
    return MakeRect(x, y, x + dialog.rect.Width(), y + dialog.rect.Height(), &dialog.rect);
}

bool ApplyDialogSizeText(DialogData& dialog, const std::string& text) {
    i64 w, h;
    if (!ParsePair(text, &w, &h) || w < 0 || h < 0) return false;
    return MakeRect(dialog.rect.left, dialog.rect.top, dialog.rect.left + w, dialog.rect.top + h, &dialog.rect);
}

bool ApplyDialogVersionText(DialogData& dialog, const std::string& text) {
    i64 version;
    if (!ParseDecimalInteger(text.c_str(), 0, 0xFFFF, &version)) return false;
    dialog.version = static_cast<u32>(version);
    return true;
}

bool ApplyControlData(DialogControl& control, i64 id, const std::string& tag_text, const std::string& text) {
    if (id < 0 || id > 0xFFFF) return false;
    if (tag_text.empty() || tag_text.size() > 4) return false;
    std::string padded = tag_text;
    padded.resize(4, ' ');
    u32 type = 0;
    ParseFourCC(padded, &type);
    control.id = static_cast<u16>(id);
    control.type = type;
    control.text = text;
    return true;
}

std::string ControlTagText(u32 type) { return FourCCToText(type); }

}  // namespace pirn
