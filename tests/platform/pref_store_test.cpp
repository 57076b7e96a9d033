#include "platform/pref_store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace pirn {
namespace {

using pirn_test::ReadAll;
using pirn_test::TempDir;
using pirn_test::WriteAll;

std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(PrefStoreReading, ValueTypesFollowTheirText) {
    PrefStore store;
    EXPECT_TRUE(store.Parse("OsWindowSizeX 800\nZoom 1.5\nWhole 2.000000\nExp 1e3\n"
                            "Neg -12\nZarnPath \"/games/zarnhold\"\nBig 99999999999\n"));
    i32 n = 0;
    double d = 0;
    std::string s;
    EXPECT_TRUE(store.GetInt("OsWindowSizeX", &n));
    EXPECT_EQ(n, 800);
    EXPECT_TRUE(store.GetInt("Neg", &n));
    EXPECT_EQ(n, -12);
    EXPECT_TRUE(store.GetDouble("Zoom", &d));
    EXPECT_EQ(d, 1.5);

    // A whole number written as a real stays a real.
    n = 7;
    EXPECT_FALSE(store.GetInt("Whole", &n));
    EXPECT_EQ(n, 7);  // unchanged on failure
    EXPECT_TRUE(store.GetDouble("Whole", &d));
    EXPECT_EQ(d, 2.0);
    EXPECT_TRUE(store.GetDouble("Exp", &d));
    EXPECT_EQ(d, 1000.0);
    // Past 32 bits an integer's text is taken as a real, not wrapped.
    EXPECT_FALSE(store.GetInt("Big", &n));
    EXPECT_TRUE(store.GetDouble("Big", &d));
    EXPECT_EQ(d, 99999999999.0);

    EXPECT_TRUE(store.GetDouble("OsWindowSizeX", &d));  // integers convert
    EXPECT_EQ(d, 800.0);
    EXPECT_FALSE(store.GetString("OsWindowSizeX", &s));
    EXPECT_TRUE(store.GetString("ZarnPath", &s));
    EXPECT_EQ(s, "/games/zarnhold");
    EXPECT_FALSE(store.GetInt("Missing", &n));
}

TEST(PrefStoreReading, AllLineEndsAndALastLineWithoutOne) {
    PrefStore store;
    EXPECT_TRUE(store.Parse("A 1\r\nB 2\rC 3\nD \"last\""));
    i32 n = 0;
    std::string s;
    EXPECT_TRUE(store.GetInt("A", &n) && n == 1);
    EXPECT_TRUE(store.GetInt("B", &n) && n == 2);
    EXPECT_TRUE(store.GetInt("C", &n) && n == 3);
    EXPECT_TRUE(store.GetString("D", &s));
    EXPECT_EQ(s, "last");
}

TEST(PrefStoreReading, BadAndBlankLinesAreSkippedNotTheRest) {
    PrefStore store;
    const char* text =
        "First 1\n"
        "\n"                      // blank: skipped
        "novalue\n"               // no space, no value
        "Tabbed\t5\n"             // key ended by a tab
        " Indented 5\n"           // empty key
        "Open \"unterminated\n"   // string without its closing quote
        "Trail \"x\" y\n"         // something after the closing quote
        "Ctrl \"a\tb\"\n"         // raw control byte inside a string
        "Mixed 12abc\n"
        "Last 2\n";
    EXPECT_FALSE(store.Parse(text));  // malformed lines are reported...
    i32 n = 0;
    EXPECT_TRUE(store.GetInt("First", &n) && n == 1);
    EXPECT_TRUE(store.GetInt("Last", &n) && n == 2);  // ...but do not end the reading
    EXPECT_EQ(store.values().size(), 2u);
}

TEST(PrefStoreReading, LaterLinesReplaceEarlierOnes) {
    PrefStore store;
    store.SetString("Key", "default");
    EXPECT_TRUE(store.Parse("Key 4\nKey 5\n"));
    i32 n = 0;
    std::string s;
    EXPECT_TRUE(store.GetInt("Key", &n));
    EXPECT_EQ(n, 5);
    EXPECT_FALSE(store.GetString("Key", &s));
}

TEST(PrefStoreReading, EscapedAndEarlierUnescapedStrings) {
    PrefStore store;
    EXPECT_TRUE(store.Parse("Quote \"say \\\"hi\\\" \\\\ \\xA1\\x0a\"\n"
                            "OldPath \"C:\\Games\\Zarnhold\\\"\n"
                            "Empty \"\"\n"
                            "Odd\\x20key 3\n"));
    std::string s;
    EXPECT_TRUE(store.GetString("Quote", &s));
    EXPECT_EQ(s, "say \"hi\" \\ \xA1\n");
    // Written by an earlier version: backslashes stand for themselves.
    EXPECT_TRUE(store.GetString("OldPath", &s));
    EXPECT_EQ(s, "C:\\Games\\Zarnhold\\");
    EXPECT_TRUE(store.GetString("Empty", &s));
    EXPECT_EQ(s, "");
    i32 n = 0;
    EXPECT_TRUE(store.GetInt("Odd key", &n));
    EXPECT_EQ(n, 3);
}

TEST(PrefStoreWriting, SortedByKeyInTheFileFormat) {
    PrefStore store;
    store.SetInt("Width", 800);
    store.SetDouble("Zoom", 1.5);
    store.SetDouble("Tiny", 1e-7);
    store.SetString("Path", "a \"q\" \\ \xA5\n");
    store.SetInt("OsWindowSizeX", -3);
    store.SetString("Empty", "");
    store.SetInt("Odd key", 7);
    store.SetInt("apple", 1);
    store.SetDouble("Whole", 2.0);
    store.SetInt("", 9);  // cannot be written
    EXPECT_EQ(store.Serialize(),
              "Empty \"\"\n"
              "Odd\\x20key 7\n"
              "OsWindowSizeX -3\n"
              "Path \"a \\\"q\\\" \\\\ \\xA5\\x0A\"\n"
              "Tiny 9.9999999999999995e-08\n"
              "Whole 2.000000\n"
              "Width 800\n"
              "Zoom 1.500000\n"
              "apple 1\n");
}

TEST(PrefStoreWriting, EveryValueReadsBackExactly) {
    std::string all_bytes;
    for (int c = 0; c < 256; ++c) all_bytes += static_cast<char>(c);
    PrefStore store;
    store.SetString("AllBytes", all_bytes);
    store.SetString(std::string("Key\xC0\t\\", 6), "k");
    store.SetDouble("Third", 1.0 / 3.0);
    store.SetDouble("Huge", -1.5e300);
    store.SetDouble("Infinite", INFINITY);
    store.SetDouble("NegZero", -0.0);
    store.SetInt("Min", -2147483647 - 1);

    PrefStore back;
    EXPECT_TRUE(back.Parse(store.Serialize()));
    ASSERT_EQ(back.values().size(), store.values().size());
    for (const auto& entry : store.values()) {
        auto found = back.values().find(entry.first);
        ASSERT_NE(found, back.values().end()) << entry.first;
        EXPECT_EQ(found->second.type, entry.second.type) << entry.first;
        EXPECT_EQ(found->second.text, entry.second.text) << entry.first;
        EXPECT_EQ(found->second.integer, entry.second.integer) << entry.first;
        EXPECT_EQ(std::signbit(found->second.real), std::signbit(entry.second.real));
        EXPECT_EQ(found->second.real, entry.second.real) << entry.first;
    }
}

TEST(PrefStoreValues, SettersReplaceTheType) {
    PrefStore store;
    store.SetInt("K", 1);
    store.SetString("K", "s");
    i32 n = 0;
    EXPECT_FALSE(store.GetInt("K", &n));
    store.SetDouble("K", 0.25);
    double d = 0;
    std::string s;
    EXPECT_FALSE(store.GetString("K", &s));
    EXPECT_TRUE(store.GetDouble("K", &d));
    EXPECT_EQ(d, 0.25);
}

TEST(PrefStoreValues, StringLists) {
    PrefStore store;
    store.SetStringList("Set", {"a", "b"});
    store.SetStringList("None", {});
    std::string s;
    EXPECT_TRUE(store.GetString("Set", &s));
    EXPECT_EQ(s, "a;b;");
    EXPECT_TRUE(store.GetString("None", &s));
    EXPECT_EQ(s, "");

    std::vector<std::string> list{"kept"};
    EXPECT_TRUE(store.GetStringList("Set", list));
    EXPECT_EQ(list, (std::vector<std::string>{"kept", "a", "b"}));
    list.clear();
    EXPECT_FALSE(store.GetStringList("None", list));
    EXPECT_TRUE(list.empty());

    // Written by hand without the final ';': the last element is kept.
    EXPECT_TRUE(store.Parse("Hand \"x;;y\"\nNumber 5\n"));
    EXPECT_TRUE(store.GetStringList("Hand", list));
    EXPECT_EQ(list, (std::vector<std::string>{"x", "", "y"}));
    EXPECT_FALSE(store.GetStringList("Number", list));
}

TEST(PrefStoreFiles, ProcessWideStoreReadsAndWritesItsFile) {
    TempDir dir;
    std::string saved_path = PrefsPath();
    SetPrefsPath(dir.file("res/prefs.txt"));
    Prefs().Clear();

    SetPrefInt("UseVSync", 1);
    EXPECT_FALSE(ReadPrefs());  // no file yet: defaults stay
    i32 n = 0;
    EXPECT_TRUE(GetPrefInt("UseVSync", &n) && n == 1);
    EXPECT_FALSE(WritePrefs());  // the res folder is missing

    WriteAll(dir.file("res/prefs.txt"), std::string("UseVSync 0\nShowSplash 1\n"));
    EXPECT_TRUE(ReadPrefs());
    EXPECT_TRUE(GetPrefInt("UseVSync", &n) && n == 0);
    SetPrefString("ZarnPath", "/z");
    SetPrefDouble("Zoom", 0.5);
    SetPrefStringList("CodexWorkingSet", {"a", "b"});
    EXPECT_TRUE(WritePrefs());
    EXPECT_EQ(ReadText(dir.file("res/prefs.txt")),
              "CodexWorkingSet \"a;b;\"\nShowSplash 1\nUseVSync 0\nZarnPath \"/z\"\nZoom 0.500000\n");

    std::vector<std::string> list;
    EXPECT_TRUE(GetPrefStringList("CodexWorkingSet", list));
    double d = 0;
    EXPECT_TRUE(GetPrefDouble("Zoom", &d) && d == 0.5);
    std::string s;
    EXPECT_TRUE(GetPrefString("ZarnPath", &s) && s == "/z");

    Prefs().Clear();
    SetPrefsPath(saved_path);
}

}  // namespace
}  // namespace pirn
