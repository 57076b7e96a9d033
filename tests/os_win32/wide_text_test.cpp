#include "platform/os/win32/wide_text.h"

#include <gtest/gtest.h>

namespace pirn {
namespace win32 {
namespace {

TEST(WideText, PathsTurnIntoUtf16WithBackslashesAndBack) {
    struct Case {
        const char* utf8;
        const wchar_t* wide;
    } cases[] = {
        {"C:/Games/Zarnhold/tags/", L"C:\\Games\\Zarnhold\\tags\\"},
        {"res/prefs.txt", L"res\\prefs.txt"},
        {"D:/Caf\xC3\xA9/\xE6\x97\xA5\xE6\x9C\xAC.png", L"D:\\Caf\u00E9\\\u65E5\u672C.png"},
        {"\xF0\x9D\x84\x9E.bmp", L"\xD834\xDD1E.bmp"},  // outside the BMP: a surrogate pair
        {"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WidePath(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(PathFromWide(c.wide), c.utf8) << c.utf8;
    }
}

TEST(WideText, MalformedUtf8BecomesTheReplacementCharacter) {
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFD" L"b");
    EXPECT_EQ(WideToUtf8(L"x\xD800y"), "x\xEF\xBF\xBDy");  // unpaired surrogate
}

TEST(WideText, ProgramTextGoesThroughTheCharacterMap) {
    // Mac OS Roman: 0x8E is e acute, 0xA5 the bullet; ASCII stays.
    EXPECT_EQ(WideText("Caf\x8E \xA5 Target Format:"), L"Caf\u00E9 \u2022 Target Format:");
}

}  // namespace
}  // namespace win32
}  // namespace pirn
