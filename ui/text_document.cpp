// Text document: lines, wrapping into display rows, caret and selection,
// edits with undo.

#include "ui/text_document.h"

#include <algorithm>
#include <climits>

#include "ui/interface_font.h"
#include "ui/text_box_action.h"
#include "ui/text_layout.h"

namespace pirn {

namespace {

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

}  // namespace

TextDocument::TextDocument() {
    lines_.resize(1);
    LinesChanged(0, 0, 0);
}

TextDocument::~TextDocument() = default;

// ---- wrapping and rows ----

bool TextDocument::WrapLine(Line& line, size_t fromRow) const {
    const int oldOut = line.styleOut;
    if (fromRow >= line.rowStarts.size()) fromRow = 0;
    const size_t resumeAt = fromRow ? size_t(line.rowStarts[fromRow]) : 0;
    int style = fromRow ? line.rowStyles[fromRow] : line.styleIn;
    line.rowStarts.resize(fromRow);
    line.rowStyles.resize(fromRow);
    line.rowEnds.resize(fromRow);
    const i32 size = static_cast<i32>(line.text.size());
    if (!font_) {
        line.rowStarts.push_back(0);
        line.rowStyles.push_back(line.styleIn);
        line.rowEnds.push_back(size);
        line.styleOut = line.styleIn;
        return line.styleOut != oldOut;
    }
    if (!multiLine_) {
        const TextLine tl = BreakLine(*font_, line.text, 0, INT_MAX, 0, line.styleIn);
        line.rowStarts.push_back(0);
        line.rowStyles.push_back(line.styleIn);
        line.rowEnds.push_back(static_cast<i32>(tl.end));
        // The style in force at the end counts every switch, also any behind
        // a carriage return that the single row does not show.
        style = line.styleIn;
        for (size_t i = 0; i < line.text.size();) {
            const int n = ReadStyleSwitch(*font_, line.text, i, &style);
            i += n ? size_t(n) : 1;
        }
        line.styleOut = style;
        return line.styleOut != oldOut;
    }
    const i32 width = wrapWidth_ > 0 ? wrapWidth_ : INT_MAX;
    size_t start = resumeAt;
    for (;;) {
        const TextLine tl = BreakLine(*font_, line.text, kTextWrap, width, start, style);
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

size_t TextDocument::RowOfLastBreak(const Line& line) {
    // A row breaks on what comes after its end only when it ran into the end
    // of the text without passing a space, a tab or a carriage return; rows
    // before the one holding the last of those stay as they are.
    const std::string& t = line.text;
    size_t at = t.find_last_of(" \t\r");
    if (at == std::string::npos) return 0;
    auto it = std::upper_bound(line.rowStarts.begin(), line.rowStarts.end(), static_cast<i32>(at));
    return it == line.rowStarts.begin() ? 0 : size_t(it - line.rowStarts.begin()) - 1;
}

void TextDocument::RenumberRows(i32 fromLine) {
    i32 row = fromLine > 0 ? lines_[size_t(fromLine - 1)].firstRow +
                                 static_cast<i32>(lines_[size_t(fromLine - 1)].rowStarts.size())
                           : 0;
    for (size_t i = size_t(std::max(fromLine, 0)); i < lines_.size(); ++i) {
        lines_[i].firstRow = row;
        row += static_cast<i32>(lines_[i].rowStarts.size());
    }
    rowCount_ = row;
}

void TextDocument::LinesChanged(i32 first, i32 last, size_t firstFromRow) {
    first = std::clamp(first, 0, GetLineCount() - 1);
    last = std::clamp(last, first, GetLineCount() - 1);
    for (i32 i = first; i < GetLineCount(); ++i) {
        Line& line = lines_[size_t(i)];
        const int styleIn = i > 0 ? lines_[size_t(i - 1)].styleOut : 0;
        // Past the edited lines, wrapping again is only needed while the
        // style carried in from above differs from what the line had.
        if (i > last && styleIn == line.styleIn) break;
        const size_t fromRow = (i == first && styleIn == line.styleIn) ? firstFromRow : 0;
        line.styleIn = styleIn;
        WrapLine(line, fromRow);
    }
    RenumberRows(first);
    if (observer_) observer_->TextChanged();
}

void TextDocument::WrapAll() {
    int style = 0;
    for (Line& line : lines_) {
        line.styleIn = style;
        WrapLine(line, 0);
        style = line.styleOut;
    }
}

void TextDocument::SetFont(const InterfaceFont* font) {
    if (font == font_) return;
    font_ = font;
    WrapAll();
    RenumberRows(0);
}

void TextDocument::Relayout(i32 wrapWidth) {
    wrapWidth = std::max(wrapWidth, 1);
    if (multiLine_ && wrapWidth != wrapWidth_) {
        wrapWidth_ = wrapWidth;
        WrapAll();
    }
    RenumberRows(0);
}

i32 TextDocument::LineAtRow(i32 row) const {
    auto it = std::upper_bound(lines_.begin(), lines_.end(), row,
                               [](i32 r, const Line& line) { return r < line.firstRow; });
    if (it == lines_.begin()) return 0;
    return static_cast<i32>(it - lines_.begin()) - 1;
}

i32 TextDocument::RowOfPos(TextPos p) const {
    p = Clamp(p);
    const Line& line = lines_[size_t(p.line)];
    auto it = std::upper_bound(line.rowStarts.begin(), line.rowStarts.end(), p.col);
    const i32 r = std::max(static_cast<i32>(it - line.rowStarts.begin()) - 1, 0);
    return line.firstRow + r;
}

i32 TextDocument::RowWidth(i32 lineIndex, i32 r) const {
    if (!font_) return 0;
    const Line& line = lines_[size_t(lineIndex)];
    const std::string_view text(line.text);
    const i32 start = line.rowStarts[size_t(r)];
    const i32 end = line.rowEnds[size_t(r)];
    return OffsetOfIndex(*font_, text.substr(size_t(start), size_t(end - start)), line.rowStyles[size_t(r)],
                         size_t(end - start));
}

i32 TextDocument::RowWidthAt(i32 row) const {
    row = std::clamp(row, 0, rowCount_ - 1);
    const i32 li = LineAtRow(row);
    const Line& line = lines_[size_t(li)];
    const i32 r = std::clamp(row - line.firstRow, 0, static_cast<i32>(line.rowStarts.size()) - 1);
    return RowWidth(li, r);
}

i32 TextDocument::OffsetInRow(TextPos p) const {
    if (!font_) return 0;
    p = Clamp(p);
    const Line& line = lines_[size_t(p.line)];
    const i32 r = RowOfPos(p) - line.firstRow;
    const i32 start = line.rowStarts[size_t(r)];
    const i32 end = line.rowEnds[size_t(r)];
    const std::string_view text = std::string_view(line.text).substr(size_t(start), size_t(end - start));
    const i32 col = std::clamp(p.col - start, 0, end - start);
    return OffsetOfIndex(*font_, text, line.rowStyles[size_t(r)], size_t(col));
}

TextPos TextDocument::PosInRowAtX(i32 row, i32 x) const {
    row = std::clamp(row, 0, rowCount_ - 1);
    const i32 li = LineAtRow(row);
    const Line& line = lines_[size_t(li)];
    const i32 r = std::clamp(row - line.firstRow, 0, static_cast<i32>(line.rowStarts.size()) - 1);
    const i32 start = line.rowStarts[size_t(r)];
    const i32 end = line.rowEnds[size_t(r)];
    if (!font_) return TextPos{li, start};
    const std::string_view text = std::string_view(line.text).substr(size_t(start), size_t(end - start));
    const size_t index = CharIndexAtX(*font_, text, line.rowStyles[size_t(r)], x);
    return TextPos{li, start + static_cast<i32>(std::min(index, text.size()))};
}

// ---- places ----

TextPos TextDocument::Clamp(TextPos p) const {
    p.line = std::clamp(p.line, 0, GetLineCount() - 1);
    p.col = std::clamp(p.col, 0, static_cast<i32>(lines_[size_t(p.line)].text.size()));
    return p;
}

TextPos TextDocument::EndPos() const {
    return TextPos{GetLineCount() - 1, static_cast<i32>(lines_.back().text.size())};
}

bool TextDocument::PosBefore(TextPos p, TextPos* out) const {
    p = Clamp(p);
    if (p.col > 0) {
        *out = TextPos{p.line, p.col - 1};
        return true;
    }
    if (p.line == 0) return false;
    *out = TextPos{p.line - 1, static_cast<i32>(lines_[size_t(p.line - 1)].text.size())};
    return true;
}

bool TextDocument::PosAfter(TextPos p, TextPos* out) const {
    p = Clamp(p);
    if (p.col < static_cast<i32>(lines_[size_t(p.line)].text.size())) {
        *out = TextPos{p.line, p.col + 1};
        return true;
    }
    if (p.line + 1 >= GetLineCount()) return false;
    *out = TextPos{p.line + 1, 0};
    return true;
}

// ---- caret and selection ----

void TextDocument::SetCaretAndAnchor(TextPos caret, TextPos anchor) {
    caret_ = Clamp(caret);
    anchor_ = Clamp(anchor);
    if (observer_) observer_->CaretMoved();
}

i64 TextDocument::SelectionLength() const {
    const TextPos a = SelectionStart();
    const TextPos b = SelectionEnd();
    if (a.line == b.line) return b.col - a.col;
    i64 n = static_cast<i64>(lines_[size_t(a.line)].text.size()) - a.col + 1;
    for (i32 i = a.line + 1; i < b.line; ++i) n += static_cast<i64>(lines_[size_t(i)].text.size()) + 1;
    return n + b.col;
}

std::string TextDocument::GetSelectedText() const {
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

// ---- the text ----

bool TextDocument::HoldsText(std::string_view text) const {
    if (static_cast<i64>(text.size()) != length_) return false;
    size_t at = 0;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0 && text[at++] != '\n') return false;
        const std::string& line = lines_[i].text;
        if (text.compare(at, line.size(), line) != 0) return false;
        at += line.size();
    }
    return true;
}

void TextDocument::SetText(std::string_view text) {
    const bool differs = !HoldsText(text);
    // A whole tag can be megabytes: the lines are counted first so that
    // the list is made once, and each line is copied, wrapped and numbered
    // in one go while it is in the cache.
    lines_.clear();
    lines_.reserve(size_t(std::count(text.begin(), text.end(), '\n')) + 1);
    size_t start = 0;
    int style = 0;
    i32 row = 0;
    for (;;) {
        const size_t nl = text.find('\n', start);
        const size_t end = nl == std::string_view::npos ? text.size() : nl;
        lines_.emplace_back();
        Line& line = lines_.back();
        line.text.assign(text.data() + start, end - start);
        line.styleIn = style;
        WrapLine(line, 0);
        style = line.styleOut;
        line.firstRow = row;
        row += static_cast<i32>(line.rowStarts.size());
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    rowCount_ = row;
    length_ = static_cast<i64>(text.size());
    caret_ = anchor_ = TextPos{};
    if (observer_) observer_->TextChanged();
    ClearUndoHistory(undo_);
    if (differs) modified_ = true;
}

TextPos TextDocument::Append(std::string_view text) {
    const TextPos end = InsertAt(EndPos(), text);
    SetCaretAndAnchor(end, end);
    return end;
}

i32 TextDocument::GetText(std::string* out) const {
    out->clear();
    out->reserve(size_t(length_));
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i) *out += '\n';
        *out += lines_[i].text;
    }
    return static_cast<i32>(std::min<size_t>(out->size(), INT_MAX));
}

std::string TextDocument::GetText() const {
    std::string s;
    GetText(&s);
    return s;
}

bool TextDocument::TakeModified() {
    const bool was = modified_;
    modified_ = false;
    return was;
}

std::string TextDocument::RemoveRange(TextPos from, TextPos to) {
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
    LinesChanged(from.line, from.line, 0);
    return removed;
}

TextPos TextDocument::InsertAt(TextPos at, std::string_view text) {
    at = Clamp(at);
    if (text.empty()) return at;
    // Text added at the very end leaves the rows before the line's last
    // break opportunity as they are: appending costs what is appended.
    const bool atEnd = at == EndPos();
    const std::vector<std::string_view> pieces = SplitLines(text);
    Line& line = lines_[size_t(at.line)];
    const size_t keepRows = atEnd ? RowOfLastBreak(line) : 0;
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
    LinesChanged(at.line, end.line, keepRows);
    return end;
}

// ---- edits ----

bool TextDocument::Edit(int kind, u8 character, std::string_view text) {
    auto* action = new TextBoxAction(this, kind, character, std::string(text));
    action->caretBefore = caret_;
    action->anchorBefore = anchor_;
    if (undoEnabled_) return PushUndoAction(undo_, action, false);
    const bool ok = action->Apply();
    delete action;
    return ok;
}

bool TextDocument::Undo() { return undoEnabled_ && UndoStep(undo_); }

bool TextDocument::Redo() { return undoEnabled_ && RedoStep(undo_); }

}  // namespace pirn
