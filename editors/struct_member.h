#pragma once
// One member of a struct definition: a run of `count` elements of one member
// type at a packed offset in the record. Plain members, tag references and
// enumerations each read their own attributes from the definition element.

#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace tinyxml2 {
class XMLElement;
}

namespace pirn {

class StructDefinition;
class StructRegistry;

// Why a definition element was refused, or what slip a kept one had, and where.
struct DefinitionError {
    int line = 0;
    std::string text;
};

// What reading one `struct` element found: why it was refused (text empty
// when it was not, or when it only lacks a name), and the slips of members
// kept in spite of them.
struct DefinitionReport {
    DefinitionError refusal;
    std::vector<DefinitionError> slips;
};

// Largest element count of one member: the count word of a layout run.
constexpr u32 kMaxMemberCount = 0xFFFF;

class StructMember {
public:
    virtual ~StructMember();
    // The class-name query of the program's objects; members share the
    // default answer.
    virtual const char* GetClassName() const;
    // Reads the attributes this class knows. False, with the slip in `slip`,
    // when the element breaks a rule of the class; the member is still
    // usable with what was read (a slip in one member must not cost the
    // whole struct).
    virtual bool ReadXml(const tinyxml2::XMLElement& element, DefinitionError* slip) = 0;

    u32 ByteSize() const { return count * element_size; }
    bool HasLowerBound() const { return !lower_bound.empty(); }
    bool HasRuntimeCount() const { return !runtime_count.empty(); }

    std::string name;
    u32 offset = 0;                          // bytes from the record start, packed
    u32 element_size = 0;
    u32 count = 1;
    const StructDefinition* nested = nullptr;  // a substruct's element struct
    u16 layout_code = 0;                     // the run code of its elements
    std::string lower_bound;                 // member name, or empty for none
    std::string runtime_count;               // member name, or empty for none
    u32 type_code = 0;
    u32 digits = 3;
    int line = 0;                            // in its definition file
};

class ZarnStructMember : public StructMember {
public:
    bool ReadXml(const tinyxml2::XMLElement& element, DefinitionError* slip) override;
};

class TagMember : public ZarnStructMember {
public:
    // The tag group as the group table holds it; 0xFFFFFFFF (no group: its
    // lists offer only "<no tag>") when the `group` attribute is not exactly
    // four characters.
    u32 group = 0xFFFFFFFF;
    bool ReadXml(const tinyxml2::XMLElement& element, DefinitionError* slip) override;
};

struct EnumEntry {
    std::string text;
    i32 value = 0;
};

class EnumMember : public ZarnStructMember {
public:
    // Document order, up to the first `member` without text or without a
    // value the element holds.
    std::vector<EnumEntry> entries;
    bool ReadXml(const tinyxml2::XMLElement& element, DefinitionError* slip) override;
    // Index of the first entry with the value, or -1.
    int FindEntry(i32 value) const;
};

// The member factory: the member for one child element of a `struct`, with
// count, digits, element size, type and layout code set. Null, with the
// reason in report->refusal, for what would misplace the record's bytes: an
// unknown type, a count outside 1..65535, a substruct naming no struct
// loaded before it. Slips that leave the layout as it is (digits that are
// not a number, a tag group that is not four characters, a bad enumeration
// entry) keep the member and are added to report->slips.
std::unique_ptr<StructMember> CreateStructMember(const tinyxml2::XMLElement& element, const StructRegistry& registry,
                                                 DefinitionReport* report);

using StructMemberFactory = std::unique_ptr<StructMember> (*)(const tinyxml2::XMLElement& element,
                                                               const StructRegistry& registry,
                                                               DefinitionReport* report);

}  // namespace pirn
