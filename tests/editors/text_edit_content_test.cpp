// The text of text tags as the text editor shows it and the bytes it writes
// back: line breaks of every kind, NULs in plain texts, the strings of
// string lists.

#include "editors/text_edit_content.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "codex/four_char_code.h"

namespace {

using pirn::ShownText;
using pirn::TextTagKind;

std::string Bytes(std::initializer_list<char> chars) { return std::string(chars.begin(), chars.end()); }

TEST(TextEditContentTest, GroupsAreTextsOrStringLists) {
    for (pirn::u32 code : {pirn::MakeFourCC("ditl"), pirn::MakeFourCC("scri"), pirn::MakeFourCC("text")})
        EXPECT_EQ(pirn::TextTagKindOf(code), TextTagKind::PlainText) << code;
    for (pirn::u32 code : {pirn::MakeFourCC("stli"), pirn::MakeFourCC("temp")})
        EXPECT_EQ(pirn::TextTagKindOf(code), TextTagKind::StringList) << code;
}

TEST(TextEditContentTest, DataIsShownAsLinesAndWrittenBackWithCrLineEnds) {
    struct Case {
        const char* what;
        TextTagKind kind;
        std::string data;
        std::string shown;
        std::string carried;
        std::string written;  // the shown text written back unedited through the editor's writer
    } cases[] = {
        {"CR line ends", TextTagKind::PlainText, "one\rtwo\r", "one\ntwo\n", "", "one\rtwo\r"},
        {"LF line ends", TextTagKind::PlainText, "one\ntwo", "one\ntwo", "", "one\rtwo"},
        {"CR LF is one break", TextTagKind::PlainText, "a\r\nb\r\n\r\nc", "a\nb\n\nc", "", "a\rb\r\rc"},
        {"LF CR is two", TextTagKind::PlainText, "a\n\rb", "a\n\nb", "", "a\r\rb"},
        {"bytes after a NUL are carried", TextTagKind::PlainText, Bytes({'h', 'i', '\0', 'x', '\r', '\0'}), "hi",
         Bytes({'\0', 'x', '\r', '\0'}), Bytes({'h', 'i', '\0', 'x', '\r', '\0'})},
        {"8-bit text stays as it is", TextTagKind::PlainText, "\xA1\xFF", "\xA1\xFF", "", "\xA1\xFF"},
        {"an empty tag", TextTagKind::PlainText, "", "", "", ""},
        {"strings end at NUL, LF and CR; empty ones are dropped", TextTagKind::StringList,
         Bytes({'a', '\0', '\0', 'b', '\0'}), "a\nb\n", "", "a\rb\r"},
        {"a last string without an end", TextTagKind::StringList, "x\r\ny", "x\ny\n", "", "x\ry\r"},
        {"an empty list", TextTagKind::StringList, Bytes({'\0', '\r'}), "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ShownText shown = pirn::TextTagToShown(c.kind, c.data);
        EXPECT_EQ(shown.text, c.shown);
        EXPECT_EQ(shown.carried, c.carried);
        EXPECT_EQ(pirn::ShownToTextTag(shown.text, shown.carried), c.written);
    }
}

TEST(TextEditContentTest, AnEditedTextKeepsItsCarriedBytesBehindIt) {
    EXPECT_EQ(pirn::ShownToTextTag("new\nlines", Bytes({'\0', 'z'})), Bytes({'n', 'e', 'w', '\r', 'l', 'i', 'n', 'e', 's', '\0', 'z'}));
}

}  // namespace

namespace {

// Any bytes at all: plain texts show no CR and carry everything from their
// first NUL; lists show neither NUL nor CR and no empty line; an unedited
// plain text written back without CRs or LFs in it is its own data.
TEST(TextEditContentTest, AnyBytesGiveTextThatHoldsTogether) {
    std::mt19937 random(13);
    const char alphabet[] = {'\0', '\r', '\n', 'a', 'b', '\xFF'};
    for (int round = 0; round < 2000; ++round) {
        std::string data(random() % 40, ' ');
        for (char& c : data) c = alphabet[random() % sizeof alphabet];
        const ShownText plain = pirn::TextTagToShown(TextTagKind::PlainText, data);
        EXPECT_EQ(plain.text.find('\r'), std::string::npos);
        const size_t nul = data.find('\0');
        EXPECT_EQ(plain.carried, nul == std::string::npos ? std::string() : data.substr(nul));
        const ShownText list = pirn::TextTagToShown(TextTagKind::StringList, data);
        EXPECT_EQ(list.text.find('\0'), std::string::npos);
        EXPECT_EQ(list.text.find('\r'), std::string::npos);
        EXPECT_EQ(list.text.find("\n\n"), std::string::npos);
        EXPECT_TRUE(list.text.empty() || list.text.front() != '\n');
        EXPECT_TRUE(list.carried.empty());
        if (data.substr(0, nul).find_first_of("\r\n") == std::string::npos) {
            EXPECT_EQ(pirn::ShownToTextTag(plain.text, plain.carried), data);
        }
    }
}

}  // namespace
