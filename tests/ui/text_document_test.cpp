// TextDocument without a window: appending lays out exactly what setting
// the whole text lays out (with pair kerning, style switches cut in two,
// tabs, carriage returns and words longer than a row), wrapping and the
// style carried from line to line, caret places in rows, edits with undo and
// what the observer hears.

#include "ui/text_document.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ui/interface_font.h"

namespace pirn {
namespace {

// Every character 8 px, lines 12 px; with kerning, the advance also depends
// on the character after it (the end of the text counts as a space, which
// gives the widest advance: text added after a row can let it take more).
std::unique_ptr<InterfaceFont> MakeFont(bool kerning) {
    auto font = std::make_unique<InterfaceFont>();
    font->ascent = 10;
    font->line_spacing = 12;
    font->tab_width = 4;
    for (int s : {0, 1}) {
        font->styles[s].trailer[3] = 1;
        for (int c = 0; c < kFontGlyphCount; ++c)
            for (int next = 0; next < kFontGlyphCount; ++next)
                font->styles[s].glyphs[c].advance[next] =
                    static_cast<i8>(kerning ? 6 + s + (c % 4) - (next % 3) + 1 : 8);
    }
    return font;
}

void ExpectSameLayout(const TextDocument& a, const TextDocument& b, const std::string& context) {
    ASSERT_EQ(a.GetLineCount(), b.GetLineCount()) << context;
    ASSERT_EQ(a.GetRowCount(), b.GetRowCount()) << context;
    for (i32 i = 0; i < a.GetLineCount(); ++i) {
        const TextDocument::Line& x = a.GetLineLayout(i);
        const TextDocument::Line& y = b.GetLineLayout(i);
        ASSERT_EQ(x.text, y.text) << context;
        ASSERT_EQ(x.rowStarts, y.rowStarts) << context << " line " << i;
        ASSERT_EQ(x.rowEnds, y.rowEnds) << context << " line " << i;
        ASSERT_EQ(x.rowStyles, y.rowStyles) << context << " line " << i;
        ASSERT_EQ(x.styleIn, y.styleIn) << context << " line " << i;
        ASSERT_EQ(x.styleOut, y.styleOut) << context << " line " << i;
        ASSERT_EQ(x.firstRow, y.firstRow) << context << " line " << i;
    }
}

TEST(TextDocumentTest, AppendingLaysOutWhatTheWholeTextLaysOut) {
    const char* const pieces[] = {"word", " ", "  ", "a", "longerwordthanarowholds", "\t", "|", "b", "|b",
                                  "|p", "\r", "\n", "x y", "ab\ncd", "|i", "\r\n", "zz"};
    std::mt19937 rng(5);
    for (bool kerning : {false, true}) {
        const auto font = MakeFont(kerning);
        for (int run = 0; run < 40; ++run) {
            TextDocument appended;
            appended.SetFont(font.get());
            appended.Relayout(40 + static_cast<i32>(rng() % 120));
            std::string whole;
            for (int step = 0; step < 60; ++step) {
                std::string piece;
                for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n) piece += pieces[rng() % std::size(pieces)];
                appended.Append(piece);
                whole += piece;
                TextDocument set;
                set.SetFont(font.get());
                set.Relayout(appended.GetWrapWidth());
                set.SetText(whole);
                ExpectSameLayout(appended, set, "kerning " + std::to_string(kerning) + " run " + std::to_string(run));
                if (::testing::Test::HasFatalFailure()) return;
            }
            EXPECT_EQ(appended.GetText(), whole);
            EXPECT_EQ(appended.GetLength(), static_cast<i64>(whole.size()));
            EXPECT_EQ(appended.GetCaret(), appended.EndPos());
        }
    }
}

TEST(TextDocumentTest, RowsWrapAtTheWidthAndCarryTheStyleOn) {
    const auto font = MakeFont(false);
    TextDocument doc;
    doc.SetFont(font.get());
    doc.Relayout(10 * 8);
    doc.SetText("one two three four five\n|bbold\nstill bold|p plain");
    // "one two " fits 80 px, "three four " does too, then "five".
    EXPECT_EQ(doc.GetLineRowCount(0), 3);
    EXPECT_EQ(doc.GetLineLayout(0).rowStarts, (std::vector<i32>{0, 8, 19}));
    EXPECT_EQ(doc.GetLineFirstRow(2), 4);
    EXPECT_EQ(doc.GetLineLayout(2).styleIn, 1);  // bold goes on into the next line
    EXPECT_EQ(doc.GetLineLayout(2).styleOut, 0);
    EXPECT_EQ(doc.GetRowCount(), 6);
    EXPECT_EQ(doc.LineAtRow(3), 1);
    EXPECT_EQ(doc.RowOfPos(TextPos{0, 10}), 1);
    EXPECT_EQ(doc.OffsetInRow(TextPos{0, 10}), 2 * 8);
    EXPECT_EQ(doc.PosInRowAtX(2, 2 * 8 + 3), (TextPos{0, 21}));
    EXPECT_EQ(doc.PosInRowAtX(99, 0), (TextPos{2, 13}));  // rows beyond the last: the last row
    // Removing the switch makes the last line plain again.
    doc.RemoveRange(TextPos{1, 0}, TextPos{1, 2});
    EXPECT_EQ(doc.GetLineLayout(2).styleIn, 0);
    // A single-line document never wraps.
    TextDocument field;
    field.SetMultiLine(false);
    field.SetFont(font.get());
    field.Relayout(8);
    field.SetText("a long line of text");
    EXPECT_EQ(field.GetRowCount(), 1);
}

// Records what the document tells its view.
class Events : public TextDocumentObserver {
public:
    void TextChanged() override { log += 't'; }
    void CaretMoved() override { log += 'c'; }
    std::string log;
};

TEST(TextDocumentTest, EditsAreUndoneOneStepEachAndRestoreCaretAndSelection) {
    TextDocument doc;
    Events events;
    doc.SetObserver(&events);
    doc.SetUndoEnabled(true);
    for (char c : std::string("hello")) EXPECT_TRUE(doc.Edit(TextDocument::kTypeChar, u8(c), {}));
    EXPECT_EQ(doc.GetText(), "hello");
    EXPECT_TRUE(doc.TakeModified());
    EXPECT_FALSE(doc.TakeModified());
    // Each typed character: caret set back, text changed, caret after.
    EXPECT_EQ(events.log, "ctcctcctcctcctc");
    doc.SetCaretAndAnchor(TextPos{0, 1}, TextPos{0, 4});
    EXPECT_EQ(doc.GetSelectedText(), "ell");
    EXPECT_TRUE(doc.Edit(TextDocument::kInsertText, 0, "A\nB"));
    EXPECT_EQ(doc.GetText(), "hA\nBo");
    EXPECT_EQ(doc.GetCaret(), (TextPos{1, 1}));
    EXPECT_TRUE(doc.Undo());
    EXPECT_EQ(doc.GetText(), "hello");
    EXPECT_EQ(doc.GetSelectedText(), "ell");
    EXPECT_TRUE(doc.Redo());
    EXPECT_EQ(doc.GetText(), "hA\nBo");
    for (int i = 0; i < 6; ++i) doc.Undo();
    EXPECT_EQ(doc.GetText(), "");
    EXPECT_FALSE(doc.Undo());
    // Nothing before the start to delete: no step is kept.
    const size_t steps = doc.GetUndoHistory().count;
    EXPECT_FALSE(doc.Edit(TextDocument::kDeleteBackward, 0, {}));
    EXPECT_EQ(doc.GetUndoHistory().count, steps);
}

TEST(TextDocumentTest, SettingTheSameTextIsNoChangeAndClearsTheHistory) {
    TextDocument doc;
    doc.SetUndoEnabled(true);
    doc.SetText("abc");
    EXPECT_TRUE(doc.TakeModified());
    doc.SetCaretAndAnchor(TextPos{0, 3}, TextPos{0, 3});
    doc.Edit(TextDocument::kTypeChar, 'd', {});
    doc.SetText("abcd");
    EXPECT_TRUE(doc.TakeModified());  // the typed 'd' was not yet taken
    doc.SetText("abcd");
    EXPECT_FALSE(doc.TakeModified());
    EXPECT_EQ(doc.GetCaret(), (TextPos{0, 0}));
    EXPECT_FALSE(doc.Undo());
    // Over several lines, compared without joining them: a line break, a
    // character or the length that differs is a change.
    doc.SetText("ab\ncd");
    EXPECT_TRUE(doc.TakeModified());
    for (const char* same_or_not : {"ab\ncd", "abxcd", "ab\ncx", "ab\ncd\n", "ab\nc", "ab\ncd"}) {
        const bool same = std::string(same_or_not) == doc.GetText();
        doc.SetText(same_or_not);
        EXPECT_EQ(doc.TakeModified(), !same) << same_or_not;
    }
    // Without undo the same edits are made directly.
    TextDocument plain;
    plain.SetText("xy");
    plain.SetCaretAndAnchor(TextPos{0, 2}, TextPos{0, 2});
    EXPECT_TRUE(plain.Edit(TextDocument::kDeleteBackward, 0, {}));
    EXPECT_EQ(plain.GetText(), "x");
    EXPECT_FALSE(plain.Undo());
}

}  // namespace
}  // namespace pirn
