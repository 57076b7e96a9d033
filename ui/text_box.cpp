// TextBox: line model, wrapping, caret and selection, editing, keys, mouse,
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

// Splits on '\n' only: any other control character stays in its line.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (;;) {
        const size_t nl = text.find('\n', start);
        if (nl == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
}

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
    lines_.resize(1);
    ApplyKind(kind);
    const i32 lineHeight = GetLineHeight();
    SetSize(kDefaultWidth, lineHeight > 0 ? lineHeight : 1);
    LinesChanged(0, 0);
}

TextBox::~TextBox() = default;

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
    if (editable_ || selectable_) AddFlags(kTakesFocus);
    SetCursor(selectable_ ? kCursorTextBeam : 0, false);
}

TextBox* CreateLabel(Window* parent, const char* text) {
    TextBox* box = new TextBox(TextBox::kLabel, parent);
    box->SetText(text ? text : "");
    box->SetSize(std::max(box->GetTextWidth(text ? text : ""), 1), std::max(box->GetLineHeight(), 1));
    return box;
}

// ---- wrapping and rows ----

i32 TextBox::WrapWidth() const { return std::max(GetClientWidth(), 1); }

bool TextBox::WrapLine(Line& line) const {
    const int oldOut = line.styleOut;
    line.rowStarts.clear();
    line.rowStyles.clear();
    line.rowEnds.clear();
    const InterfaceFont* font = GetFont();
    const i32 size = static_cast<i32>(line.text.size());
    if (!font) {
        line.rowStarts.push_back(0);
        line.rowStyles.push_back(line.styleIn);
        line.rowEnds.push_back(size);
        line.styleOut = line.styleIn;
        return line.styleOut != oldOut;
    }
    if (!multiLine_) {
        const TextLine tl = BreakLine(*font, line.text, 0, INT_MAX, 0, line.styleIn);
        line.rowStarts.push_back(0);
        line.rowStyles.push_back(line.styleIn);
        line.rowEnds.push_back(static_cast<i32>(tl.end));
        // The style in force at the end counts every switch, also any behind
        // a carriage return that the single row does not show.
        int style = line.styleIn;
        for (size_t i = 0; i < line.text.size();) {
            const int n = ReadStyleSwitch(*font, line.text, i, &style);
            i += n ? size_t(n) : 1;
        }
        line.styleOut = style;
        return line.styleOut != oldOut;
    }
    const i32 width = wrapWidth_ > 0 ? wrapWidth_ : WrapWidth();
    size_t start = 0;
    int style = line.styleIn;
    for (;;) {
        const TextLine tl = BreakLine(*font, line.text, kTextWrap, width, start, style);
        line.rowStarts.push_back(static_cast<i32>(start));
        line.rowStyles.push_back(style);
        line.rowEnds.push_back(static_cast<i32>(tl.end));
        style = tl.style_out;
        if (!tl.more || tl.next <= start) break;
        start = tl.next;
    }
    line.styleOut = style;
    return line.styleOut != oldOut;
}

void TextBox::RenumberRows(i32 fromLine) {
    i32 row = fromLine > 0 ? lines_[size_t(fromLine - 1)].firstRow +
                                 static_cast<i32>(lines_[size_t(fromLine - 1)].rowStarts.size())
                           : 0;
    for (size_t i = size_t(std::max(fromLine, 0)); i < lines_.size(); ++i) {
        lines_[i].firstRow = row;
        row += static_cast<i32>(lines_[i].rowStarts.size());
    }
    rowCount_ = row;
}

void TextBox::LinesChanged(i32 first, i32 last) {
    first = std::clamp(first, 0, GetLineCount() - 1);
    last = std::clamp(last, first, GetLineCount() - 1);
    for (i32 i = first; i < GetLineCount(); ++i) {
        Line& line = lines_[size_t(i)];
        const int styleIn = i > 0 ? lines_[size_t(i - 1)].styleOut : 0;
        // Past the edited lines, wrapping again is only needed while the
        // style carried in from above differs from what the line had.
        if (i > last && styleIn == line.styleIn) break;
        line.styleIn = styleIn;
        WrapLine(line);
    }
    RenumberRows(first);
    UpdateScrollRange();
    Invalidate();
}

i32 TextBox::VisibleRows() const {
    const i32 lh = GetLineHeight();
    return lh > 0 ? std::max(GetClientHeight() / lh, 1) : 1;
}

void TextBox::UpdateScrollRange() {
    if (!verticalScrollbar_ || inputMode_ != kInputAny) return;
    const i32 lh = GetLineHeight();
    const i32 page = lh > 0 ? std::max((GetClientHeight() - lh / 2) / lh, 0) : 0;
    SetScrollInfo(kSetRangeY | kSetPageY, rowCount_, 0, page, 0, 0, 0);
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
        if (multiLine_ && WrapWidth() != wrapWidth_) {
            wrapWidth_ = WrapWidth();
            int style = 0;
            for (Line& line : lines_) {
                line.styleIn = style;
                WrapLine(line);
                style = line.styleOut;
            }
        }
        RenumberRows(0);
        UpdateScrollRange();
        if (!layoutAgain_) break;
    }
    inLayout_ = false;
}

void TextBox::OnScrollY(i32) { Invalidate(); }

i32 TextBox::LineAtRow(i32 row) const {
    auto it = std::upper_bound(lines_.begin(), lines_.end(), row,
                               [](i32 r, const Line& line) { return r < line.firstRow; });
    if (it == lines_.begin()) return 0;
    return static_cast<i32>(it - lines_.begin()) - 1;
}

i32 TextBox::GetTopLine() const { return verticalScrollbar_ ? LineAtRow(GetScrollY()) : 0; }

i32 TextBox::GetTopOffset() const {
    return verticalScrollbar_ ? GetScrollY() - lines_[size_t(GetTopLine())].firstRow : 0;
}

i32 TextBox::RowOfPos(TextPos p) const {
    p = Clamp(p);
    const Line& line = lines_[size_t(p.line)];
    auto it = std::upper_bound(line.rowStarts.begin(), line.rowStarts.end(), p.col);
    const i32 r = std::max(static_cast<i32>(it - line.rowStarts.begin()) - 1, 0);
    return line.firstRow + r;
}

i32 TextBox::RowWidth(i32 lineIndex, i32 r) const {
    const InterfaceFont* font = GetFont();
    if (!font) return 0;
    const Line& line = lines_[size_t(lineIndex)];
    const std::string_view text(line.text);
    const i32 start = line.rowStarts[size_t(r)];
    const i32 end = line.rowEnds[size_t(r)];
    return OffsetOfIndex(*font, text.substr(size_t(start), size_t(end - start)), line.rowStyles[size_t(r)],
                         size_t(end - start));
}

i32 TextBox::AlignOffset(i32 rowWidth) const {
    const i32 room = GetClientWidth() - rowWidth;
    if (alignment_ == kAlignCenter) return room / 2;
    if (alignment_ == kAlignRight) return room;
    return 0;
}

i32 TextBox::XOfPos(TextPos p) const {
    const InterfaceFont* font = GetFont();
    if (!font) return 0;
    p = Clamp(p);
    const Line& line = lines_[size_t(p.line)];
    const i32 r = RowOfPos(p) - line.firstRow;
    const i32 start = line.rowStarts[size_t(r)];
    const i32 end = line.rowEnds[size_t(r)];
    const std::string_view text = std::string_view(line.text).substr(size_t(start), size_t(end - start));
    const i32 col = std::clamp(p.col - start, 0, end - start);
    return AlignOffset(RowWidth(p.line, r)) + OffsetOfIndex(*font, text, line.rowStyles[size_t(r)], size_t(col));
}

TextBox::TextPos TextBox::PosAtRowX(i32 row, i32 x) const {
    row = std::clamp(row, 0, rowCount_ - 1);
    const i32 li = LineAtRow(row);
    const Line& line = lines_[size_t(li)];
    const i32 r = std::clamp(row - line.firstRow, 0, static_cast<i32>(line.rowStarts.size()) - 1);
    const i32 start = line.rowStarts[size_t(r)];
    const i32 end = line.rowEnds[size_t(r)];
    const InterfaceFont* font = GetFont();
    if (!font) return TextPos{li, start};
    const std::string_view text = std::string_view(line.text).substr(size_t(start), size_t(end - start));
    const size_t index = CharIndexAtX(*font, text, line.rowStyles[size_t(r)], x - AlignOffset(RowWidth(li, r)));
    return TextPos{li, start + static_cast<i32>(std::min(index, text.size()))};
}

i32 TextBox::CaretX() const { return XOfPos(caret_); }
i32 TextBox::CaretRow() const { return RowOfPos(caret_); }

TextBox::TextPos TextBox::PosAtPoint(Point client) const {
    const i32 lh = std::max(GetLineHeight(), 1);
    const i32 top = verticalScrollbar_ ? GetScrollY() : 0;
    const i32 row = top + static_cast<i32>(std::floor(double(client.y) / lh));
    return PosAtRowX(row, client.x + scrollXPixels_);
}

// ---- positions ----

TextBox::TextPos TextBox::Clamp(TextPos p) const {
    p.line = std::clamp(p.line, 0, GetLineCount() - 1);
    p.col = std::clamp(p.col, 0, static_cast<i32>(lines_[size_t(p.line)].text.size()));
    return p;
}

TextBox::TextPos TextBox::EndPos() const {
    return TextPos{GetLineCount() - 1, static_cast<i32>(lines_.back().text.size())};
}

bool TextBox::PosBefore(TextPos p, TextPos* out) const {
    p = Clamp(p);
    if (p.col > 0) {
        *out = TextPos{p.line, p.col - 1};
        return true;
    }
    if (p.line == 0) return false;
    *out = TextPos{p.line - 1, static_cast<i32>(lines_[size_t(p.line - 1)].text.size())};
    return true;
}

bool TextBox::PosAfter(TextPos p, TextPos* out) const {
    p = Clamp(p);
    if (p.col < static_cast<i32>(lines_[size_t(p.line)].text.size())) {
        *out = TextPos{p.line, p.col + 1};
        return true;
    }
    if (p.line + 1 >= GetLineCount()) return false;
    *out = TextPos{p.line + 1, 0};
    return true;
}

i64 TextBox::SelectionLength() const {
    const TextPos a = SelectionStart();
    const TextPos b = SelectionEnd();
    if (a.line == b.line) return b.col - a.col;
    i64 n = static_cast<i64>(lines_[size_t(a.line)].text.size()) - a.col + 1;
    for (i32 i = a.line + 1; i < b.line; ++i) n += static_cast<i64>(lines_[size_t(i)].text.size()) + 1;
    return n + b.col;
}

// ---- the text itself ----

std::string TextBox::RemoveRange(TextPos from, TextPos to) {
    from = Clamp(from);
    to = Clamp(to);
    if (to < from) std::swap(from, to);
    if (from == to) return std::string();
    std::string removed;
    Line& first = lines_[size_t(from.line)];
    if (from.line == to.line) {
        removed = first.text.substr(size_t(from.col), size_t(to.col - from.col));
        first.text.erase(size_t(from.col), size_t(to.col - from.col));
    } else {
        removed = first.text.substr(size_t(from.col));
        for (i32 i = from.line + 1; i < to.line; ++i) {
            removed += '\n';
            removed += lines_[size_t(i)].text;
        }
        removed += '\n';
        const std::string& last = lines_[size_t(to.line)].text;
        removed.append(last, 0, size_t(to.col));
        first.text.erase(size_t(from.col));
        first.text.append(last, size_t(to.col), std::string::npos);
        lines_.erase(lines_.begin() + from.line + 1, lines_.begin() + to.line + 1);
    }
    length_ -= static_cast<i64>(removed.size());
    modified_ = true;
    caret_ = Clamp(caret_);
    anchor_ = Clamp(anchor_);
    LinesChanged(from.line, from.line);
    return removed;
}

TextBox::TextPos TextBox::InsertAt(TextPos at, std::string_view text) {
    at = Clamp(at);
    if (text.empty()) return at;
    const std::vector<std::string_view> pieces = SplitLines(text);
    Line& line = lines_[size_t(at.line)];
    TextPos end;
    if (pieces.size() == 1) {
        line.text.insert(size_t(at.col), text);
        end = TextPos{at.line, at.col + static_cast<i32>(text.size())};
    } else {
        std::string tail = line.text.substr(size_t(at.col));
        line.text.erase(size_t(at.col));
        line.text.append(pieces[0]);
        std::vector<Line> added(pieces.size() - 1);
        for (size_t i = 1; i < pieces.size(); ++i) added[i - 1].text.assign(pieces[i]);
        end = TextPos{at.line + static_cast<i32>(added.size()), static_cast<i32>(added.back().text.size())};
        added.back().text += tail;
        lines_.insert(lines_.begin() + at.line + 1, std::make_move_iterator(added.begin()),
                      std::make_move_iterator(added.end()));
    }
    length_ += static_cast<i64>(text.size());
    modified_ = true;
    LinesChanged(at.line, end.line);
    return end;
}

void TextBox::SetText(std::string_view text) {
    const bool differs = GetText() != text;
    lines_.clear();
    for (std::string_view piece : SplitLines(text)) {
        lines_.emplace_back();
        lines_.back().text.assign(piece);
    }
    length_ = static_cast<i64>(text.size());
    caret_ = anchor_ = TextPos{};
    goalX_ = 0;
    scrollXPixels_ = 0;
    LinesChanged(0, GetLineCount() - 1);
    SetScrollY(0);
    ClearUndoHistory(undo_);
    CaretChanged();
    if (differs) modified_ = true;
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
    const TextPos end = InsertAt(EndPos(), text);
    caret_ = anchor_ = end;
    goalX_ = XOfPos(end);
    CaretChanged();
    ScrollCaretIntoView();
    if (!text.empty()) modified_ = true;
    NotifyIfModified();
}

i32 TextBox::GetText(std::string* out) const {
    out->clear();
    out->reserve(size_t(length_));
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i) *out += '\n';
        *out += lines_[i].text;
    }
    return static_cast<i32>(std::min<size_t>(out->size(), INT_MAX));
}

std::string TextBox::GetText() const {
    std::string s;
    GetText(&s);
    return s;
}

std::string TextBox::GetSelectedText() const {
    const TextPos a = SelectionStart();
    const TextPos b = SelectionEnd();
    if (a == b) return std::string();
    if (a.line == b.line) return lines_[size_t(a.line)].text.substr(size_t(a.col), size_t(b.col - a.col));
    std::string s = lines_[size_t(a.line)].text.substr(size_t(a.col));
    for (i32 i = a.line + 1; i < b.line; ++i) {
        s += '\n';
        s += lines_[size_t(i)].text;
    }
    s += '\n';
    s.append(lines_[size_t(b.line)].text, 0, size_t(b.col));
    return s;
}

void TextBox::NotifyIfModified() {
    if (!modified_) return;
    modified_ = false;
    changed.Emit();
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
    const bool empty = length_ == 0;
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
    anchor_ = TextPos{};
    caret_ = EndPos();
    CaretChanged();
    scrollXPixels_ = 0;
    if (verticalScrollbar_) SetScrollY(0);
}

void TextBox::SetSelection(TextPos anchor, TextPos caret) {
    anchor_ = Clamp(anchor);
    caret_ = Clamp(caret);
    goalX_ = XOfPos(caret_);
    CaretChanged();
    ScrollCaretIntoView();
}

void TextBox::SetCaretAndAnchor(TextPos caret, TextPos anchor) {
    caret_ = Clamp(caret);
    anchor_ = Clamp(anchor);
    CaretChanged();
}

// ---- caret ----

void TextBox::CaretChanged() {
    lastCaretTime_ = OsGetTime();
    Invalidate();
}

void TextBox::MoveCaret(TextPos p, bool extend, bool setGoal) {
    caret_ = Clamp(p);
    if (!extend) anchor_ = caret_;
    if (setGoal) goalX_ = XOfPos(caret_);
    CaretChanged();
    ScrollCaretIntoView();
}

void TextBox::ScrollCaretIntoView() {
    if (verticalScrollbar_ && GetScrollPageY() > 0) {
        const i32 row = RowOfPos(caret_);
        const i32 top = GetScrollY();
        const i32 page = GetScrollPageY();
        if (row < top) SetScrollY(row);
        else if (row >= top + page) SetScrollY(row - page + 1);
    }
    if (!multiLine_ && alignment_ == kAlignLeft) {
        const i32 x = XOfPos(caret_);
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
    return FilterTextInput(inputMode_, text, length_ - SelectionLength(), maxLength_);
}

void TextBox::EditText(int actionKind, u8 c, std::string_view text, bool* changedOut) {
    auto* action = new TextBoxAction(this, actionKind, c, std::string(text));
    action->caretBefore = caret_;
    action->anchorBefore = anchor_;
    bool ok;
    if (undoEnabled_) {
        ok = PushUndoAction(undo_, action, false);
    } else {
        ok = action->Apply();
        delete action;
    }
    if (ok) {
        goalX_ = XOfPos(caret_);
        ScrollCaretIntoView();
    }
    *changedOut = ok;
}

bool TextBox::TypeChar(u8 c) {
    if (!editable_) return false;
    const char ch = static_cast<char>(c);
    if (!FilterAccepts(std::string_view(&ch, 1))) {
        Beep();
        return false;
    }
    bool ok = false;
    EditText(TextBoxAction::kTypeChar, c, {}, &ok);
    return ok;
}

bool TextBox::InsertText(std::string_view text) {
    if (!editable_ || text.empty()) return false;
    if (!FilterAccepts(text)) {
        Beep();
        return false;
    }
    bool ok = false;
    EditText(TextBoxAction::kInsertText, 0, text, &ok);
    return ok;
}

bool TextBox::DeleteSelection() {
    if (!editable_ || !HasSelection()) return false;
    bool ok = false;
    EditText(TextBoxAction::kDeleteSelection, 0, {}, &ok);
    return ok;
}

bool TextBox::DeleteBackward() {
    if (!editable_) return false;
    if (HasSelection()) return DeleteSelection();
    bool ok = false;
    EditText(TextBoxAction::kDeleteBackward, 0, {}, &ok);
    return ok;
}

bool TextBox::DeleteForward() {
    if (!editable_) return false;
    if (HasSelection()) return DeleteSelection();
    bool ok = false;
    EditText(TextBoxAction::kDeleteForward, 0, {}, &ok);
    return ok;
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
    if (!undoEnabled_ || !UndoStep(undo_)) return false;
    goalX_ = XOfPos(caret_);
    ScrollCaretIntoView();
    return true;
}

bool TextBox::Redo() {
    if (!undoEnabled_ || !RedoStep(undo_)) return false;
    goalX_ = XOfPos(caret_);
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
        MoveCaret(TextPos{caret_.line, 0}, shift, true);
    } else if (code == kKeyEnd) {
        MoveCaret(TextPos{caret_.line, static_cast<i32>(lines_[size_t(caret_.line)].text.size())}, shift, true);
    } else if (code == kKeyPageUp || code == kKeyPageDown || code == kKeyUp || code == kKeyDown) {
        const bool up = code == kKeyPageUp || code == kKeyUp;
        if (!multiLine_) {
            MoveCaret(up ? TextPos{} : EndPos(), shift, true);
        } else {
            const bool page = code == kKeyPageUp || code == kKeyPageDown;
            const i32 step = page ? VisibleRows() : 1;
            const i32 row = RowOfPos(caret_);
            const i32 target = std::clamp(row + (up ? -step : step), 0, rowCount_ - 1);
            if (page && verticalScrollbar_) ScrollByY(up ? -step : step);
            MoveCaret(PosAtRowX(target, goalX_), shift, false);
        }
    } else if (code == kKeyLeft || code == kKeyRight) {
        TextPos p = caret_;
        if (code == kKeyLeft) PosBefore(caret_, &p);
        else PosAfter(caret_, &p);
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
    if (pos == caret_) return;
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
    if (now - lastAutoScrollTime_ < kAutoScrollInterval) return;
    lastAutoScrollTime_ = now;
    Point p = mouse;
    ScreenToClientPoints(&p, 1);
    const i32 lh = std::max(GetLineHeight(), 1);
    const i32 top = verticalScrollbar_ ? GetScrollY() : 0;
    i32 row;
    if (p.y < 0) row = top - 1;
    else if (p.y >= GetClientHeight()) row = top + VisibleRows();
    else row = top + p.y / lh;
    const TextPos pos = PosAtRowX(row, p.x + scrollXPixels_);
    if (pos != caret_) MoveCaret(pos, true, true);
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
        caret_ = anchor_ = TextPos{};
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
        shown = now - lastCaretTime_ < kCaretSolidTime || (static_cast<i64>(std::floor(now * 2.0)) % 2) == 0;
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
        i32 li = LineAtRow(top);
        for (i32 row = top, y = 0; row < rowCount_ && y < client.bottom; ++row, y += lh) {
            while (li + 1 < GetLineCount() && lines_[size_t(li + 1)].firstRow <= row) ++li;
            const Line& line = lines_[size_t(li)];
            const i32 r = row - line.firstRow;
            const i32 start = line.rowStarts[size_t(r)];
            const i32 end = line.rowEnds[size_t(r)];
            const bool lastRow = r + 1 == static_cast<i32>(line.rowStarts.size());
            const std::string rowText = line.text.substr(size_t(start), size_t(end - start));
            const i32 width = RowWidth(li, r);
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
            const i32 y = (RowOfPos(caret_) - top) * lh;
            const i32 x = XOfPos(caret_) - scrollXPixels_;
            if (IsEnabled()) SetSkinTextColor(false);
            else SetDrawColor(kDisabledTextColor);
            FillRectangle(Rect{x, y, x + 1, y + lh});
        }
    }
    EndWindowDraw(this);
}

}  // namespace pirn
