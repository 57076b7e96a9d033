#include "platform/os/key_translation.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/os/key_codes.h"
#include "platform/os/library_keys.h"

namespace pirn {
namespace {

namespace lk = library_key;

struct KeyCase {
    int libraryKey;
    int code;
};

TEST(KeyTranslation, MapsEveryNamedAndPrintableKey) {
    const KeyCase cases[] = {
        {lk::kA, 65},          {lk::kZ, 90},           {'a', 65},  // lower case is upper-cased
        {lk::k0, 48},          {lk::k9, 57},           {lk::kSpace, 32},
        {lk::kApostrophe, 39}, {lk::kGraveAccent, 96}, {lk::kBackslash, 92},
        {lk::kEscape, 97},     {lk::kF1, 98},          {lk::kF1 + 4, 102},
        {lk::kF15, 112},       {lk::kTab, 113},        {lk::kLeftShift, 115},
        {lk::kRightShift, 116}, {lk::kLeftControl, 118}, {lk::kRightControl, 119},
        {lk::kLeftAlt, 124},   {lk::kRightAlt, 125},   {lk::kBackspace, 127},
        {lk::kEnter, 128},     {lk::kInsert, 129},     {lk::kHome, 130},
        {lk::kPageUp, 131},    {lk::kPageDown, 132},   {lk::kEnd, 133},
        {lk::kDelete, 134},    {lk::kUp, 135},         {lk::kDown, 136},
        {lk::kLeft, 137},      {lk::kRight, 138},      {lk::kKpDivide, 140},
        {lk::kKpMultiply, 141}, {lk::kKpSubtract, 142}, {lk::kKpAdd, 143},
        {lk::kKpEnter, 144},   {lk::kKpDecimal, 145},  {lk::kKp0, 146},
        {lk::kKp0 + 7, 153},   {lk::kKp9, 155},
    };
    for (const KeyCase& c : cases)
        EXPECT_EQ(OsTranslateKey(c.libraryKey), c.code) << "library key " << c.libraryKey;
}

TEST(KeyTranslation, KeysWithoutProgramCodeAreRefused) {
    const int refused[] = {lk::kUnknown,    lk::kF16,       lk::kF25,     lk::kKpEqual,
                           lk::kLeftSuper,  lk::kRightSuper, lk::kMenu,   lk::kCapsLock,
                           lk::kNumLock,    lk::kScrollLock, lk::kPause,  lk::kPrintScreen,
                           lk::kWorld1,     lk::kWorld2,    0,            31,
                           lk::kLast + 1,   100000};
    for (int key : refused) EXPECT_EQ(OsTranslateKey(key), kKeyNone) << "library key " << key;
}

// Every key number the library defines.
std::vector<int> LibraryKeys() {
    std::vector<int> keys = {32, 39, 59, 61, 96, lk::kWorld1, lk::kWorld2};
    auto range = [&](int first, int last) {
        for (int k = first; k <= last; ++k) keys.push_back(k);
    };
    range(44, 57);
    range(65, 93);
    range(256, 269);
    range(280, 284);
    range(290, 314);
    range(320, 336);
    range(340, 348);
    return keys;
}

// Every code is below 157, none is one of the codes reserved for the
// window system's folded modifiers or unused, and no two library keys share
// a code.
TEST(KeyTranslation, CodesStayInRangeAndAreDistinct) {
    const std::set<int> neverProduced = {114, 117, 120, 121, 122, 123, 126, 139, 156};
    std::map<int, int> libraryKeyOfCode;
    for (int key : LibraryKeys()) {
        int code = OsTranslateKey(key);
        if (code == kKeyNone) continue;
        EXPECT_GE(code, 32) << key;
        EXPECT_LT(code, kKeyCodeLimit) << key;
        EXPECT_EQ(neverProduced.count(code), 0u) << "library key " << key << " gave " << code;
        auto inserted = libraryKeyOfCode.emplace(code, key);
        EXPECT_TRUE(inserted.second) << "keys " << inserted.first->second << " and " << key
                                     << " both give " << code;
    }
    // Numbers the library never sends must not alias named keys.
    for (int key = 123; key <= 160; ++key) EXPECT_EQ(OsTranslateKey(key), kKeyNone) << key;
}

TEST(KeyTranslation, EveryProducedCodeHasADistinctName) {
    std::set<std::string> names;
    for (int key : LibraryKeys()) {
        int code = OsTranslateKey(key);
        if (code == kKeyNone) continue;
        std::string name = KeyCodeName(code);
        EXPECT_FALSE(name.empty()) << code;
        EXPECT_TRUE(names.insert(name).second) << "duplicate name " << name;
    }
    EXPECT_STREQ(KeyCodeName(65), "A");
    EXPECT_STREQ(KeyCodeName('\\'), "\\");
    EXPECT_STREQ(KeyCodeName('`'), "`");
    EXPECT_STREQ(KeyCodeName(153), "Keypad 7");
    EXPECT_STREQ(KeyCodeName(kKeyShift), "Shift");
    EXPECT_STREQ(KeyCodeName(139), "");
    EXPECT_STREQ(KeyCodeName(-5), "");
}

}  // namespace
}  // namespace pirn
