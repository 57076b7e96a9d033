#include "platform/strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/int_math.h"
#include "platform/rect16.h"

using namespace pirn;

TEST(Strings, FormatStringIsBoundedTo4095Characters) {
    EXPECT_EQ(FormatString("%s %d 0x%x", "tag", 7, 255u), "tag 7 0xff");
    const std::string longText(5000, 'x');
    const std::string out = FormatString("%s!", longText.c_str());
    EXPECT_EQ(out.size(), 4095u);
    EXPECT_EQ(out, std::string(4095, 'x'));
    EXPECT_EQ(FormatString("%s", std::string(4095, 'y').c_str()).size(), 4095u);
}

TEST(Strings, CompareNoCaseN) {
    EXPECT_EQ(CompareNoCaseN("Mesh", "MESH", 4), 0);
    EXPECT_EQ(CompareNoCaseN("abc", "abd", 2), 0);
    EXPECT_LT(CompareNoCaseN("abc", "abd", 3), 0);
    EXPECT_EQ(CompareNoCaseN("x", "y", 0), 0);
    EXPECT_EQ(CompareNoCaseN("ab", "AB", 10), 0) << "stops after the NUL";
    EXPECT_GT(CompareNoCaseN("abc", "ab", 10), 0);
}

TEST(Strings, SearchLowerAndBoundedCopy) {
    EXPECT_TRUE(ContainsText("ruk made this tag", "made"));
    EXPECT_FALSE(ContainsText("ruk", "Ruk"));
    EXPECT_EQ(ToLowerCopy("AbC.256"), "abc.256");
    EXPECT_EQ(ToLowerCopy("ABCDEF", 3), "abc");

    char buf[5];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(CopyStringBounded(buf, "abcdefg", sizeof buf), 7u);  // >= 5: cut
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(CopyStringBounded(buf, "ab", sizeof buf), 2u);
    EXPECT_STREQ(buf, "ab");
    buf[0] = '#';
    EXPECT_EQ(CopyStringBounded(buf, "ab", 0), 2u);
    EXPECT_EQ(buf[0], '#') << "n = 0 copies nothing";

    char* block = static_cast<char*>(CopyToNewBlock("xyz", 3));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, "xyz", 3), 0);
    FreeAndNull(block);
    EXPECT_EQ(block, nullptr);
    void* empty = CopyToNewBlock(nullptr, 0);
    EXPECT_NE(empty, nullptr) << "an empty copy is not a failure";
    FreeAndNull(empty);
}

TEST(IntMath, PowersLogsModuloAndDivision) {
    const std::pair<u32, u32> powers[] = {{0, 0}, {1, 1}, {2, 2}, {3, 4}, {5, 8}, {17, 32}, {64, 64},
                                          {0x80000000u, 0x80000000u}, {0x80000001u, 0}};
    for (auto [n, p] : powers) EXPECT_EQ(NextPowerOfTwo(n), p) << n;
    const std::pair<u32, u32> logs[] = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {1024, 10}, {0xFFFFFFFFu, 31}};
    for (auto [n, l] : logs) EXPECT_EQ(FloorLog2(n), l) << n;
    EXPECT_EQ(PositiveModulo(7, 3), 1);
    EXPECT_EQ(PositiveModulo(-7, 3), 2);
    EXPECT_EQ(PositiveModulo(-3, 3), 0);
    EXPECT_EQ(IntDivide(7, 2, false), 3);
    EXPECT_EQ(IntDivide(7, 2, true), 4);
    EXPECT_EQ(IntDivide(8, 2, true), 4);
    EXPECT_EQ(IntDivide(-7, 2, true), -3);
    EXPECT_EQ(IntDivide(5, 0, true), 0) << "no division by zero";
}

namespace {
struct TestRect {
    i32 left, top, right, bottom;
};
}  // namespace

TEST(Rect16, PackClampsEverySideAndUnpackSignExtends) {
    const Rect16 r = PackRect16(TestRect{-40000, 50000, 70000, -70000});
    EXPECT_EQ(r.left, -32768);
    EXPECT_EQ(r.top, 32767);
    EXPECT_EQ(r.right, 32767);
    EXPECT_EQ(r.bottom, -32768);
    const Rect16 small = PackRect16(TestRect{1, -2, 300, 400});
    EXPECT_EQ(small.top, -2);
    EXPECT_EQ(small.left, 1);
    const TestRect back = UnpackRect16<TestRect>(small);
    EXPECT_EQ(back.left, 1);
    EXPECT_EQ(back.top, -2);
    EXPECT_EQ(back.right, 300);
    EXPECT_EQ(back.bottom, 400);
}
