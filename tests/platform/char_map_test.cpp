#include "platform/char_map.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace pirn {
namespace {

// Every test leaves the built-in table active for the next one.
class CharMapTest : public ::testing::Test {
protected:
    void TearDown() override { UseBuiltInCharMap(); }
};

std::u16string U16(std::initializer_list<char16_t> units) { return std::u16string(units); }

TEST_F(CharMapTest, BuiltInTableIsOlderMacRoman) {
    struct Case { u8 code; char16_t unit; };
    // From the published Mac OS Roman mapping, with 0xDB as the currency sign.
    const Case cases[] = {
        {0x20, 0x0020}, {0x41, 0x0041}, {0x7E, 0x007E}, {0x7F, 0x007F},
        {0x80, 0x00C4}, {0x8E, 0x00E9}, {0xA1, 0x00B0}, {0xA5, 0x2022},
        {0xAA, 0x2122}, {0xCA, 0x00A0}, {0xD2, 0x201C}, {0xDB, 0x00A4},
        {0xDE, 0xFB01}, {0xF0, 0xF8FF}, {0xF5, 0x0131}, {0xFF, 0x02C7},
    };
    for (const Case& c : cases) {
        const std::u16string wide = CharMapToUtf16(std::string(1, static_cast<char>(c.code)));
        ASSERT_EQ(wide.size(), 1u);
        EXPECT_EQ(wide[0], c.unit) << "code " << int(c.code);
        EXPECT_EQ(BuiltInCharMap().units[c.code - 32], c.unit);
    }
}

TEST_F(CharMapTest, ControlBytesPassThroughBothWays) {
    EXPECT_EQ(CharMapToUtf16(std::string("\t\n\x1f", 3)), U16({0x09, 0x0A, 0x1F}));
    EXPECT_EQ(Utf16ToCharMap(U16({0x09, 0x20, 0x0D})), std::string("\t \r"));
}

TEST_F(CharMapTest, UnitsOutsideTheTableClipTo255) {
    // The euro sign has no code in the older set.
    EXPECT_EQ(Utf16ToCharMap(U16({0x20AC})), std::string("\xFF"));
    // A Latin-1 character missing from the table keeps its own value.
    EXPECT_EQ(Utf16ToCharMap(U16({0x00A6})), std::string("\xA6"));
    EXPECT_EQ(Utf16ToCharMap(U16({0x2022, 0x00B0, 0x00A4, 0x00E9})), std::string("\xA5\xA1\xDB\x8E"));
}

TEST_F(CharMapTest, Utf8ConversionsGoThroughTheTable) {
    EXPECT_EQ(CharMapToUtf8("Caf\x8E \xA5 20\xA1"), "Caf\xC3\xA9 \xE2\x80\xA2 20\xC2\xB0");
    EXPECT_EQ(Utf8ToCharMap("Caf\xC3\xA9 \xE2\x80\xA2 20\xC2\xB0"), "Caf\x8E \xA5 20\xA1");
    // A character outside the basic plane is two UTF-16 units, so two bytes.
    EXPECT_EQ(Utf8ToCharMap("\xF0\x9F\x98\x80"), "\xFF\xFF");
    // Malformed input reads as U+FFFD, which has no code: never a crash and
    // never a byte swallowed silently.
    EXPECT_EQ(Utf8ToCharMap("a\xC3"), "a\xFF");
    EXPECT_EQ(Utf8ToCharMap("\xC0\xAF!"), "\xFF!");
    EXPECT_EQ(Utf8ToCharMap("\xED\xA0\x80x"), "\xFFx");
}

TEST_F(CharMapTest, EveryCodeRoundTripsThroughUtf8) {
    std::string all;
    for (int code = 32; code < 256; ++code) all += static_cast<char>(code);
    EXPECT_EQ(Utf8ToCharMap(CharMapToUtf8(all)), all);
}

TEST_F(CharMapTest, TypedCharactersUseTheOptionLayer) {
    struct Case { u32 key; u8 option; };
    // The US Mac keyboard's Option layer.
    const Case cases[] = {
        {' ', 0x20}, {'!', 0xDA}, {'"', 0xAE}, {'*', 0xA1}, {'/', 0xD6}, {'0', 0xBC},
        {'8', 0xA5}, {'9', 0xBB}, {'@', 0xDB}, {'A', 0x81}, {'M', 0xE5}, {'Z', 0xFC},
        {'\\', 0xC7}, {'`', 0x60}, {'a', 0x8C}, {'e', 0xAB}, {'p', 0xB9}, {'z', 0xBD},
        {'{', 0xD3}, {'~', 0x60},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MapTypedChar(c.key, true), c.option) << "key " << c.key;
        EXPECT_EQ(MapTypedChar(c.key, false), c.key);
    }
}

TEST_F(CharMapTest, TypedCharactersBeyondAsciiAreLookedUpOrDropped) {
    EXPECT_EQ(MapTypedChar(0x00E9, false), 0x8E);  // é from a keyboard with accents
    EXPECT_EQ(MapTypedChar(0x00B0, true), 0xA1);
    EXPECT_EQ(MapTypedChar(300, false), 0);         // no code: dropped, not 0xFF
    EXPECT_EQ(MapTypedChar(0x20AC, false), 0);
    EXPECT_EQ(MapTypedChar(127, false), 0);
    EXPECT_EQ(MapTypedChar(9, false), 0);
    EXPECT_EQ(MapTypedChar(0x1F600, false), 0);
}

// A file made byte by byte: 'A' (0x41) as Greek capital alpha, 0xF0 with no
// character, 0x42 sharing alpha's unit, everything else zero.
std::vector<u8> HandBuiltCharMapFile() {
    std::vector<u8> bytes(448, 0);
    bytes[(0x41 - 32) * 2] = 0x91;  // U+0391, low byte first
    bytes[(0x41 - 32) * 2 + 1] = 0x03;
    bytes[(0x42 - 32) * 2] = 0x91;
    bytes[(0x42 - 32) * 2 + 1] = 0x03;
    bytes[(0x43 - 32) * 2] = 0x43;
    return bytes;
}

TEST_F(CharMapTest, LoadedFileReplacesTheTable) {
    pirn_test::TempDir dir;
    pirn_test::WriteAll(dir.file("charmap"), HandBuiltCharMapFile());
    ASSERT_TRUE(LoadCharMap(dir.file("charmap")));

    EXPECT_EQ(CharMapToUtf16("A"), U16({0x0391}));
    EXPECT_EQ(CharMapToUtf16("\xF0"), U16({0x20}));  // a 0 entry shows as a space
    EXPECT_EQ(CharMapToUtf16("C"), U16({0x43}));
    // Two codes share alpha: the lower one wins.
    EXPECT_EQ(Utf16ToCharMap(U16({0x0391})), "A");
    // Gone from the loaded table, so clipped like any unknown unit.
    EXPECT_EQ(Utf16ToCharMap(U16({0x2022})), "\xFF");
    EXPECT_EQ(MapTypedChar(0x0391, false), 'A');
}

TEST_F(CharMapTest, ShortFilesAreIgnored) {
    pirn_test::TempDir dir;
    std::vector<u8> bytes = HandBuiltCharMapFile();
    std::vector<u8> shorter(bytes.begin(), bytes.end() - 1);
    pirn_test::WriteAll(dir.file("short"), shorter);
    pirn_test::WriteAll(dir.file("empty"), std::vector<u8>{});

    EXPECT_FALSE(LoadCharMap(dir.file("short")));
    EXPECT_FALSE(LoadCharMap(dir.file("empty")));
    EXPECT_FALSE(LoadCharMap(dir.file("missing")));
    EXPECT_EQ(&ActiveCharMap(), &BuiltInCharMap());
    EXPECT_EQ(CharMapToUtf16("\xA5"), U16({0x2022}));
}

TEST_F(CharMapTest, ALongerFileGivesItsFirst448Bytes) {
    pirn_test::TempDir dir;
    std::vector<u8> longer = HandBuiltCharMapFile();
    // Trailing bytes that would change code 32 and 33 if they were taken.
    longer.insert(longer.end(), {0x41, 0x00, 0x42, 0x00, 0x99});
    pirn_test::WriteAll(dir.file("long"), longer);
    ASSERT_TRUE(LoadCharMap(dir.file("long")));
    EXPECT_EQ(CharMapToUtf16("A"), U16({0x0391}));
    EXPECT_EQ(CharMapToUtf16(" !"), U16({0x20, 0x20}));  // both 0 in the table: spaces
}

TEST_F(CharMapTest, FileBytesAreLittleEndianInCodeOrder) {
    const std::vector<u8> bytes = CharMapFileBytes(BuiltInCharMap());
    ASSERT_EQ(bytes.size(), 448u);
    EXPECT_EQ(bytes[0], 0x20);                 // code 32, space
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[(0xA5 - 32) * 2], 0x22);   // U+2022
    EXPECT_EQ(bytes[(0xA5 - 32) * 2 + 1], 0x20);
    EXPECT_EQ(bytes[(0xDB - 32) * 2], 0xA4);
    EXPECT_EQ(bytes[446], 0xC7);               // code 255, U+02C7
    EXPECT_EQ(bytes[447], 0x02);

    CharMap parsed{};
    ASSERT_TRUE(ParseCharMapFile(bytes.data(), bytes.size(), &parsed));
    for (int i = 0; i < CharMap::kEntryCount; ++i) EXPECT_EQ(parsed.units[i], BuiltInCharMap().units[i]);
}

}  // namespace
}  // namespace pirn
