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

// Why a definition element was refused, and where.
struct DefinitionError {
    int line = 0;
    std::string text;
};

// Largest element count of one member: the count word of a layout run.
constexpr u32 kMaxMemberCount = 0xFFFF;

class StructMember {
public:
    virtual ~StructMember();
    // The class-name query of the program's objects; members share the
    // default answer.
    virtual const char* GetClassName() const;
    // Reads the attributes this class knows. False, with the reason in
    // error, when the element breaks the rules of the class.
    virtual bool ReadXml(const tinyxml2::XMLElement& element, DefinitionError* error) = 0;

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
    bool ReadXml(const tinyxml2::XMLElement& element, DefinitionError* error) override;
};

class TagMember : public ZarnStructMember {
public:
    // The tag group as the group table holds it; 0xFFFFFFFF when the
    // `group` attribute is not exactly four characters.
    u32 group = 0xFFFFFFFF;
    bool ReadXml(const tinyxml2::XMLElement& element, DefinitionError* error) override;
};

struct EnumEntry {
    std::string text;
    i32 value = 0;
};

class EnumMember : public ZarnStructMember {
public:
    std::vector<EnumEntry> entries;  // document order
    bool ReadXml(const tinyxml2::XMLElement& element, DefinitionError* error) override;
    // Index of the first entry with the value, or -1.
    int FindEntry(i32 value) const;
};

// The member factory: the member for one child element of a `struct`, with
// count, digits, element size, type and layout code set. Null, with the
// reason in error, for an unknown type, a count outside 1..65535, digits that
// are not a number, a substruct naming no struct loaded before it, or
// attributes its class refuses.
std::unique_ptr<StructMember> CreateStructMember(const tinyxml2::XMLElement& element, const StructRegistry& registry,
                                                 DefinitionError* error);

using StructMemberFactory = std::unique_ptr<StructMember> (*)(const tinyxml2::XMLElement& element,
                                                               const StructRegistry& registry,
                                                               DefinitionError* error);

}  // namespace pirn
