// Text boxes: the input filter, number formats, typing through the window
// system, selection, clipboard, undo, focus repair of number fields,
// wrapping with inline styles, signals and in-place editing.

#include "ui/text_box.h"

#include <string>
#include <vector>

#include "platform/os/headless/headless_clipboard.h"
#include "tests/ui/widget_fixture.h"
#include "ui/text_filter.h"
#include "ui/text_popup.h"

namespace pirn_test {
namespace {

// ---- pure rules ----

TEST(TextFilterTest, AcceptsByModeAndLength) {
    struct Case {
        int mode;
        const char* text;
        i64 length;
        i64 max;
        bool ok;
    };
    const Case cases[] = {
        {kInputInteger, "123", 0, 11, true},
        {kInputInteger, "-12", 0, 11, true},   // '-' first in the inserted text
        {kInputInteger, "1-2", 0, 11, false},  // pasted with '-' inside
        {kInputInteger, "-", 5, 11, true},     // a typed '-' is an insertion of its own
        {kInputInteger, "a", 0, 11, false},
        {kInputInteger, "5", 11, 11, false},   // the 12th character
        {kInputReal, "1.2.3", 0, 8, true},     // several points pass
        {kInputReal, "-.5", 0, 8, true},
        {kInputReal, "1e5", 0, 8, false},
        {kInputText, "a b", 0, 255, true},
        {kInputText, "a\tb", 0, 255, false},
        {kInputSingleLineAny, "x\ny", 0, 9999, false},
        {kInputSingleLineAny, "ab", 9998, 9999, false},
        {kInputAny, "x\ny\tz\r", 0, 9999, true},
        {kInputAny, "more", 20000, 9999, true},  // the editor never refuses
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilterTextInput(c.mode, c.text, c.length, c.max), c.ok) << c.mode << " '" << c.text << "'";
}

TEST(TextFilterTest, RealFieldText) {
    struct Case {
        float v;
        i32 max;
        const char* text;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {2.5f, 8, "2.5"},
        {3.0f, 8, "3.0"},
        {0.1f, 8, "0.1"},
        {-1.25f, 8, "-1.25"},
        {0.0f, 8, "0.0"},
        {100000.0f, 8, "100000"},    // no decimals: the zeros are the number's own
        {123456.0f, 8, "123456"},
        {1234567.0f, 8, "invalid ???"},
        {1.0e9f, 8, "invalid ???"},
        {12.5f, 4, "12"},            // no room for decimals at all: rounds to even like printf
        {3.0e38f, 255, "300000000549775575777803994281145270272.0"},  // the float's exact value
        {1.0f, 100000, "1.0"},       // decimals beyond any float's need are capped
        {inf, 8, "inf"},
        {-inf, 8, "-inf"},
        {-inf, 3, "invalid ???"},
        {std::numeric_limits<float>::quiet_NaN(), 8, "nan"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatRealForField(c.v, c.max), c.text) << c.v << " in " << c.max;
}

TEST(TextFilterTest, ReadsNumbersWithinRange) {
    struct IntCase {
        const char* text;
        bool ok;
        i32 value;
    };
    const IntCase ints[] = {
        {"", true, 0},           {"-", true, 0},           {"42", true, 42},
        {"-2147483648", true, INT32_MIN},                  {"2147483647", true, INT32_MAX},
        {"2147483648", false, 0}, {"99999999999", false, 0}, {"-99999999999", false, 0},
        {"12a", false, 0},       {"--1", false, 0},        {"1-", false, 0},
    };
    for (const IntCase& c : ints) {
        i32 v = -7;
        EXPECT_EQ(ParseIntegerField(c.text, &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    struct RealCase {
        const char* text;
        bool ok;
        float value;
    };
    const RealCase reals[] = {
        {"", true, 0}, {"-", true, 0}, {".", true, 0}, {"2.5", true, 2.5f}, {"-.5", true, -0.5f},
        {"1.2.3", false, 0}, {"1-", false, 0}, {"1e99", false, 0},
    };
    for (const RealCase& c : reals) {
        float v = -7;
        EXPECT_EQ(ParseRealField(c.text, &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

// ---- boxes in the window system ----

class TextBoxTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        headless::ClearClipboard();
        owner_ = new ProbeWindow(Window::kVisible, nullptr, "owner");
        SetFrame(owner_, Rect{100, 100, 500, 400});
    }

    TextBox* Make(int kind, Rect frame = Rect{10, 10, 210, 24}) {
        TextBox* box = new TextBox(kind, owner_);
        SetFrame(box, frame);
        return box;
    }
    // Focuses the box and types the characters as key presses would.
    static void Type(TextBox* box, const std::string& text) {
        if (!box->HasFocus()) ActivateWindow(box, kFocusByProgram);
        for (char c : text) {
            HandleCharInput(static_cast<u8>(c), 1);
            DrainEventQueue();
        }
    }
    static void Ctrl(int letter) { Key(letter, {kKeyLeftControl}); }
    static void Shift(int code) { Key(code, {kKeyLeftShift}); }

    ProbeWindow* owner_ = nullptr;
};

struct ChangeCounter : SignalListener {
    void OnChanged() { ++changes; }
    void OnCommit(i32 v) { commits.push_back(v); }
    int changes = 0;
    std::vector<i32> commits;
};

TEST_F(TextBoxTest, KindsSetTheirFlagsAndLimits) {
    struct Expect {
        bool editable, selectable, multi, undo;
        int mode;
        i32 max;
    };
    const Expect expect[] = {
        {false, false, true, false, kInputAny, 9999},  {false, true, true, false, kInputAny, 9999},
        {true, true, false, false, kInputInteger, 11}, {true, true, false, false, kInputReal, 8},
        {true, true, false, false, kInputSingleLineAny, 9999}, {true, true, false, true, kInputText, 255},
        {true, true, true, true, kInputAny, 9999},
    };
    for (int kind = 0; kind < 7; ++kind) {
        TextBox* box = new TextBox(kind, owner_);
        const Expect& e = expect[kind];
        EXPECT_EQ(box->IsEditable(), e.editable) << kind;
        EXPECT_EQ(box->IsSelectable(), e.selectable) << kind;
        EXPECT_EQ(box->IsMultiLine(), e.multi) << kind;
        EXPECT_EQ(box->HasUndo(), e.undo) << kind;
        EXPECT_EQ(box->GetInputMode(), e.mode) << kind;
        EXPECT_EQ(box->GetMaxLength(), e.max) << kind;
        EXPECT_EQ(box->TestFlags(Window::kTakesFocus), e.editable || e.selectable) << kind;
        EXPECT_EQ(box->GetWidth(), 128) << kind;
        EXPECT_EQ(box->GetHeight(), kLineHeight) << kind;
        EXPECT_STREQ(box->GetClassName(), "TextBox");
    }
}

TEST_F(TextBoxTest, IntegerFieldTypingFilter) {
    TextBox* box = Make(TextBox::kIntegerField);
    Type(box, "12-3");  // each typed '-' is its own insertion and passes
    EXPECT_EQ(box->GetText(), "12-3");
    EXPECT_EQ(Beeps(), 0);
    Type(box, "x");
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(box->GetText(), "12-3");
    box->SetText("");
    Type(box, "12345678901");
    EXPECT_EQ(box->GetText(), "12345678901");
    Type(box, "2");  // the 12th character
    EXPECT_EQ(Beeps(), 2);
    EXPECT_EQ(box->GetText(), "12345678901");
    i32 v = 0;
    EXPECT_FALSE(box->GetInteger(&v)) << "11 digits do not fit 32 bits";

    // Typing over a selection only counts what stays.
    Ctrl('A');
    Type(box, "7");
    EXPECT_EQ(box->GetText(), "7");
    ASSERT_TRUE(box->GetInteger(&v));
    EXPECT_EQ(v, 7);
}

TEST_F(TextBoxTest, NumberFieldsAreRepairedWhenLeftByTab) {
    TextBox* real = Make(TextBox::kRealField);
    TextBox* integer = Make(TextBox::kIntegerField, Rect{10, 40, 210, 54});
    TextBox* other = Make(TextBox::kTextField, Rect{10, 70, 210, 84});
    SetTabOrder(real, integer, other, nullptr);  // focuses the real field

    Type(real, "1.2.3");
    float f = 1;
    EXPECT_FALSE(real->GetReal(&f));
    Key(kKeyTab);
    EXPECT_EQ(real->GetText(), "0.0");
    EXPECT_EQ(real->GetCaret(), (TextBox::TextPos{0, 0}));
    EXPECT_FALSE(real->HasSelection());
    ASSERT_TRUE(integer->HasFocus());

    Type(integer, "-");
    Key(kKeyTab);
    EXPECT_EQ(integer->GetText(), "-");  // reads as 0, so it stays
    i32 v = 5;
    EXPECT_TRUE(integer->GetInteger(&v));
    EXPECT_EQ(v, 0);

    Shift(kKeyTab);  // back into the integer field: Tab selects everything
    ASSERT_TRUE(integer->HasFocus());
    EXPECT_EQ(integer->GetSelectedText(), "-");
    Key(kKeyBackspace);
    EXPECT_EQ(integer->GetText(), "");
    Key(kKeyTab);
    EXPECT_EQ(integer->GetText(), "0");

    // Empty real field of length 8 left by Tab.
    real->SetText("");
    ActivateWindow(real, kFocusByProgram);
    Key(kKeyTab);
    EXPECT_EQ(real->GetText(), "0.0");
    // The program moving the focus repairs nothing.
    real->SetText("");
    ActivateWindow(real, kFocusByProgram);
    ActivateWindow(other, kFocusByProgram);
    EXPECT_EQ(real->GetText(), "");
}

TEST_F(TextBoxTest, SetRealAndGetterKinds) {
    TextBox* real = Make(TextBox::kRealField);
    real->SetReal(2.5f);
    EXPECT_EQ(real->GetText(), "2.5");
    real->SetMaxLength(2);
    real->SetReal(123.0f);
    EXPECT_EQ(real->GetText(), "invalid ???");
    float f = 0;
    EXPECT_FALSE(real->GetReal(&f));
    i32 i = 0;
    EXPECT_FALSE(real->GetInteger(&i)) << "integer fields only";
    TextBox* text = Make(TextBox::kTextField);
    text->SetText("1");
    EXPECT_FALSE(text->GetReal(&f));
    TextBox* integer = Make(TextBox::kIntegerField);
    integer->SetInteger(-42);
    ASSERT_TRUE(integer->GetInteger(&i));
    EXPECT_EQ(i, -42);
}

TEST_F(TextBoxTest, ProgramTextIsNeverCutToTheLimit) {
    TextBox* view = Make(TextBox::kReadOnlyView, Rect{10, 10, 300, 200});
    const std::string big(20000, 'x');
    view->SetText(big);
    EXPECT_EQ(view->GetLength(), 20000);
    view->AppendText("tail\n");
    EXPECT_EQ(view->GetText(), big + "tail\n");
    EXPECT_EQ(view->GetLineCount(), 2);

    TextBox* field = Make(TextBox::kSingleLineField);
    field->SetText(std::string(9999, 'a'));
    ActivateWindow(field, kFocusByProgram);
    Key(kKeyEnd);
    Type(field, "b");
    EXPECT_EQ(Beeps(), 1) << "typing stops at the limit";
    EXPECT_EQ(field->GetLength(), 9999);

    // A read-only view takes no typing but the program may still set text.
    Type(view, "z");
    EXPECT_EQ(view->GetLength(), 20005);
}

TEST_F(TextBoxTest, EveryTypedCharacterIsOneUndoStep) {
    TextBox* box = Make(TextBox::kTextField);
    Type(box, "hello");
    EXPECT_EQ(box->GetText(), "hello");
    for (int i = 4; i >= 0; --i) {
        Ctrl('Z');
        EXPECT_EQ(box->GetText(), std::string("hello").substr(0, size_t(i)));
    }
    Ctrl('Z');  // nothing left
    EXPECT_EQ(box->GetText(), "");
    Ctrl('Y');
    Ctrl('Y');
    EXPECT_EQ(box->GetText(), "he");
    EXPECT_EQ(box->GetCaret(), (TextBox::TextPos{0, 2}));

    // Replacing a selection and deleting come back with their caret.
    box->SetText("abcdef");
    box->SetSelection(TextBox::TextPos{0, 1}, TextBox::TextPos{0, 4});
    Type(box, "X");
    EXPECT_EQ(box->GetText(), "aXef");
    Key(kKeyBackspace);
    EXPECT_EQ(box->GetText(), "aef");
    Key(kKeyDelete);
    EXPECT_EQ(box->GetText(), "af");
    Ctrl('Z');
    Ctrl('Z');
    EXPECT_EQ(box->GetText(), "aXef");
    Ctrl('Z');
    EXPECT_EQ(box->GetText(), "abcdef");
    EXPECT_EQ(box->GetSelectedText(), "bcd");
    // Backspace at the start fails: no step is recorded.
    box->SetText("q");
    ActivateWindow(box, kFocusByProgram);
    Key(kKeyHome);
    Key(kKeyBackspace);
    EXPECT_EQ(box->GetUndoHistory().count, 1u);
    EXPECT_EQ(box->GetText(), "q");
}

TEST_F(TextBoxTest, ClipboardCutCopyPaste) {
    TextBox* editor = Make(TextBox::kTextEditor, Rect{10, 10, 300, 200});
    editor->SetText("one\ntwo\nthree");
    ActivateWindow(editor, kFocusByProgram);
    editor->SetSelection(TextBox::TextPos{0, 1}, TextBox::TextPos{1, 2});
    Ctrl('C');
    EXPECT_EQ(headless::ClipboardUtf8(), "ne\ntw");
    Ctrl('X');
    EXPECT_EQ(editor->GetText(), "oo\nthree");
    Ctrl('V');
    EXPECT_EQ(editor->GetText(), "one\ntwo\nthree");
    Ctrl('Z');
    Ctrl('Z');
    EXPECT_EQ(editor->GetText(), "one\ntwo\nthree");

    // Another program's CR LF lines arrive as lines.
    headless::SetForeignClipboardText("a\r\nb\rc");
    editor->SetSelection(TextBox::TextPos{2, 5}, TextBox::TextPos{2, 5});
    Ctrl('V');
    EXPECT_EQ(editor->GetText(), "one\ntwo\nthreea\nb\nc");
    EXPECT_EQ(editor->GetCaret(), (TextBox::TextPos{4, 1}));

    // A line break refused by a single-line field: beep, nothing inserted.
    TextBox* field = Make(TextBox::kSingleLineField, Rect{10, 220, 200, 234});
    ActivateWindow(field, kFocusByProgram);
    Ctrl('V');
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(field->GetText(), "");
    // A read-only view copies but neither cuts nor pastes.
    TextBox* view = Make(TextBox::kReadOnlyView, Rect{10, 240, 200, 300});
    view->SetText("read");
    ActivateWindow(view, kFocusByProgram);
    Ctrl('A');
    Ctrl('X');
    EXPECT_EQ(view->GetText(), "read");
    EXPECT_EQ(headless::ClipboardUtf8(), "a\r\nb\rc");
    Ctrl('C');
    EXPECT_EQ(headless::ClipboardUtf8(), "read");
    Ctrl('V');
    EXPECT_EQ(view->GetText(), "read");
}

TEST_F(TextBoxTest, CaretMovesAndShiftSelects) {
    TextBox* editor = Make(TextBox::kTextEditor, Rect{10, 10, 300, 200});
    editor->SetText("abcdef\nxy\nlonger line");
    ActivateWindow(editor, kFocusByProgram);
    Key(kKeyEnd);
    EXPECT_EQ(editor->GetCaret(), (TextBox::TextPos{0, 6}));
    Key(kKeyDown);  // the goal x (6 characters) is kept through the short line
    EXPECT_EQ(editor->GetCaret(), (TextBox::TextPos{1, 2}));
    Key(kKeyDown);
    EXPECT_EQ(editor->GetCaret(), (TextBox::TextPos{2, 6}));
    Shift(kKeyLeft);
    Shift(kKeyLeft);
    EXPECT_EQ(editor->GetSelectedText(), "er");
    Key(kKeyRight);
    EXPECT_FALSE(editor->HasSelection());
    Shift(kKeyHome);
    EXPECT_EQ(editor->GetSelectedText(), "longe");
    Key(kKeyRight);
    Key(kKeyHome);
    Key(kKeyLeft);  // across the line break
    EXPECT_EQ(editor->GetCaret(), (TextBox::TextPos{1, 2}));

    TextBox* field = Make(TextBox::kTextField, Rect{10, 220, 300, 234});
    field->SetText("single");
    ActivateWindow(field, kFocusByProgram);
    Key(kKeyDown);
    EXPECT_EQ(field->GetCaret(), (TextBox::TextPos{0, 6}));
    Shift(kKeyUp);
    EXPECT_EQ(field->GetSelectedText(), "single");
}

TEST_F(TextBoxTest, EnterCommitsSingleLineAndBreaksMultiLine) {
    TextBox* field = Make(TextBox::kTextField);
    TextBox* editor = Make(TextBox::kTextEditor, Rect{10, 40, 300, 200});
    ChangeCounter fieldLog, editorLog;
    ConnectSignal<&ChangeCounter::OnCommit>(field->commit, &fieldLog);
    ConnectSignal<&ChangeCounter::OnChanged>(field->changed, &fieldLog);
    ConnectSignal<&ChangeCounter::OnChanged>(editor->changed, &editorLog);
    ActivateWindow(field, kFocusByProgram);
    Key(kKeyEnter);
    EXPECT_EQ(fieldLog.commits, (std::vector<i32>{1, 0}));
    EXPECT_EQ(field->GetText(), "");
    Type(field, "ab");
    EXPECT_EQ(fieldLog.changes, 2);
    Key(kKeyLeft);  // moves only: no change
    EXPECT_EQ(fieldLog.changes, 2);
    field->SetText("ab");  // same text: no signal
    EXPECT_EQ(fieldLog.changes, 2);
    field->SetText("abc");
    EXPECT_EQ(fieldLog.changes, 3);

    ActivateWindow(editor, kFocusByProgram);
    Type(editor, "a");
    Key(kKeyEnter);
    Type(editor, "b");
    EXPECT_EQ(editor->GetText(), "a\nb");
    EXPECT_EQ(editorLog.changes, 3);
}

TEST_F(TextBoxTest, WrapsAtTheClientWidthCarryingStyles) {
    // Client 96 px wide once the 16-px scrollbar stands beside it: 12 characters.
    TextBox* editor = Make(TextBox::kTextEditor, Rect{10, 10, 122, 10 + 5 * kLineHeight});
    ASSERT_EQ(editor->GetClientWidth(), 96);
    editor->SetText("|bone two three four five\nsix");
    // "one two " fits, "three four " fits, "five" follows.
    EXPECT_EQ(editor->GetLineRowCount(0), 3);
    EXPECT_EQ(editor->GetRowCount(), 4);
    EXPECT_EQ(editor->GetLineFirstRow(1), 3);
    EXPECT_EQ(editor->GetScrollRangeY(), 4);
    EXPECT_EQ(editor->GetScrollPageY(), (5 * kLineHeight - kLineHeight / 2) / kLineHeight);

    // The caret on the wrapped rows.
    editor->SetSelection(TextBox::TextPos{0, 10}, TextBox::TextPos{0, 10});
    EXPECT_EQ(editor->CaretRow(), 1);
    EXPECT_EQ(editor->CaretX(), 0);
    // A click on the third row, two characters in.
    Point p{2 * kCharWidth + 1, 2 * kLineHeight + 3};
    EXPECT_EQ(editor->PosAtPoint(p), (TextBox::TextPos{0, 23}));

    // Widening re-wraps every line.
    SetFrame(editor, Rect{10, 10, 10 + 16 + 30 * kCharWidth, 10 + 5 * kLineHeight});
    EXPECT_EQ(editor->GetRowCount(), 2);
}

TEST_F(TextBoxTest, StyleStateFlowsIntoFollowingLines) {
    // Every line is measured in its inherited style; a style the font lacks
    // falls back to the plain one, so rows stay the same but the state is kept.
    TextBox* editor = Make(TextBox::kTextEditor, Rect{10, 10, 300, 200});
    // Give the font a bold style with wider characters so that the carried
    // state shows in the widths.
    font_->styles[1].trailer[3] = 1;
    for (FontGlyph& g : font_->styles[1].glyphs)
        for (i8& a : g.advance) a = 2 * kCharWidth;
    editor->SetText("ab\ncd");
    editor->SetSelection(TextBox::TextPos{1, 2}, TextBox::TextPos{1, 2});
    EXPECT_EQ(editor->CaretX(), 2 * kCharWidth);
    // "|b" typed at the end of the first line makes the second line bold.
    editor->SetSelection(TextBox::TextPos{0, 2}, TextBox::TextPos{0, 2});
    editor->InsertText("|b");
    editor->SetSelection(TextBox::TextPos{1, 2}, TextBox::TextPos{1, 2});
    EXPECT_EQ(editor->CaretX(), 4 * kCharWidth);
    editor->Undo();
    editor->SetSelection(TextBox::TextPos{1, 2}, TextBox::TextPos{1, 2});
    EXPECT_EQ(editor->CaretX(), 2 * kCharWidth);
}

TEST_F(TextBoxTest, AlignmentAndTheViewFollowTheCaret) {
    TextBox* field = Make(TextBox::kTextField, Rect{10, 10, 10 + 20 * kCharWidth, 24});
    field->SetText("abcd");
    field->SetAlignment(TextBox::kAlignRight);
    field->SetSelection(TextBox::TextPos{0, 0}, TextBox::TextPos{0, 0});
    EXPECT_EQ(field->CaretX(), 16 * kCharWidth);
    field->SetAlignment(TextBox::kAlignCenter);
    EXPECT_EQ(field->CaretX(), 8 * kCharWidth);
    EXPECT_EQ(field->PosAtPoint(Point{9 * kCharWidth + 1, 2}), (TextBox::TextPos{0, 1}));

    // Ten rows of 14 px: a page of nine and a half, so 9 rows.
    TextBox* editor = Make(TextBox::kTextEditor, Rect{10, 40, 300, 40 + 10 * kLineHeight});
    std::string text;
    for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + "\n";
    editor->SetText(text);
    ASSERT_EQ(editor->GetScrollPageY(), 9);
    ActivateWindow(editor, kFocusByProgram);
    Key(kKeyPageDown);
    EXPECT_EQ(editor->GetCaret().line, 10);
    EXPECT_EQ(editor->GetScrollY(), 10);
    EXPECT_EQ(editor->GetTopLine(), 10);
    Key(kKeyPageUp);
    EXPECT_EQ(editor->GetCaret().line, 0);
    EXPECT_EQ(editor->GetScrollY(), 0);
    // Moving down past the page scrolls one row at a time.
    for (int i = 0; i < 9; ++i) Key(kKeyDown);
    EXPECT_EQ(editor->GetScrollY(), 1);
    // Typing at the end of the text keeps the caret in view.
    editor->SetSelection(TextBox::TextPos{40, 0}, TextBox::TextPos{40, 0});
    EXPECT_EQ(editor->GetScrollY(), editor->GetRowCount() - 9);
    // The wheel scrolls without moving the caret.
    const Point o = editor->GetClientOrigin();
    MoveTo(o.x + 5, o.y + 5);
    HandleMouseWheelInput(3);
    DrainEventQueue();
    EXPECT_EQ(editor->GetScrollY(), editor->GetRowCount() - 12);
    EXPECT_EQ(editor->GetCaret().line, 40);
}

TEST_F(TextBoxTest, MouseSelectsByDragging) {
    TextBox* field = Make(TextBox::kTextField);
    field->SetText("abcdefgh");
    const Rect& c = field->GetClientScreenRect();
    MoveTo(c.left + 2 * kCharWidth + 1, c.top + 3);
    Press();
    EXPECT_TRUE(field->HasFocus());
    EXPECT_EQ(field->GetCaret(), (TextBox::TextPos{0, 2}));
    MoveTo(c.left + 5 * kCharWidth + 1, c.top + 3);
    Release();
    EXPECT_EQ(field->GetSelectedText(), "cde");
    // Dragging off the right edge selects on to the end on the next ticks.
    MoveTo(c.left + 1, c.top + 3);
    Press();
    MoveTo(c.right + 50, c.top + 3);
    for (int i = 0; i < 3; ++i) IdleFrame();
    Release();
    EXPECT_EQ(field->GetSelectedText(), "abcdefgh");
}

TEST_F(TextBoxTest, CaretBlinksOnlyInFocusedEditableBoxes) {
    TextBox* field = Make(TextBox::kTextField);
    TextBox* view = Make(TextBox::kReadOnlyView, Rect{10, 40, 200, 100});
    ActivateWindow(field, kFocusByProgram);
    IdleFrame();
    EXPECT_TRUE(field->IsCaretShown());
    // Solid for half a second, then on in even half-seconds of the clock.
    headless::SetTime(201.6);
    IdleFrame();
    EXPECT_FALSE(field->IsCaretShown());
    headless::SetTime(202.1);
    IdleFrame();
    EXPECT_TRUE(field->IsCaretShown());
    ActivateWindow(view, kFocusByProgram);
    IdleFrame();
    EXPECT_FALSE(field->IsCaretShown());
    EXPECT_FALSE(view->IsCaretShown());
}

TEST_F(TextBoxTest, DisablingChangesCursorAndFocusability) {
    TextBox* field = Make(TextBox::kTextField);
    EXPECT_EQ(field->GetCursor(), u32(kCursorTextBeam));
    field->SetEnabled(false);
    EXPECT_EQ(field->GetCursor(), 0u);
    EXPECT_FALSE(field->TestFlags(Window::kTakesFocus));
    Type(field, "a");
    EXPECT_EQ(field->GetText(), "");
    field->SetEnabled(true);
    EXPECT_TRUE(field->TestFlags(Window::kTakesFocus));
    TextBox* label = CreateLabel(owner_, "Name:");
    EXPECT_EQ(label->GetWidth(), 5 * kCharWidth);
    EXPECT_EQ(label->GetCursor(), 0u);
    label->SetEnabled(false);
    label->SetEnabled(true);
    EXPECT_FALSE(label->TestFlags(Window::kTakesFocus));
}

TEST_F(TextBoxTest, EditInPopupEndsOnEnterWithTheText) {
    TextBox* box = new TextBox(TextBox::kTextField, owner_);
    box->SetVisible(false);
    box->SetText("old");
    const Rect cell{150, 150, 250, 164};
    Then([] {});
    Then([box] {
        ASSERT_NE(GetTopModalWindow(), nullptr);
        EXPECT_STREQ(GetTopModalWindow()->GetClassName(), "TextPopup");
        EXPECT_EQ(box->GetParent(), GetTopModalWindow());
        EXPECT_EQ(box->GetSelectedText(), "old");
        EXPECT_TRUE(box->HasFocus());
        HandleCharInput('n', 1);
        HandleCharInput('u', 1);
        HandleKeyInput(kKeyEnter, 1);
        HandleKeyInput(kKeyEnter, 0);
    });
    TextBox::EditInPopup(owner_, cell, box);
    EXPECT_EQ(box->GetText(), "nu");
    EXPECT_EQ(box->GetParent(), owner_);
    StepFrame();  // the popup goes; the box stays
    EXPECT_EQ(FindWindowByTitle(nullptr, "TextPopup"), nullptr);
    EXPECT_EQ(box->GetText(), "nu");
}

TEST_F(TextBoxTest, EditInPopupEndsOnAPressOutsideWhichStillArrives) {
    ProbeWindow* other = new ProbeWindow(Window::kVisible | Window::kEnabled, nullptr, "other");
    SetFrame(other, Rect{600, 100, 700, 200});
    TextBox* box = new TextBox(TextBox::kTextField, owner_);
    box->SetText("keep");
    Then([] {});
    Then([] { PostClick(FindWindowByTitle("other", "ProbeWindow")); });
    TextBox::EditInPopup(owner_, Rect{150, 150, 250, 164}, box);
    DrainEventQueue();
    EXPECT_EQ(box->GetText(), "keep");
    EXPECT_FALSE(other->buttons.empty()) << "the press reached the window under the pointer";
}

}  // namespace
}  // namespace pirn_test
