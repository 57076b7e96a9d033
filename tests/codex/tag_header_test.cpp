#include "codex/tag_header.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/scratch_stream.h"
#include "tools/fixture_bytes/tag_header_bytes.h"

using namespace pirn;

namespace {

using fixture::SetU32At;

// Current layout, from the field table: every field set to a distinct value.
std::vector<u8> CurrentHeaderBytes(u32 data_length) {
    fixture::TagHeaderFields h;
    h.identifier = 0xFFFF;
    h.flags = 0x12;
    h.type = 0x34;
    h.name = "gatehouse";
    h.group = MakeFourCC("mesh");
    h.id = MakeFourCC("gt01");
    h.data_offset = 64;
    h.data_length = data_length;
    h.user_data = 0xDEADBEEF;
    h.version = 0x0203;
    h.foundation_index = 5;
    h.owner_index = 6;
    h.signature = MakeFourCC("zrn2");
    fixture::BigEndianBuffer b;
    fixture::PutTagHeader(b, h);
    std::vector<u8> bytes = b.bytes();
    bytes[35] = 'X';  // the name's last byte: must read back as 0
    return bytes;
}

// Old layout: name at 0, group 32, id 36, version word 40, two unused u16,
// offset 48, length 52, unused 56, 'zarn' at 60.
std::vector<u8> OldHeaderBytes(u32 data_length) {
    fixture::OldTagHeaderFields h;
    h.name = "old keep";
    h.group = MakeFourCC("soun");
    h.id = MakeFourCC("ok01");
    h.version_word = 0x00010002;
    h.unused_a = 0xAAAA;
    h.unused_b = 0xBBBB;
    h.data_offset = 64;
    h.data_length = data_length;
    h.unused_c = 0xCCCCCCCC;
    h.signature = MakeFourCC("zarn");
    fixture::BigEndianBuffer b;
    fixture::PutOldTagHeader(b, h);
    std::vector<u8> bytes = b.bytes();
    bytes[31] = 'Y';  // the name's last byte: forced to zero on reading
    return bytes;
}

std::vector<u8> Truncated(std::vector<u8> bytes, size_t n) {
    bytes.resize(n);
    return bytes;
}

std::FILE* StreamWith(const std::vector<u8>& bytes) {
    std::FILE* f = pirn::OpenScratchFile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

std::vector<u8> Written(const TagHeader* headers, u32 n) {
    std::FILE* f = pirn::OpenScratchFile();
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
    fixture::TagHeaderFields converted;
    converted.identifier = 0;
    converted.name = "old keep";
    converted.group = MakeFourCC("soun");
    converted.id = MakeFourCC("ok01");
    converted.data_length = 7;
    converted.version = 2;
    converted.foundation_index = 0;
    converted.owner_index = 0;
    fixture::BigEndianBuffer expected;
    fixture::PutTagHeader(expected, converted);
    EXPECT_EQ(Written(&h[0], 1), expected.bytes());
}

TEST(TagHeader, UnreadableHeadersAreRefused) {
    TagHeader h[2];
    std::vector<u8> bad = CurrentHeaderBytes(0);
    SetU32At(bad, 60, MakeFourCC("dng2"));
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
        {"...", false, ""},    {" ", false, ""},           {"../etc/passwd", true, ".._etc_passwd"},
        {"a\\b", true, "a_b"}, {"Gate House", true, "Gate House"},
        // Device names get a '_' in front, within the 31 characters of a name.
        {"con", true, "_con"}, {"LPT1.x", true, "_LPT1.x"},
        {"NUL.abcdefghijklmnopqrstuvwxyz.", true, "_NUL.abcdefghijklmnopqrstuvwxyz"},
        {"COM2.abcdefghijklmnopqrstuvwxyz", true, "_COM2.abcdefghijklmnopqrstuvwxy"},
        {"tab\there", true, "tab_here"},
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
    EXPECT_FALSE(IsSafePathComponent("Con"));
    EXPECT_TRUE(IsSafePathComponent("_Con"));
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
