#include "codex/tag_header.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace pirn;

namespace {

void PutU16(std::vector<u8>& b, size_t at, u16 v) {
    b[at] = static_cast<u8>(v >> 8);
    b[at + 1] = static_cast<u8>(v);
}
void PutU32(std::vector<u8>& b, size_t at, u32 v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<u8>(v >> (24 - 8 * i));
}
void PutText(std::vector<u8>& b, size_t at, const char* text) { std::memcpy(&b[at], text, std::strlen(text)); }

// Current layout, from the field table: every field set to a distinct value.
std::vector<u8> CurrentHeaderBytes(u32 data_length) {
    std::vector<u8> b(64, 0);
    PutU16(b, 0, 0xFFFF);
    b[2] = 0x12;
    b[3] = 0x34;
    PutText(b, 4, "gatehouse");
    b[35] = 'X';  // must read back as 0
    PutU32(b, 36, MakeFourCC("mesh"));
    PutU32(b, 40, MakeFourCC("gt01"));
    PutU32(b, 44, 64);
    PutU32(b, 48, data_length);
    PutU32(b, 52, 0xDEADBEEF);
    PutU16(b, 56, 0x0203);
    b[58] = 5;
    b[59] = 6;
    PutU32(b, 60, MakeFourCC("zrn2"));
    return b;
}

// Old layout: name at 0, group 32, id 36, version word 40, two unused u16,
// offset 48, length 52, unused 56, 'zarn' at 60.
std::vector<u8> OldHeaderBytes(u32 data_length) {
    std::vector<u8> b(64, 0);
    PutText(b, 0, "old keep");
    b[31] = 'Y';  // forced to zero on reading
    PutU32(b, 32, MakeFourCC("soun"));
    PutU32(b, 36, MakeFourCC("ok01"));
    PutU32(b, 40, 0x00010002);
    PutU16(b, 44, 0xAAAA);
    PutU16(b, 46, 0xBBBB);
    PutU32(b, 48, 64);
    PutU32(b, 52, data_length);
    PutU32(b, 56, 0xCCCCCCCC);
    PutU32(b, 60, MakeFourCC("zarn"));
    return b;
}

std::vector<u8> Truncated(std::vector<u8> bytes, size_t n) {
    bytes.resize(n);
    return bytes;
}

std::FILE* StreamWith(const std::vector<u8>& bytes) {
    std::FILE* f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

std::vector<u8> Written(const TagHeader* headers, u32 n) {
    std::FILE* f = std::tmpfile();
    EXPECT_EQ(WriteTagHeaders(headers, f, n), 64u * n);
    std::vector<u8> out(static_cast<size_t>(std::ftell(f)));
    std::rewind(f);
    EXPECT_EQ(std::fread(out.data(), 1, out.size(), f), out.size());
    std::fclose(f);
    return out;
}

}  // namespace

TEST(TagHeader, ReadsCurrentLayoutFieldByField) {
    std::vector<u8> bytes = CurrentHeaderBytes(10);
    std::memset(&bytes[4], 'n', 32);  // a 32-character name keeps only 31
    std::FILE* f = StreamWith(bytes);
    TagHeader h;
    ASSERT_EQ(ReadTagHeaders(&h, f, 1), 64u);
    std::fclose(f);
    EXPECT_EQ(h.identifier, -1);
    EXPECT_EQ(h.flags, 0x12);
    EXPECT_EQ(h.type, 0x34);
    EXPECT_EQ(std::string(h.name), std::string(31, 'n'));
    EXPECT_EQ(h.group, 0x6D657368u);
    EXPECT_EQ(h.tag_id, MakeFourCC("gt01"));
    EXPECT_EQ(h.data_offset, 64u);
    EXPECT_EQ(h.data_length, 10u);
    EXPECT_EQ(h.user_data, 0xDEADBEEFu);
    EXPECT_EQ(h.version, 0x0203);
    EXPECT_EQ(h.foundation_index, 5);
    EXPECT_EQ(h.owner_index, 6);
    EXPECT_EQ(h.signature, kTagHeaderSignature);
    // Written back unchanged (byte 35 now zero).
    bytes[35] = 0;
    EXPECT_EQ(Written(&h, 1), bytes);
}

TEST(TagHeader, OldLayoutIsConvertedOnReading) {
    std::vector<u8> two = OldHeaderBytes(7);
    std::vector<u8> second = OldHeaderBytes(9);
    second[60] = 'q';  // only the first header's signature decides
    two.insert(two.end(), second.begin(), second.end());
    std::FILE* f = StreamWith(two);
    TagHeader h[2];
    ASSERT_EQ(ReadTagHeaders(h, f, 2), 128u);
    std::fclose(f);
    EXPECT_STREQ(h[0].name, "old keep");
    EXPECT_EQ(h[0].name[31], 0);
    EXPECT_EQ(h[0].group, MakeFourCC("soun"));
    EXPECT_EQ(h[0].tag_id, MakeFourCC("ok01"));
    EXPECT_EQ(h[0].version, 2);
    EXPECT_EQ(h[0].signature, kOldTagHeaderSignature);
    EXPECT_EQ(h[0].user_data, 0u);
    EXPECT_EQ(h[0].identifier, 0);
    EXPECT_EQ(h[0].flags, 0);
    EXPECT_EQ(h[0].foundation_index, 0);
    EXPECT_EQ(h[0].owner_index, 0);
    EXPECT_EQ(h[0].data_offset, 64u);
    EXPECT_EQ(h[0].data_length, 7u);
    EXPECT_EQ(h[1].data_length, 9u);

    f = StreamWith(OldHeaderBytes(3));
    TagHeader viaOld;
    ASSERT_EQ(ReadOldTagHeaders(&viaOld, f, 1), 64u);
    std::fclose(f);
    EXPECT_EQ(std::memcmp(&viaOld, &h[0], 36), 0);
    EXPECT_EQ(viaOld.version, 2);

    // A converted header is written in the current layout with 'zrn2', so it
    // can never be misread as the old layout later.
    std::vector<u8> expected(64, 0);
    PutText(expected, 4, "old keep");
    PutU32(expected, 36, MakeFourCC("soun"));
    PutU32(expected, 40, MakeFourCC("ok01"));
    PutU32(expected, 44, 64);
    PutU32(expected, 48, 7);
    PutU16(expected, 56, 2);
    PutU32(expected, 60, MakeFourCC("zrn2"));
    EXPECT_EQ(Written(&h[0], 1), expected);
}

TEST(TagHeader, UnreadableHeadersAreRefused) {
    TagHeader h[2];
    std::vector<u8> bad = CurrentHeaderBytes(0);
    PutU32(bad, 60, MakeFourCC("dng2"));
    std::FILE* f = StreamWith(bad);
    EXPECT_EQ(ReadTagHeaders(h, f, 1), 0u) << "unknown signature";
    std::fclose(f);
    f = StreamWith(CurrentHeaderBytes(0));
    EXPECT_EQ(ReadTagHeaders(h, f, 0), 0u);
    EXPECT_EQ(ReadTagHeaders(h, f, 2), 0u) << "short read";
    std::fclose(f);
    f = StreamWith(std::vector<u8>(40, 0));
    EXPECT_EQ(ReadOldTagHeaders(h, f, 1), 0u);
    std::fclose(f);
}

TEST(TagHeader, ParseIdentifiesTagFiles) {
    struct Case {
        const char* what;
        std::vector<u8> bytes;
        u64 file_size;
        bool is_tag;
    } cases[] = {
        {"current, length matches", CurrentHeaderBytes(10), 74, true},
        {"current, length differs", CurrentHeaderBytes(10), 75, false},
        {"old layout converted before the check", OldHeaderBytes(5), 69, true},
        {"old layout, length differs", OldHeaderBytes(5), 70, false},
        {"no signature", std::vector<u8>(64, 0), 64, false},
        {"fewer than 64 bytes", Truncated(CurrentHeaderBytes(0), 63), 63, false},
        // 10 - 64 wrapped to 32 bits is 0xFFFFFFCA: a file shorter than a
        // header must not match a length that only an underflow produces.
        {"file shorter than a header", CurrentHeaderBytes(0xFFFFFFCAu), 10, false},
        {"empty data", CurrentHeaderBytes(0), 64, true},
    };
    for (const Case& c : cases) {
        TagHeader h;
        EXPECT_EQ(ParseTagHeader(&h, c.bytes.data(), c.bytes.size(), c.file_size), c.is_tag) << c.what;
    }
    TagHeader h;
    const std::vector<u8> old = OldHeaderBytes(5);
    ASSERT_TRUE(ParseTagHeader(&h, old.data(), old.size(), 69));
    EXPECT_EQ(h.version, 2);
    EXPECT_EQ(h.group, MakeFourCC("soun"));
    EXPECT_TRUE(HasTagHeaderSignature(h));
}

TEST(TagHeader, NameRules) {
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {std::string(32, 'k'), std::string(31, 'k')},
        {"a/b:c.", "a_b_c"},
        {". .", "."},
        {"\\/|\"<>*?:", "_________"},
        {"trail  . .", "trail"},
        {"  lead", "  lead"},
        {"", ""},
        {std::string(30, 'x') + " .z", std::string(30, 'x')},  // cut to 31, then trimmed
    };
    for (const Case& c : cases) {
        TagHeader h;
        std::memset(h.name, '#', sizeof h.name);
        SetTagHeaderName(&h, c.in.c_str());
        EXPECT_EQ(std::string(h.name), c.out) << "'" << c.in << "'";
        for (size_t i = c.out.size(); i < 32; ++i) EXPECT_EQ(h.name[i], 0) << "byte " << i << " of '" << c.in << "'";
        EXPECT_EQ(CleanTagName(c.in.c_str()), c.out);
    }
}

TEST(TagHeader, SafePathComponents) {
    struct Case {
        const char* in;
        bool ok;
        const char* out;
    } cases[] = {
        {"", false, ""},       {".", false, ""},           {"..", false, ""},  // ".." trims to "."
        {"...", false, ""},    {" ", true, " "},           {"../etc/passwd", true, ".._etc_passwd"},
        {"a\\b", true, "a_b"}, {"Gate House", true, "Gate House"},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(MakeSafePathComponent(c.in, &out), c.ok) << "'" << c.in << "'";
        EXPECT_EQ(out, c.out);
    }
    EXPECT_TRUE(IsSafePathComponent("Gate House"));
    EXPECT_FALSE(IsSafePathComponent("a/b"));
    EXPECT_FALSE(IsSafePathComponent(".."));
    EXPECT_FALSE(IsSafePathComponent("name."));
    EXPECT_FALSE(IsSafePathComponent(std::string("a\0b", 3)));
    EXPECT_FALSE(IsSafePathComponent(std::string(40, 'x')));
}

TEST(TagHeader, FreshHeaderDefaults) {
    const TagHeader h = MakeTagHeader(MakeFourCC(".256"), MakeFourCC("abcd"), "new:tag.");
    EXPECT_EQ(h.identifier, -1);
    EXPECT_EQ(h.type, 0);
    EXPECT_STREQ(h.name, "new_tag");
    EXPECT_EQ(h.group, 0x2E323536u);
    EXPECT_EQ(h.data_offset, 64u);
    EXPECT_EQ(h.version, 1);
    EXPECT_EQ(h.foundation_index, 0xFF);
    EXPECT_EQ(h.owner_index, 0xFF);
    EXPECT_EQ(h.signature, MakeFourCC("zrn2"));
    u32 code = 0;
    EXPECT_TRUE(ParseFourCC(".256", &code));
    EXPECT_EQ(code, h.group);
    EXPECT_EQ(FourCCToText(h.tag_id), "abcd");
    EXPECT_FALSE(ParseFourCC("abc", &code));
}
