#pragma once
// The bytes of one record of a struct definition, and their reading and
// writing through the definition's layout. A record either owns its bytes
// (zero-filled when made) or is a view of bytes held elsewhere (an element of
// a parent record's substruct array).

#include <cstdio>
#include <vector>

#include "platform/types.h"

namespace pirn {

class StructDefinition;
class StructMember;

class StructData {
public:
    // Owned, zero-filled bytes of the definition's size.
    explicit StructData(const StructDefinition& definition);
    // A view of size bytes at `bytes`, which must outlive it.
    StructData(const StructDefinition& definition, u8* bytes);
    StructData(const StructData&) = delete;
    StructData& operator=(const StructData&) = delete;

    const StructDefinition& definition() const { return *definition_; }
    u8* data() { return data_; }
    const u8* data() const { return data_; }
    u32 size() const;
    bool owns_bytes() const { return !buffer_.empty(); }

private:
    const StructDefinition* definition_;
    std::vector<u8> buffer_;
    u8* data_;
};

// One record from the stream into the bytes; the bytes read, 0 on failure
// (a short read; a struct of no bytes reads nothing and also gives 0).
u32 ReadStruct(StructData& record, std::FILE* stream);
// One record to the stream; the bytes written, 0 on failure.
u32 WriteStruct(const StructData& record, std::FILE* stream);

// Where the member's first element is.
u8* GetMemberAddress(StructData& record, const StructMember& member);
const u8* GetMemberAddress(const StructData& record, const StructMember& member);
// The member's first element zero-extended from 1, 2 or 4 bytes; 0 for any
// other element size.
u32 ReadMemberRaw(const StructData& record, const StructMember& member);

}  // namespace pirn
