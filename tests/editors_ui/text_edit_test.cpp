// TextEdit on the headless window system: text tags open into the box, an
// unedited tag saves byte for byte, edits save with CR line ends and keep
// what followed a NUL, and a tag longer than the typing limit stays whole
// and editable.

#include "editors/ui/text_edit.h"

#include <gtest/gtest.h>

#include "codex/four_char_code.h"
#include "codex/ui/tag_editor_open.h"
#include "tests/editors_ui/editors_window_fixture.h"

namespace pirn_test {
namespace {

using pirn::TagEntry;
using pirn::TextEdit;

constexpr u32 kText = pirn::MakeFourCC("text");
constexpr u32 kStringList = pirn::MakeFourCC("stli");
constexpr u32 kScript = pirn::MakeFourCC("scri");

std::vector<u8> Data(const std::string& s) { return std::vector<u8>(s.begin(), s.end()); }

class TextEditTest : public EditorsWindowTest {
protected:
    TextEdit* Open(u32 group, const std::string& name, const std::string& data) {
        TagEntry* tag = AddLocalTag(group, pirn::MakeFourCC("t001"), name, Data(data));
        return dynamic_cast<TextEdit*>(pirn::OpenTagEditor(tag));
    }
    static void ControlS() { Key('S', {kKeyLeftControl}); }
};

TEST_F(TextEditTest, OpensInABoxThatFillsTheEditor) {
    TextEdit* editor = Open(kText, "Welcome", "Line one\r\nLine two\rLine three");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->GetWidth(), TextEdit::kWidth);
    EXPECT_EQ(editor->GetHeight(), TextEdit::kHeight);
    EXPECT_EQ(editor->GetTextBox()->GetSize().x, editor->GetClientWidth());
    EXPECT_EQ(editor->GetTextBox()->GetLineCount(), 3);
    EXPECT_EQ(editor->GetTextBox()->GetText(), "Line one\nLine two\nLine three");
    EXPECT_TRUE(editor->GetTextBox()->HasFocus());
    EXPECT_FALSE(editor->IsModified());
}

TEST_F(TextEditTest, AnUneditedTagSavesByteForByte) {
    struct Case {
        const char* what;
        u32 group;
        std::string data;
    } cases[] = {
        {"mixed line ends", kText, "a\r\nb\nc\r"},
        {"text after a NUL", kScript, std::string("run\0stop\0", 9)},
        {"a string list with empty strings", kStringList, std::string("a\0\0b\0", 5)},
        {"an empty tag", kText, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextEdit* editor = Open(c.group, "Same", c.data);
        ASSERT_NE(editor, nullptr);
        ControlS();
        EXPECT_TRUE(asked_.empty());
        EXPECT_EQ(LocalData(c.group, "Same"), Data(c.data));
        editor->Close(1);
        StepFrame();
    }
}

TEST_F(TextEditTest, EditsSaveWithCrLineEndsAndKeepWhatFollowedANul) {
    struct Case {
        const char* what;
        u32 group;
        std::string data;
        std::string typed;  // at the end of the text
        std::string saved;
    } cases[] = {
        {"a text", kText, "one\r\ntwo", "!", "one\rtwo!"},
        {"a text with bytes after a NUL", kText, std::string("hi\0more", 7), " there", std::string("hi there\0more", 13)},
        {"a string list", kStringList, std::string("a\0\0b\0", 5), "c", "a\rb\rc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextEdit* editor = Open(c.group, "Edited", c.data);
        ASSERT_NE(editor, nullptr);
        pirn::TextBox* box = editor->GetTextBox();
        const auto end = box->GetDocument().EndPos();
        box->SetSelection(end, end);
        for (char ch : c.typed) box->TypeChar(static_cast<u8>(ch));
        box->NotifyIfModified();
        EXPECT_TRUE(editor->IsModified());
        ControlS();
        EXPECT_FALSE(editor->IsModified());
        EXPECT_EQ(LocalData(c.group, "Edited"), Data(c.saved));
        editor->Close(1);
        StepFrame();
    }
}

TEST_F(TextEditTest, ATagLongerThanTheTypingLimitStaysWholeAndTakesTyping) {
    std::string data;
    for (int i = 0; i < 2000; ++i) data += "line " + std::to_string(i) + "\r";
    ASSERT_GT(data.size(), 9999u);
    TextEdit* editor = Open(kText, "Long", data);
    ASSERT_NE(editor, nullptr);
    pirn::TextBox* box = editor->GetTextBox();
    EXPECT_EQ(box->GetLength(), static_cast<i64>(data.size()));
    box->SetSelection({}, {});
    EXPECT_TRUE(box->TypeChar('>'));
    box->NotifyIfModified();
    ControlS();
    EXPECT_EQ(LocalData(kText, "Long"), Data(">" + data));
}

}  // namespace
}  // namespace pirn_test
