#include "tools/fixture_bytes/tag_header_bytes.h"

namespace pirn::fixture {

void PutTagHeader(BigEndianBuffer& b, const TagHeaderFields& h) {
    b.PutU16(h.identifier);
    b.PutU8(h.flags);
    b.PutU8(h.type);
    b.PutChars(h.name, 32);
    b.PutU32(h.group);
    b.PutU32(h.id);
    b.PutU32(h.data_offset);
    b.PutU32(h.data_length);
    b.PutU32(h.user_data);
    b.PutU16(h.version);
    b.PutU8(h.foundation_index);
    b.PutU8(h.owner_index);
    b.PutU32(h.signature);
}

void PutOldTagHeader(BigEndianBuffer& b, const OldTagHeaderFields& h) {
    b.PutChars(h.name, 32);
    b.PutU32(h.group);
    b.PutU32(h.id);
    b.PutU32(h.version_word);
    b.PutU16(h.unused_a);
    b.PutU16(h.unused_b);
    b.PutU32(h.data_offset);
    b.PutU32(h.data_length);
    b.PutU32(h.unused_c);
    b.PutU32(h.signature);
}

std::vector<u8> TagFileBytes(TagHeaderFields header, const std::vector<u8>& data) {
    header.data_offset = kTagHeaderBytes;
    header.data_length = u32(data.size());
    BigEndianBuffer b;
    PutTagHeader(b, header);
    b.PutBytes(data);
    return b.bytes();
}

std::vector<u8> OldTagFileBytes(OldTagHeaderFields header, const std::vector<u8>& data) {
    header.data_offset = kTagHeaderBytes;
    header.data_length = u32(data.size());
    BigEndianBuffer b;
    PutOldTagHeader(b, header);
    b.PutBytes(data);
    return b.bytes();
}

}  // namespace pirn::fixture
