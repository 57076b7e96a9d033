#pragma once
// The 64-byte tag header in both layouts, field by field, for fixtures and
// the demo game. Defaults are what a fresh tag holds; tests set any field
// to a value of their own, including ones no reader should accept.

#include <string>
#include <vector>

#include "tools/fixture_bytes/big_endian_buffer.h"

namespace pirn::fixture {

constexpr u32 kTagHeaderBytes = 64;

// Current layout: 0 i16 identifier, 2 u8 flags, 3 u8 type, 4 name[32],
// 36 group, 40 id, 44 data offset, 48 data length, 52 user data, 56 u16
// version, 58 u8 foundation index, 59 u8 owner index, 60 signature 'zrn2'.
struct TagHeaderFields {
    u16 identifier = 0xFFFF;
    u8 flags = 0;
    u8 type = 0;
    std::string name;  // exactly 32 bytes: 32 characters leave no NUL
    u32 group = 0;
    u32 id = 0;
    u32 data_offset = kTagHeaderBytes;
    u32 data_length = 0;
    u32 user_data = 0;
    u16 version = 1;
    u8 foundation_index = 0xFF;
    u8 owner_index = 0xFF;
    u32 signature = FourCC("zrn2");
};

// Old layout: 0 name[32], 32 group, 36 id, 40 u32 version word (the low
// half is the version), 44 and 46 two unused u16, 48 data offset, 52 data
// length, 56 an unused u32, 60 signature 'zarn'.
struct OldTagHeaderFields {
    std::string name;  // exactly 32 bytes, as above
    u32 group = 0;
    u32 id = 0;
    u32 version_word = 1;
    u16 unused_a = 0;
    u16 unused_b = 0;
    u32 data_offset = kTagHeaderBytes;
    u32 data_length = 0;
    u32 unused_c = 0;
    u32 signature = FourCC("zarn");
};

void PutTagHeader(BigEndianBuffer& b, const TagHeaderFields& header);
void PutOldTagHeader(BigEndianBuffer& b, const OldTagHeaderFields& header);

// A loose tag file: the header (its offset 64 and length that of data),
// then the data.
std::vector<u8> TagFileBytes(TagHeaderFields header, const std::vector<u8>& data);
std::vector<u8> OldTagFileBytes(OldTagHeaderFields header, const std::vector<u8>& data);

}  // namespace pirn::fixture
