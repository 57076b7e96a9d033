#pragma once
// A struct definition: the members of one record in order, packed without
// alignment, the record's byte size and its StructLayout for the byte-order
// engine. Built from one `struct` element of a definition file.

#include <memory>
#include <string>
#include <vector>

#include "editors/struct_member.h"
#include "platform/types.h"

namespace tinyxml2 {
class XMLElement;
}

namespace pirn {

// Largest record a layout's size word can describe (bit 15 is the pointer flag).
constexpr u32 kMaxStructSize = 0x7FFF;

class StructDefinition {
public:
    std::string name;
    u32 size = 0;                 // sum of count x element size over the members
    mutable std::vector<u16> layout;  // a cache: empty until first needed (StructLayoutOf)
    std::vector<std::unique_ptr<StructMember>> members;  // document order
    std::string file;             // where it was defined (for messages)
    int line = 0;

    // Appends a member at the current end of the record.
    void AppendMember(std::unique_ptr<StructMember> member);
};

// The definition of one `struct` element, or null: without a `name`
// (refusal text empty: such elements are passed over), or refused when a
// child is not a valid member or the record would pass kMaxStructSize bytes
// (the refusal says why and where). The slips of the members it kept are
// added to report->slips. Substructs are looked up in registry.
std::unique_ptr<StructDefinition> BuildStructDefinition(const tinyxml2::XMLElement& element,
                                                        const StructRegistry& registry, DefinitionReport* report);

// Appends the definition's layout words: its size, then per member its count
// and layout code, a substruct's code 32 followed by the nested layout.
// Members that take no bytes add no run (a run of nothing would confuse the
// walk of an enclosing layout).
void BuildStructLayout(const StructDefinition& definition, std::vector<u16>& layout);
// The definition's layout, built on first use.
const std::vector<u16>& StructLayoutOf(const StructDefinition& definition);

// First member of that name (exact comparison), or null.
const StructMember* FindStructMember(const StructDefinition& definition, const std::string& name);
// Whether the member is one of the definition's own.
bool StructHasMember(const StructDefinition& definition, const StructMember* member);

}  // namespace pirn
