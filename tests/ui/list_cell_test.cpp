// Typed list cells: printing, formats, three-way comparison and the
// validation of edited text before it reaches a record.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "ui/list_cell.h"

namespace pirn {
namespace {

struct Record {
    u32 code;
    u8 small;
    u16 medium;
    i32 signedCount;
    char name[8];
    float ratio;
    double precise;
    i32 fixed;
    const char* label;
    std::string note;
};

ListColumn Column(u32 type, u32 size, size_t offset, u32 flags = 0, const char* format = "") {
    ListColumn c;
    c.type = type;
    c.fieldSize = size;
    c.fieldOffset = static_cast<u32>(offset);
    c.flags = flags;
    c.format = format;
    return c;
}

Record Sample() {
    Record r{};
    r.code = 0x6D657368;  // 'mesh'
    r.small = 200;
    r.medium = 65535;
    r.signedCount = -5;
    std::strcpy(r.name, "dune");
    r.ratio = 0.5f;
    r.precise = 2.25;
    r.fixed = 3 * 65536 + 32768;
    r.label = "pointed";
    r.note = "kept";
    return r;
}

TEST(ListCellTest, CellTextByType) {
    const Record r = Sample();
    struct Case {
        ListColumn column;
        const char* expected;
    } cases[] = {
        {Column(kColumnFourCC, 4, offsetof(Record, code)), "mesh"},
        {Column(kColumnCharArray, 8, offsetof(Record, name)), "dune"},
        {Column(kColumnStringPtr, sizeof(char*), offsetof(Record, label)), "pointed"},
        {Column(kColumnString, sizeof(std::string), offsetof(Record, note)), "kept"},
        {Column(kColumnInteger, 1, offsetof(Record, small)), "200"},
        {Column(kColumnInteger, 2, offsetof(Record, medium)), "65535"},
        {Column(kColumnInteger, 4, offsetof(Record, signedCount), ListColumn::kSigned), "-5"},
        {Column(kColumnInteger, 1, offsetof(Record, small), 0, "#%03d"), "#200"},
        {Column(kColumnReal, 4, offsetof(Record, ratio), 0, "%.2f"), "0.50"},
        {Column(kColumnReal, 8, offsetof(Record, precise)), "2.25"},
        {Column(kColumnFixed, 4, offsetof(Record, fixed), ListColumn::kSigned, "%.1f"), "3.5"},
        // A format that does not fit the field falls back to the type's own.
        {Column(kColumnInteger, 1, offsetof(Record, small), 0, "%s"), "200"},
        {Column(kColumnCharArray, 8, offsetof(Record, name), 0, "%d %s"), "dune"},
        {Column(kColumnNone, 0, 0), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatCell(c.column, &r), c.expected) << c.column.type;
}

TEST(ListCellTest, CharArrayWithoutTerminatorStopsAtTheField) {
    Record r = Sample();
    std::memcpy(r.name, "ABCDEFGH", 8);  // no NUL inside the field
    EXPECT_EQ(FormatCell(Column(kColumnCharArray, 8, offsetof(Record, name)), &r), "ABCDEFGH");
}

TEST(ListCellTest, FormatsMustTakeOneValueOfTheColumnKind) {
    EXPECT_TRUE(CellFormatFits("%s", kColumnString));
    EXPECT_TRUE(CellFormatFits("%-8.3s|", kColumnFourCC));
    EXPECT_TRUE(CellFormatFits("100%% %d", kColumnInteger));
    EXPECT_TRUE(CellFormatFits("%08.3f", kColumnFixed));
    EXPECT_FALSE(CellFormatFits("%d", kColumnString));
    EXPECT_FALSE(CellFormatFits("%s %s", kColumnString));
    EXPECT_FALSE(CellFormatFits("%*d", kColumnInteger));
    EXPECT_FALSE(CellFormatFits("%ld", kColumnInteger));
    EXPECT_FALSE(CellFormatFits("%n", kColumnInteger));
    EXPECT_FALSE(CellFormatFits("plain", kColumnInteger));
}

TEST(ListCellTest, UnsignedFieldsCompareThreeWayWithoutOverflow) {
    Record a = Sample(), b = Sample();
    a.code = 0xFFFFFFFFu;
    b.code = 1;
    const ListColumn code = Column(kColumnFourCC, 4, offsetof(Record, code));
    EXPECT_GT(CompareCells(code, &a, &b), 0);
    EXPECT_LT(CompareCells(code, &b, &a), 0);
    EXPECT_EQ(CompareCells(code, &a, &a), 0);

    Record c = Sample(), d = Sample();
    c.signedCount = static_cast<i32>(0x80000000u);
    d.signedCount = 0x7FFFFFFF;
    const ListColumn asUnsigned = Column(kColumnInteger, 4, offsetof(Record, signedCount));
    const ListColumn asSigned = Column(kColumnInteger, 4, offsetof(Record, signedCount), ListColumn::kSigned);
    EXPECT_GT(CompareCells(asUnsigned, &c, &d), 0);
    EXPECT_LT(CompareCells(asSigned, &c, &d), 0);

    Record e = Sample(), f = Sample();
    e.precise = -1e300;
    f.precise = 1e300;
    EXPECT_LT(CompareCells(Column(kColumnReal, 8, offsetof(Record, precise)), &e, &f), 0);
}

TEST(ListCellTest, SortKeysAgreeWithTheComparison) {
    const char* names[] = {"", "a", "ab", "abc", "abcdefgh", "abcdefgz", "b", "\xC0x", "zzzzzzz"};
    const i32 numbers[] = {0, 1, -1, 255, 65535, 0x7FFFFFFF, static_cast<i32>(0x80000000u), -65536};
    std::vector<Record> records;
    for (const char* n : names)
        for (i32 v : numbers) {
            Record r = Sample();
            std::memset(r.name, 0, sizeof r.name);
            std::memcpy(r.name, n, std::min<size_t>(std::strlen(n), 8));
            r.label = n;
            r.note = n;
            r.signedCount = v;
            r.code = static_cast<u32>(v);
            r.fixed = v;
            records.push_back(r);
        }
    for (u32 flags : {0u, u32(ListColumn::kDescending), u32(ListColumn::kSigned),
                      u32(ListColumn::kSigned | ListColumn::kDescending)}) {
        const ListColumn columns[] = {
            Column(kColumnCharArray, 8, offsetof(Record, name), flags),
            Column(kColumnStringPtr, sizeof(char*), offsetof(Record, label), flags),
            Column(kColumnString, sizeof(std::string), offsetof(Record, note), flags),
            Column(kColumnInteger, 4, offsetof(Record, signedCount), flags),
            Column(kColumnFourCC, 4, offsetof(Record, code), flags),
            Column(kColumnFixed, 4, offsetof(Record, fixed), flags),
        };
        for (const ListColumn& c : columns)
            for (const Record& a : records)
                for (const Record& b : records) {
                    const u64 ka = CellSortKey(c, &a), kb = CellSortKey(c, &b);
                    if (ka == kb) continue;
                    int r = CompareCells(c, &a, &b);
                    if (c.flags & ListColumn::kDescending) r = -r;
                    ASSERT_EQ(ka < kb, r < 0) << c.type << " " << flags << " " << a.name << "/" << b.name;
                }
    }
}

TEST(ListCellTest, EditedTextIsValidatedBeforeWriting) {
    struct Case {
        ListColumn column;
        const char* text;
        bool written;
    } cases[] = {
        {Column(kColumnInteger, 1, offsetof(Record, small)), "255", true},
        {Column(kColumnInteger, 1, offsetof(Record, small)), "300", false},
        {Column(kColumnInteger, 1, offsetof(Record, small)), "-1", false},
        {Column(kColumnInteger, 1, offsetof(Record, small)), "abc", false},
        {Column(kColumnInteger, 1, offsetof(Record, small)), "", false},
        {Column(kColumnInteger, 1, offsetof(Record, small)), "12x", false},
        {Column(kColumnInteger, 2, offsetof(Record, medium)), "65536", false},
        {Column(kColumnInteger, 4, offsetof(Record, signedCount), ListColumn::kSigned), "-2147483648", true},
        {Column(kColumnInteger, 4, offsetof(Record, signedCount), ListColumn::kSigned), "2147483648", false},
        {Column(kColumnInteger, 4, offsetof(Record, signedCount)), "99999999999999999999", false},
        {Column(kColumnFourCC, 4, offsetof(Record, code)), "dmap", true},
        {Column(kColumnFourCC, 4, offsetof(Record, code)), "abc", false},
        {Column(kColumnFourCC, 4, offsetof(Record, code)), "abcde", false},
        {Column(kColumnCharArray, 8, offsetof(Record, name)), "seven77", true},
        {Column(kColumnCharArray, 8, offsetof(Record, name)), "eight888", false},
        {Column(kColumnReal, 4, offsetof(Record, ratio)), "1e39", false},
        {Column(kColumnReal, 4, offsetof(Record, ratio)), "inf", false},
        {Column(kColumnReal, 4, offsetof(Record, ratio)), "1.5", true},
        {Column(kColumnFixed, 2, offsetof(Record, medium)), "0.5", true},
        {Column(kColumnFixed, 2, offsetof(Record, medium)), "1", false},  // 65536 does not fit 16 bits
        {Column(kColumnStringPtr, sizeof(char*), offsetof(Record, label)), "x", false},
    };
    for (const Case& c : cases) {
        Record r = Sample();
        const Record before = r;
        const bool written = WriteCell(c.column, &r, c.text) == kCellWritten;
        EXPECT_EQ(written, c.written) << c.text;
        if (!written) {
            EXPECT_EQ(r.small, before.small);
            EXPECT_EQ(r.medium, before.medium);
            EXPECT_EQ(r.signedCount, before.signedCount);
            EXPECT_EQ(r.code, before.code);
            EXPECT_EQ(std::memcmp(r.name, before.name, 8), 0) << c.text;
            EXPECT_EQ(r.ratio, before.ratio);
        }
    }
}

TEST(ListCellTest, WrittenValuesReadBack) {
    Record r = Sample();
    ASSERT_EQ(WriteCell(Column(kColumnFourCC, 4, offsetof(Record, code)), &r, "dmap"), kCellWritten);
    EXPECT_EQ(r.code, 0x646D6170u);
    ASSERT_EQ(WriteCell(Column(kColumnCharArray, 8, offsetof(Record, name)), &r, "ab"), kCellWritten);
    EXPECT_EQ(std::memcmp(r.name, "ab\0\0\0\0\0\0", 8), 0);
    ASSERT_EQ(WriteCell(Column(kColumnFixed, 4, offsetof(Record, fixed), ListColumn::kSigned), &r, "-1.25"),
              kCellWritten);
    EXPECT_EQ(r.fixed, -81920);
    ASSERT_EQ(WriteCell(Column(kColumnString, sizeof(std::string), offsetof(Record, note)), &r, "new"), kCellWritten);
    EXPECT_EQ(r.note, "new");
    EXPECT_EQ(CellEditLength(Column(kColumnCharArray, 8, 0)), 7);
    EXPECT_EQ(CellEditLength(Column(kColumnFourCC, 4, 0)), 4);
    EXPECT_EQ(CellEditLength(Column(kColumnStringPtr, sizeof(char*), 0)), 256);
}

}  // namespace
}  // namespace pirn
