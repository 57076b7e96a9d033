// TextBox: the view of a TextDocument; scrolling, keys, mouse, the clipboard,
// focus repair of number fields, caret blinking and drawing.

#include "ui/text_box.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "platform/os/cursor_id.h"
#include "platform/os/key_codes.h"
#include "platform/os/os_beep.h"
#include "platform/os/os_clipboard.h"
#include "platform/os/os_time.h"
#include "ui/frame_timer.h"
#include "ui/skin.h"
#include "ui/text_box_action.h"
#include "ui/text_layout.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr u32 kDisabledTextColor = 0xFF808080u;
constexpr u32 kFieldFrameColor = 0xFFA0A0A0u;

struct KindTraits {
    bool editable;
    bool selectable;
    bool multiLine;
    int inputMode;
    i32 maxLength;
    bool undo;
    bool verticalScrollbar;
};

const KindTraits kKinds[] = {
    {false, false, true, kInputAny, 9999, false, false},          // 0 label
    {false, true, true, kInputAny, 9999, false, true},            // 1 read-only view
    {true, true, false, kInputInteger, 11, false, false},         // 2 integer field
    {true, true, false, kInputReal, 8, false, false},             // 3 real field
    {true, true, false, kInputSingleLineAny, 9999, false, false}, // 4 single-line field
    {true, true, false, kInputText, 255, true, false},            // 5 text field
    {true, true, true, kInputAny, 9999, true, true},              // 6 editor
};

// Clipboard text from other programs may end its lines with CR LF or CR.
std::string NormalizeLineBreaks(const std::string& in) {
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '\r') {
            out += '\n';
            if (i + 1 < in.size() && in[i + 1] == '\n') ++i;
        } else {
            out += in[i];
        }
    }
    return out;
}

}  // namespace

// ---- construction ----

TextBox::TextBox(int kind, Window* parent) : ScrollableWindow(kVisible | kEnabled, parent) {
    doc_.SetObserver(this);
    ApplyKind(kind);
    const i32 lineHeight = GetLineHeight();
    SetSize(kDefaultWidth, lineHeight > 0 ? lineHeight : 1);
    doc_.SetFont(GetFont());
    UpdateScrollRange();
    Invalidate();
}

TextBox::~TextBox() { doc_.SetObserver(nullptr); }

void TextBox::ApplyKind(int kind) {
    if (kind < kLabel || kind > kTextEditor) kind = kLabel;
    const KindTraits& t = kKinds[kind];
    kind_ = kind;
    editable_ = t.editable;
    selectable_ = t.selectable;
    multiLine_ = t.multiLine;
    inputMode_ = t.inputMode;
    maxLength_ = t.maxLength;
    undoEnabled_ = t.undo;
    verticalScrollbar_ = t.verticalScrollbar;
    doc_.SetMultiLine(multiLine_);
    doc_.SetUndoEnabled(undoEnabled_);
    if (editable_ || selectable_) AddFlags(kTakesFocus);
    SetCursor(selectable_ ? kCursorTextBeam : 0, false);
}

TextBox* CreateLabel(Window* parent, const char* text) {
    TextBox* box = new TextBox(TextBox::kLabel, parent);
    box->SetText(text ? text : "");
    box->SetSize(std::max(box->GetTextWidth(text ? text : ""), 1), std::max(box->GetLineHeight(), 1));
    return box;
}

// ---- rows ----

i32 TextBox::WrapWidth() const { return std::max(GetClientWidth(), 1); }

void TextBox::TextChanged() {
    UpdateScrollRange();
    Invalidate();
}

void TextBox::CaretMoved() { CaretChanged(); }

i32 TextBox::VisibleRows() const {
    const i32 lh = GetLineHeight();
    return lh > 0 ? std::max(GetClientHeight() / lh, 1) : 1;
}

void TextBox::UpdateScrollRange() {
    if (!verticalScrollbar_ || inputMode_ != kInputAny) return;
    const i32 lh = GetLineHeight();
    const i32 page = lh > 0 ? std::max((GetClientHeight() - lh / 2) / lh, 0) : 0;
    SetScrollInfo(kSetRangeY | kSetPageY, doc_.GetRowCount(), 0, page, 0, 0, 0);
}

void TextBox::Layout() {
    if (inLayout_) {
        layoutAgain_ = true;
        return;
    }
    inLayout_ = true;
    // A scrollbar that appears or goes changes the client width, which asks
    // for one more round.
    for (int round = 0; round < 4; ++round) {
        layoutAgain_ = false;
        ScrollableWindow::Layout();
        doc_.SetFont(GetFont());
        doc_.Relayout(WrapWidth());
        UpdateScrollRange();
        if (!layoutAgain_) break;
    }
    inLayout_ = false;
}

void TextBox::OnScrollY(i32) { Invalidate(); }

i32 TextBox::GetTopLine() const { return verticalScrollbar_ ? doc_.LineAtRow(GetScrollY()) : 0; }

i32 TextBox::GetTopOffset() const {
    return verticalScrollbar_ ? GetScrollY() - doc_.GetLineFirstRow(GetTopLine()) : 0;
}

i32 TextBox::AlignOffset(i32 rowWidth) const {
    const i32 room = GetClientWidth() - rowWidth;
    if (alignment_ == kAlignCenter) return room / 2;
    if (alignment_ == kAlignRight) return room;
    return 0;
}

i32 TextBox::XOfPos(TextPos p) const {
    if (!doc_.GetFont()) return 0;
    p = doc_.Clamp(p);
    const i32 row = doc_.RowOfPos(p);
    return AlignOffset(doc_.RowWidth(p.line, row - doc_.GetLineFirstRow(p.line))) + doc_.OffsetInRow(p);
}

TextBox::TextPos TextBox::PosAtRowX(i32 row, i32 x) const {
    return doc_.PosInRowAtX(row, x - AlignOffset(doc_.RowWidthAt(row)));
}

i32 TextBox::CaretX() const { return XOfPos(doc_.GetCaret()); }
i32 TextBox::CaretRow() const { return doc_.RowOfPos(doc_.GetCaret()); }

TextBox::TextPos TextBox::PosAtPoint(Point client) const {
    const i32 lh = std::max(GetLineHeight(), 1);
    const i32 top = verticalScrollbar_ ? GetScrollY() : 0;
    const i32 row = top + static_cast<i32>(std::floor(double(client.y) / lh));
    return PosAtRowX(row, client.x + scrollXPixels_);
}

// ---- the text ----

void TextBox::SetText(std::string_view text) {
    goalX_ = 0;
    scrollXPixels_ = 0;
    doc_.SetText(text);
    SetScrollY(0);
    CaretChanged();
    NotifyIfModified();
}

void TextBox::SetTextF(const char* format, ...) {
    char buf[kSetTextFBufferSize];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n < 0) buf[0] = 0;
    SetText(buf);
}

void TextBox::AppendText(std::string_view text) {
    const TextPos end = doc_.Append(text);
    goalX_ = XOfPos(end);
    ScrollCaretIntoView();
    NotifyIfModified();
}

i32 TextBox::GetText(std::string* out) const { return doc_.GetText(out); }

std::string TextBox::GetText() const { return doc_.GetText(); }

std::string TextBox::GetSelectedText() const { return doc_.GetSelectedText(); }

void TextBox::NotifyIfModified() {
    if (doc_.TakeModified()) changed.Emit();
}

// ---- numbers ----

void TextBox::SetInteger(i32 n) { SetTextF("%d", n); }

bool TextBox::GetInteger(i32* out) const {
    if (inputMode_ != kInputInteger) return false;
    return ParseIntegerField(GetText(), out);
}

void TextBox::SetReal(float value) { SetText(FormatRealForField(value, maxLength_)); }

bool TextBox::GetReal(float* out) const {
    if (inputMode_ != kInputReal) return false;
    return ParseRealField(GetText(), out);
}

void TextBox::RepairNumberField() {
    const bool empty = doc_.GetLength() == 0;
    if (inputMode_ == kInputInteger) {
        i32 v = 0;
        if (empty || !GetInteger(&v)) SetTextF("%d", 0);
    } else if (inputMode_ == kInputReal) {
        float v = 0;
        if (empty || !GetReal(&v)) SetReal(0.0f);
    }
}

// ---- settings ----

void TextBox::SetAlignment(int alignment) {
    if (alignment < kAlignLeft || alignment > kAlignRight || alignment == alignment_) return;
    alignment_ = alignment;
    Invalidate();
}

void TextBox::SelectAll() {
    doc_.SetCaretAndAnchor(doc_.EndPos(), TextPos{});
    scrollXPixels_ = 0;
    if (verticalScrollbar_) SetScrollY(0);
}

void TextBox::SetSelection(TextPos anchor, TextPos caret) {
    doc_.SetCaretAndAnchor(caret, anchor);
    goalX_ = XOfPos(doc_.GetCaret());
    ScrollCaretIntoView();
}

// ---- caret ----

void TextBox::CaretChanged() {
    lastCaretTime_ = OsGetTime();
    Invalidate();
}

void TextBox::MoveCaret(TextPos p, bool extend, bool setGoal) {
    p = doc_.Clamp(p);
    doc_.SetCaretAndAnchor(p, extend ? doc_.GetAnchor() : p);
    if (setGoal) goalX_ = XOfPos(p);
    ScrollCaretIntoView();
}

void TextBox::ScrollCaretIntoView() {
    if (verticalScrollbar_ && GetScrollPageY() > 0) {
        const i32 row = doc_.RowOfPos(doc_.GetCaret());
        const i32 top = GetScrollY();
        const i32 page = GetScrollPageY();
        if (row < top) SetScrollY(row);
        else if (row >= top + page) SetScrollY(row - page + 1);
    }
    if (!multiLine_ && alignment_ == kAlignLeft) {
        const i32 x = XOfPos(doc_.GetCaret());
        const i32 width = GetClientWidth();
        const i32 old = scrollXPixels_;
        if (x - scrollXPixels_ > width - 1) scrollXPixels_ = x - width + 1;
        if (x < scrollXPixels_) scrollXPixels_ = x;
        if (scrollXPixels_ < 0) scrollXPixels_ = 0;
        if (old != scrollXPixels_) Invalidate();
    } else {
        scrollXPixels_ = 0;
    }
}

// ---- editing ----

void TextBox::Beep() const { OsBeep(); }

bool TextBox::FilterAccepts(std::string_view text) const {
    return FilterTextInput(inputMode_, text, doc_.GetLength() - doc_.SelectionLength(), maxLength_);
}

bool TextBox::EditText(int actionKind, u8 c, std::string_view text) {
    const bool ok = doc_.Edit(actionKind, c, text);
    if (ok) {
        goalX_ = XOfPos(doc_.GetCaret());
        ScrollCaretIntoView();
    }
    return ok;
}

bool TextBox::TypeChar(u8 c) {
    if (!editable_) return false;
    const char ch = static_cast<char>(c);
    if (!FilterAccepts(std::string_view(&ch, 1))) {
        Beep();
        return false;
    }
    return EditText(TextBoxAction::kTypeChar, c, {});
}

bool TextBox::InsertText(std::string_view text) {
    if (!editable_ || text.empty()) return false;
    if (!FilterAccepts(text)) {
        Beep();
        return false;
    }
    return EditText(TextBoxAction::kInsertText, 0, text);
}

bool TextBox::DeleteSelection() {
    if (!editable_ || !HasSelection()) return false;
    return EditText(TextBoxAction::kDeleteSelection, 0, {});
}

bool TextBox::DeleteBackward() {
    if (!editable_) return false;
    if (HasSelection()) return DeleteSelection();
    return EditText(TextBoxAction::kDeleteBackward, 0, {});
}

bool TextBox::DeleteForward() {
    if (!editable_) return false;
    if (HasSelection()) return DeleteSelection();
    return EditText(TextBoxAction::kDeleteForward, 0, {});
}

void TextBox::Copy() {
    if (HasSelection()) OsSetClipboardText(GetSelectedText());
}

void TextBox::Cut() {
    if (!editable_ || !HasSelection()) return;
    Copy();
    DeleteSelection();
}

void TextBox::Paste() {
    if (!editable_) return;
    std::string text;
    if (!OsGetClipboardText(&text) || text.empty()) return;
    InsertText(NormalizeLineBreaks(text));
}

bool TextBox::Undo() {
    if (!doc_.Undo()) return false;
    goalX_ = XOfPos(doc_.GetCaret());
    ScrollCaretIntoView();
    return true;
}

bool TextBox::Redo() {
    if (!doc_.Redo()) return false;
    goalX_ = XOfPos(doc_.GetCaret());
    ScrollCaretIntoView();
    return true;
}

// ---- keys and characters ----

int TextBox::OnKey(InputEvent& e) {
    if (!IsEnabled()) return 0;
    const i32 code = e.Code();
    const u32 mods = e.KeyModifiers();
    const bool ctrl = (mods & kModControl) != 0;
    const bool shift = (mods & kModShift) != 0;
    const bool singleLineEditable = editable_ && !multiLine_;
    if (!e.IsPress()) {
        if (code == kKeyEnter && singleLineEditable && enterPressed_) {
            enterPressed_ = false;
            commit.Emit(0);
            return 1;
        }
        return 0;
    }
    int handled = 1;
    const TextPos caret = doc_.GetCaret();
    if (ctrl && code == 'A') {
        SelectAll();
    } else if (ctrl && code == 'C') {
        Copy();
    } else if (ctrl && code == 'X') {
        Cut();
    } else if (ctrl && code == 'V') {
        Paste();
    } else if (ctrl && code == 'Z') {
        Undo();
    } else if (ctrl && code == 'Y') {
        Redo();
    } else if (code == kKeyTab) {
        if (editable_) TypeChar('\t');
        else handled = 0;
    } else if (code == kKeyBackspace) {
        DeleteBackward();
    } else if (code == kKeyDelete) {
        DeleteForward();
    } else if (code == kKeyEnter) {
        if (singleLineEditable) {
            enterPressed_ = true;
            commit.Emit(1);
        }
        else if (editable_) TypeChar('\n');
        else handled = 0;
    } else if (code == kKeyHome) {
        MoveCaret(TextPos{caret.line, 0}, shift, true);
    } else if (code == kKeyEnd) {
        MoveCaret(TextPos{caret.line, static_cast<i32>(doc_.GetLine(caret.line).size())}, shift, true);
    } else if (code == kKeyPageUp || code == kKeyPageDown || code == kKeyUp || code == kKeyDown) {
        const bool up = code == kKeyPageUp || code == kKeyUp;
        if (!multiLine_) {
            MoveCaret(up ? TextPos{} : doc_.EndPos(), shift, true);
        } else {
            const bool page = code == kKeyPageUp || code == kKeyPageDown;
            const i32 step = page ? VisibleRows() : 1;
            const i32 row = doc_.RowOfPos(caret);
            const i32 target = std::clamp(row + (up ? -step : step), 0, doc_.GetRowCount() - 1);
            if (page && verticalScrollbar_) ScrollByY(up ? -step : step);
            MoveCaret(PosAtRowX(target, goalX_), shift, false);
        }
    } else if (code == kKeyLeft || code == kKeyRight) {
        TextPos p = caret;
        if (code == kKeyLeft) doc_.PosBefore(caret, &p);
        else doc_.PosAfter(caret, &p);
        MoveCaret(p, shift, true);
    } else {
        handled = 0;
    }
    NotifyIfModified();
    return handled;
}

void TextBox::OnChar(InputEvent& e) {
    if (!IsEnabled() || !e.IsPress()) return;
    const i32 code = e.Code();
    if (code < 0 || code > 255) return;
    TypeChar(static_cast<u8>(code));
    NotifyIfModified();
}

// ---- mouse ----

void TextBox::PlaceSelectionFromPoint(Point screen) {
    Point p = screen;
    ScreenToClientPoints(&p, 1);
    const TextPos pos = PosAtPoint(p);
    if (pos == doc_.GetCaret()) return;
    MoveCaret(pos, true, true);
}

void TextBox::OnMouseButton(InputEvent& e) {
    if (!e.ButtonAction() || e.Button() != 0 || !selectable_ || !IsEnabled()) return;
    Point p{e.X(), e.Y()};
    ScreenToClientPoints(&p, 1);
    const bool extend = (e.MouseModifiers() & kModShift) != 0;
    MoveCaret(PosAtPoint(p), extend, true);
    // Every pointer event goes to this box until the release, also while the
    // pointer is outside it.
    if (StartDrag(this, ForwardMouseDrag)) {
        mouseSelecting_ = true;
        lastAutoScrollTime_ = OsGetTime();
    }
}

void TextBox::OnMouseDrag(Point, Point pos, int phase) {
    if (phase == 2) {
        mouseSelecting_ = false;
        return;
    }
    if (phase == 1 && RectContainsPoint(GetClientScreenRect(), pos)) PlaceSelectionFromPoint(pos);
}

bool TextBox::RectContainsPoint(const Rect& r, Point p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void TextBox::AutoScrollTick() {
    const Point mouse = GetMousePosition();
    const Rect& client = GetClientScreenRect();
    if (RectContainsPoint(client, mouse)) {
        PlaceSelectionFromPoint(mouse);
        return;
    }
    // Outside the box the selection follows (and scrolls) at most 30 times
    // a second, one row at a time.
    const double now = OsGetTime();
    if (now - lastAutoScrollTime_ < kAutoScrollInterval) {
        RequestFrameBy(lastAutoScrollTime_ + kAutoScrollInterval);
        return;
    }
    lastAutoScrollTime_ = now;
    RequestFrameBy(now + kAutoScrollInterval);
    Point p = mouse;
    ScreenToClientPoints(&p, 1);
    const i32 lh = std::max(GetLineHeight(), 1);
    const i32 top = verticalScrollbar_ ? GetScrollY() : 0;
    i32 row;
    if (p.y < 0) row = top - 1;
    else if (p.y >= GetClientHeight()) row = top + VisibleRows();
    else row = top + p.y / lh;
    const TextPos pos = PosAtRowX(row, p.x + scrollXPixels_);
    if (pos != doc_.GetCaret()) MoveCaret(pos, true, true);
}

// ---- focus and flags ----

FocusAnswer TextBox::OnFocusGained(Window*, int reason) {
    if (reason == kFocusByTab && IsEnabled()) SelectAll();
    lastCaretTime_ = OsGetTime();
    Invalidate();
    return kFocusAccept;
}

void TextBox::OnFocusLost(Window*, int reason) {
    enterPressed_ = false;
    if ((reason == kFocusByClick || reason == kFocusByTab) && !multiLine_) {
        RepairNumberField();
        doc_.SetCaretAndAnchor(TextPos{}, TextPos{});
        scrollXPixels_ = 0;
    }
    caretShown_ = false;
    Invalidate();
}

void TextBox::OnFlagsChanged(u32 changedBits) {
    ScrollableWindow::OnFlagsChanged(changedBits);
    if (!(changedBits & kEnabled)) return;
    const bool enabled = IsEnabled();
    SetCursor(enabled && selectable_ ? kCursorTextBeam : 0, true);
    if (enabled && (editable_ || selectable_)) AddFlags(kTakesFocus);
    else RemoveFlags(kTakesFocus);
    Invalidate();
}

// ---- per-frame tick ----

void TextBox::OnIdle() {
    ScrollableWindow::OnIdle();
    if (mouseSelecting_) {
        if (IsDragRunning()) AutoScrollTick();
        else mouseSelecting_ = false;
    }
    bool shown = false;
    if (editable_ && selectable_ && HasFocus()) {
        const double now = OsGetTime();
        const double solidUntil = lastCaretTime_ + kCaretSolidTime;
        shown = now < solidUntil || (static_cast<i64>(std::floor(now * 2.0)) % 2) == 0;
        // The caret next changes when the solid spell ends, then on every
        // half second.
        RequestFrameBy(now < solidUntil ? solidUntil : (std::floor(now * 2.0) + 1.0) / 2.0);
    }
    if (shown != caretShown_) {
        caretShown_ = shown;
        Invalidate();
    }
}

// ---- drawing ----

void TextBox::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        const Rect client = GetClientRect();
        // Every box but a label is a field of its own: white, so that the
        // text reads the same on light and dark window backgrounds.
        if (selectable_) {
            SetDrawColor(kColorWhite);
            FillRectangle(client);
            SetDrawColor(kFieldFrameColor);
            OutlineRectangle(client, 1, false);
        }
        const i32 lh = std::max(GetLineHeight(), 1);
        const InterfaceFont* font = GetFont();
        const bool focused = HasFocus();
        const TextPos selA = SelectionStart();
        const TextPos selB = SelectionEnd();
        const bool selection = HasSelection();
        const i32 top = verticalScrollbar_ ? GetScrollY() : 0;
        i32 li = doc_.LineAtRow(top);
        for (i32 row = top, y = 0; row < doc_.GetRowCount() && y < client.bottom; ++row, y += lh) {
            while (li + 1 < GetLineCount() && doc_.GetLineFirstRow(li + 1) <= row) ++li;
            const TextDocument::Line& line = doc_.GetLineLayout(li);
            const i32 r = row - line.firstRow;
            const i32 start = line.rowStarts[size_t(r)];
            const i32 end = line.rowEnds[size_t(r)];
            const bool lastRow = r + 1 == static_cast<i32>(line.rowStarts.size());
            const std::string rowText = line.text.substr(size_t(start), size_t(end - start));
            const i32 width = doc_.RowWidth(li, r);
            const i32 x0 = AlignOffset(width) - scrollXPixels_;
            if (selection && font) {
                const TextPos rowA{li, start};
                const TextPos rowB{li, end};
                const TextPos a = selA < rowA ? rowA : selA;
                const TextPos b = selB < rowB ? selB : rowB;
                const bool continues = lastRow && selB.line > li && !(selA.line > li);
                if (a < b || (continues && !(rowB < a))) {
                    const i32 ax = x0 + OffsetOfIndex(*font, rowText, line.rowStyles[size_t(r)],
                                                      size_t(std::max(a.col - start, 0)));
                    i32 bx = x0 + OffsetOfIndex(*font, rowText, line.rowStyles[size_t(r)],
                                                size_t(std::clamp(b.col - start, 0, end - start)));
                    if (continues) bx += kSelectionLineEndExtra;
                    if (bx > ax)
                        DrawHighlight(Rect{ax, y, bx, y + lh}, kHighlightFill | (focused ? kHighlightStrong : 0u));
                }
            }
            if (IsEnabled()) SetSkinTextColor(false);
            else SetDrawColor(kDisabledTextColor);
            if (!rowText.empty())
                DrawTextInRect(rowText.c_str(), line.rowStyles[size_t(r)], 0, Rect{x0, y, x0 + width + 1, y + lh});
        }
        if (caretShown_ && editable_ && selectable_ && focused) {
            const i32 y = (doc_.RowOfPos(doc_.GetCaret()) - top) * lh;
            const i32 x = XOfPos(doc_.GetCaret()) - scrollXPixels_;
            if (IsEnabled()) SetSkinTextColor(false);
            else SetDrawColor(kDisabledTextColor);
            FillRectangle(Rect{x, y, x + 1, y + lh});
        }
    }
    EndWindowDraw(this);
}

}  // namespace pirn

