#pragma once
// TextBox: the one text widget of the toolkit. Labels, read-only views,
// number fields, single-line fields and the multi-line editor are all text
// boxes of different kinds. The text, its display rows, the caret, the
// selection and the undo history are a TextDocument; the box shows it,
// scrolls, blinks the caret, cuts, copies and pastes through the clipboard,
// refuses what its input mode does not take (with a beep) and reports
// changes through two signals.
//
// Text set by the program (SetText, AppendText, SetReal...) is never cut to
// the maximum length: that limit is for what the user types and pastes, so
// that a log or a loaded text keeps every character.

#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"
#include "ui/scrollable_window.h"
#include "ui/signal.h"
#include "ui/text_document.h"
#include "ui/text_filter.h"
#include "ui/undo_history.h"
#include "platform/printf_format.h"

namespace pirn {

class TextBox : public ScrollableWindow, private TextDocumentObserver {
public:
    enum Kind : int {
        kLabel = 0,
        kReadOnlyView = 1,   // with a vertical scrollbar
        kIntegerField = 2,
        kRealField = 3,
        kSingleLineField = 4,
        kTextField = 5,
        kTextEditor = 6,     // multi-line, with a vertical scrollbar
    };
    enum Alignment : int { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };

    static constexpr i32 kDefaultWidth = 128;
    static constexpr i32 kSetTextFBufferSize = 1024;
    // The caret stays solid this long after it moved, then blinks.
    static constexpr double kCaretSolidTime = 0.5;
    static constexpr double kAutoScrollInterval = 1.0 / 30.0;
    // A selection that goes on into the next line shows this far past the
    // row's end.
    static constexpr i32 kSelectionLineEndExtra = 8;

    // A place in the text: line index and character index within the line.
    using TextPos = pirn::TextPos;

    TextBox(int kind, Window* parent);
    ~TextBox() override;

    const char* GetClassName() const override { return "TextBox"; }
    void OnIdle() override;
    void Layout() override;
    void DrawContents() override;
    int OnKey(InputEvent& event) override;
    void OnChar(InputEvent& event) override;
    void OnMouseButton(InputEvent& event) override;
    void OnMouseDrag(Point start, Point pos, int phase) override;
    void OnFocusLost(Window* newFocus, int reason) override;
    FocusAnswer OnFocusGained(Window* oldFocus, int reason) override;
    void OnFlagsChanged(u32 changed) override;
    void OnScrollY(i32 y) override;

    // ---- text set by the program (never limited, works when read-only) ----
    // Replaces the whole text; caret to the start, view to the top, undo
    // history cleared; emits `changed` when the text changed.
    void SetText(std::string_view text);
    void SetTextF(const char* format, ...) PIRN_PRINTF_FORMAT(2, 3);
    // Caret to the end and the text inserted there; emits `changed`.
    void AppendText(std::string_view text);
    // The lines joined with "\n"; returns the character count.
    i32 GetText(std::string* out) const;
    std::string GetText() const;
    void SetInteger(i32 n);
    // Integer fields only. "" and "-" give 0; otherwise the whole text must
    // be a 32-bit integer.
    bool GetInteger(i32* out) const;
    void SetReal(float value);
    // Real fields only. "", "-" and "." give 0; otherwise the whole text must
    // be a number.
    bool GetReal(float* out) const;

    void SetMaxLength(i32 n) { maxLength_ = n; }
    i32 GetMaxLength() const { return maxLength_; }
    void SetAlignment(int alignment);
    int GetAlignment() const { return alignment_; }
    void SelectAll();
    bool IsEditable() const { return editable_; }
    bool IsSelectable() const { return selectable_; }
    bool IsMultiLine() const { return multiLine_; }
    int GetKind() const { return kind_; }
    int GetInputMode() const { return inputMode_; }
    bool HasUndo() const { return undoEnabled_; }
    // The text, its rows, the caret and the undo history.
    const TextDocument& GetDocument() const { return doc_; }

    // ---- editing (as the user does it: filtered, undoable) ----
    void Copy();
    void Cut();
    void Paste();
    // Each returns whether the text changed; refused input beeps.
    bool TypeChar(u8 c);
    bool DeleteBackward();
    bool DeleteForward();
    bool DeleteSelection();
    bool InsertText(std::string_view text);
    bool Undo();
    bool Redo();

    // ---- caret and selection ----
    TextPos GetCaret() const { return doc_.GetCaret(); }
    TextPos GetAnchor() const { return doc_.GetAnchor(); }
    bool HasSelection() const { return doc_.HasSelection(); }
    std::string GetSelectedText() const;
    // Both ends clamped into the text.
    void SetSelection(TextPos anchor, TextPos caret);
    bool IsCaretShown() const { return caretShown_; }

    // ---- lines and display rows ----
    i32 GetLineCount() const { return doc_.GetLineCount(); }
    const std::string& GetLine(i32 index) const { return doc_.GetLine(index); }
    i32 GetRowCount() const { return doc_.GetRowCount(); }
    // Display rows of one line.
    i32 GetLineRowCount(i32 line) const { return doc_.GetLineRowCount(line); }
    i32 GetLineFirstRow(i32 line) const { return doc_.GetLineFirstRow(line); }
    // The line at the top of the view and the row within it.
    i32 GetTopLine() const;
    i32 GetTopOffset() const;
    // The caret's place for a point in the client area (client coordinates).
    TextPos PosAtPoint(Point client) const;
    // The caret's x (client coordinates, before scrolling sideways) and its
    // display row.
    i32 CaretX() const;
    i32 CaretRow() const;
    // Characters in the text, line breaks counted.
    i64 GetLength() const { return doc_.GetLength(); }
    const UndoHistory& GetUndoHistory() const { return doc_.GetUndoHistory(); }

    // Shows the box in a popup over the rectangle (screen coordinates; the
    // popup becomes a child of the owner), modally, with all its text selected; Enter or a press
    // outside ends it. There is no cancel: the text as left is the result.
    static void EditInPopup(Window* owner, const Rect& rect, TextBox* box);

    SignalNone changed;  // the text changed
    SignalInt commit;    // Enter in a single-line editable box: 1 on the press, 0 on the release

    TextPos SelectionStart() const { return doc_.SelectionStart(); }
    TextPos SelectionEnd() const { return doc_.SelectionEnd(); }
    // Emits `changed` when the text changed since the last emission.
    void NotifyIfModified();

private:
    // TextDocumentObserver: the rows changed, the caret moved.
    void TextChanged() override;
    void CaretMoved() override;

    void ApplyKind(int kind);
    void UpdateScrollRange();
    i32 WrapWidth() const;
    i32 AlignOffset(i32 rowWidth) const;
    i32 XOfPos(TextPos p) const;
    TextPos PosAtRowX(i32 row, i32 x) const;
    // Moves the caret (extending the selection or not), keeping goal x unless
    // told to set it.
    void MoveCaret(TextPos p, bool extend, bool setGoal);
    void CaretChanged();
    void ScrollCaretIntoView();
    void Beep() const;
    bool FilterAccepts(std::string_view text) const;
    void RepairNumberField();
    void PlaceSelectionFromPoint(Point screen);
    void AutoScrollTick();
    bool EditText(int actionKind, u8 c, std::string_view text);
    i32 VisibleRows() const;
    static bool RectContainsPoint(const Rect& r, Point p);

    int kind_ = 0;
    bool editable_ = false;
    bool selectable_ = false;
    bool multiLine_ = true;
    bool undoEnabled_ = false;
    bool verticalScrollbar_ = false;
    int inputMode_ = kInputAny;
    int alignment_ = kAlignLeft;
    i32 maxLength_ = 9999;
    TextDocument doc_;
    i32 goalX_ = 0;
    i32 scrollXPixels_ = 0;  // single-line boxes slide sideways to keep the caret in view
    bool caretShown_ = false;
    double lastCaretTime_ = 0.0;
    double lastAutoScrollTime_ = 0.0;
    bool mouseSelecting_ = false;
    // Enter went down in this box: only then does its release commit (a
    // release whose press opened the box belongs to someone else).
    bool enterPressed_ = false;
    bool inLayout_ = false;
    bool layoutAgain_ = false;
};

// A label: a kind-0 box as wide as the text and one line high.
TextBox* CreateLabel(Window* parent, const char* text);

}  // namespace pirn
