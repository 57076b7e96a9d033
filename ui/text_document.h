#pragma once
// TextDocument: the text of a text box without the box. The text is a list
// of lines (split at '\n'), each wrapped into display rows by the interface
// font at a width (or kept as one row in a single-line document); the rows
// of a line carry the font's inline style on into the next. The document
// has a caret and a selection (the anchor is the other end), makes the edits
// of the text modes, each one step of an undo history when undo is on, and
// notes whether the text changed since it was last asked.
//
// Appending costs what is appended: only the lines it adds are wrapped, and
// of the line it continues only the rows from its last break opportunity.
// The Log Viewer appends all the time; a text editor holds whole tags.

#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"
#include "ui/row_list.h"
#include "ui/undo_history.h"

namespace pirn {

struct InterfaceFont;

// A place in the text: line index and character index within the line.
struct TextPos {
    i32 line = 0;
    i32 col = 0;
    bool operator==(const TextPos& o) const { return line == o.line && col == o.col; }
    bool operator!=(const TextPos& o) const { return !(*this == o); }
    bool operator<(const TextPos& o) const { return line < o.line || (line == o.line && col < o.col); }
};

// Hears the document change (the box showing it).
class TextDocumentObserver {
public:
    virtual ~TextDocumentObserver() = default;
    // Text was inserted or removed; the rows are wrapped and numbered again.
    virtual void TextChanged() = 0;
    // The caret or the anchor was set (by an edit, an undo or the program).
    virtual void CaretMoved() = 0;
};

class TextDocument {
public:
    // One line and its display rows.
    struct Line {
        std::string text;
        i32 firstRow = 0;             // index of its first display row in the document
        int styleIn = 0;              // inline style in force at the line's start
        int styleOut = 0;             // ... and at its end
        RowList<i32> rowStarts;   // character index where each display row starts
        RowList<int> rowStyles;   // style at each row's start
        RowList<i32> rowEnds;     // end of each row's drawn characters
    };

    // The edits of the text modes (the undoable ones, TextBoxAction kinds).
    enum EditKind : int {
        kTypeChar = 0,
        kInsertText = 1,
        kDeleteBackward = 2,  // the character before the caret
        kDeleteForward = 3,   // the character after the caret
        kDeleteSelection = 4,
    };

    TextDocument();
    ~TextDocument();
    TextDocument(const TextDocument&) = delete;
    TextDocument& operator=(const TextDocument&) = delete;

    void SetObserver(TextDocumentObserver* observer) { observer_ = observer; }

    // ---- layout ----
    // The font rows are measured with (without one every line is one row);
    // a new font wraps every line again.
    void SetFont(const InterfaceFont* font);
    const InterfaceFont* GetFont() const { return font_; }
    // Multi-line documents wrap at the width; single-line ones never wrap.
    void SetMultiLine(bool on) { multiLine_ = on; }
    bool IsMultiLine() const { return multiLine_; }
    // Sets the wrap width (at least 1); a multi-line document whose width
    // changed wraps every line again. The rows are numbered again either way.
    void Relayout(i32 wrapWidth);
    i32 GetWrapWidth() const { return wrapWidth_; }

    // ---- the text ----
    // Replaces everything: caret and anchor at the start, undo history
    // cleared; the text counts as changed when it differs.
    void SetText(std::string_view text);
    // Inserts at the end; caret and anchor go to the new end.
    TextPos Append(std::string_view text);
    // The lines joined with "\n"; returns the character count.
    i32 GetText(std::string* out) const;
    std::string GetText() const;
    // Characters in the text, line breaks counted.
    i64 GetLength() const { return length_; }
    i32 GetLineCount() const { return static_cast<i32>(lines_.size()); }
    const std::string& GetLine(i32 index) const { return lines_[size_t(index)].text; }
    const Line& GetLineLayout(i32 index) const { return lines_[size_t(index)]; }
    // Removes [from, to) and returns what went; inserts and returns the end.
    std::string RemoveRange(TextPos from, TextPos to);
    TextPos InsertAt(TextPos at, std::string_view text);
    // Whether the text changed since the last call (and forgets it).
    bool TakeModified();

    // ---- places ----
    TextPos Clamp(TextPos p) const;
    TextPos EndPos() const;
    // The place one character before / after (across line breaks); false at
    // the start / end of the text.
    bool PosBefore(TextPos p, TextPos* out) const;
    bool PosAfter(TextPos p, TextPos* out) const;

    // ---- caret and selection ----
    TextPos GetCaret() const { return caret_; }
    TextPos GetAnchor() const { return anchor_; }
    // Both clamped into the text; tells the observer.
    void SetCaretAndAnchor(TextPos caret, TextPos anchor);
    bool HasSelection() const { return caret_ != anchor_; }
    TextPos SelectionStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
    TextPos SelectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
    i64 SelectionLength() const;
    std::string GetSelectedText() const;

    // ---- display rows ----
    i32 GetRowCount() const { return rowCount_; }
    i32 GetLineRowCount(i32 line) const { return static_cast<i32>(lines_[size_t(line)].rowStarts.size()); }
    i32 GetLineFirstRow(i32 line) const { return lines_[size_t(line)].firstRow; }
    i32 LineAtRow(i32 row) const;
    i32 RowOfPos(TextPos p) const;
    // Width of a row of a line (row index within the line), and of a
    // display row (clamped into the text).
    i32 RowWidth(i32 line, i32 row) const;
    i32 RowWidthAt(i32 row) const;
    // Pixels from the start of its row to the place.
    i32 OffsetInRow(TextPos p) const;
    // The place nearest x pixels from the start of a display row.
    TextPos PosInRowAtX(i32 row, i32 x) const;

    // ---- edits ----
    void SetUndoEnabled(bool on) { undoEnabled_ = on; }
    bool IsUndoEnabled() const { return undoEnabled_; }
    // One edit at the caret (see EditKind; the text for kInsertText, the
    // character for kTypeChar), a step of the undo history when undo is on.
    // False when nothing changed (nothing to delete).
    bool Edit(int kind, u8 character, std::string_view text);
    bool Undo();
    bool Redo();
    const UndoHistory& GetUndoHistory() const { return undo_; }

private:
    // Wraps a line from one of its rows on (its style-in first when from
    // row 0); returns whether its style-out changed.
    bool WrapLine(Line& line, size_t fromRow) const;
    // After lines [first, last] changed: wrap them (the first from the row
    // given), carry style changes on to the lines below, number the rows
    // from `first` and tell the observer.
    void LinesChanged(i32 first, i32 last, size_t firstFromRow);
    void RenumberRows(i32 fromLine);
    // The first row of a line that text added at its end can change: the
    // one holding its last break opportunity.
    static size_t RowOfLastBreak(const Line& line);
    void WrapAll();
    // Whether the lines joined with '\n' are the text (without joining them).
    bool HoldsText(std::string_view text) const;

    std::vector<Line> lines_;
    i64 length_ = 0;
    i32 rowCount_ = 1;
    TextPos caret_;
    TextPos anchor_;
    const InterfaceFont* font_ = nullptr;
    bool multiLine_ = true;
    i32 wrapWidth_ = 0;
    bool modified_ = false;
    bool undoEnabled_ = false;
    UndoHistory undo_;
    TextDocumentObserver* observer_ = nullptr;
};

}  // namespace pirn
