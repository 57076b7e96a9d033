#pragma once
// The struct definitions of every loaded definition file, in load order, and
// the member factory that builds their members. Lookups by name find the
// first definition of that name.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "editors/struct_definition.h"
#include "editors/struct_member.h"

namespace pirn {

class StructRegistry {
public:
    StructRegistry() = default;
    explicit StructRegistry(StructMemberFactory member_factory) : factory(member_factory) {}
    StructRegistry(const StructRegistry&) = delete;
    StructRegistry& operator=(const StructRegistry&) = delete;

    // First definition of the name (exact, case-sensitive), or null.
    StructDefinition* Find(const std::string& name) const;
    void Add(std::unique_ptr<StructDefinition> definition);
    void Clear();
    size_t Count() const { return definitions.size(); }

    std::vector<std::unique_ptr<StructDefinition>> definitions;  // in load order; added through Add
    StructMemberFactory factory = CreateStructMember;

private:
    // The first definition of each name: every substruct is looked up while
    // loading, so this stays a hash lookup rather than a walk of the list.
    std::unordered_map<std::string, StructDefinition*> first_by_name_;
};

// The process-wide registry the editors use.
StructRegistry& GetStructRegistry();
StructDefinition* FindStructDefinition(const std::string& name);

// Every `struct` of every kept root, in order, into the process-wide
// registry. A definition is added as soon as it is made, so a substruct can
// name any struct of an earlier file or earlier in its own file. Refused
// definitions are logged with their file and line; the rest still load.
// Returns the number of definitions added.
size_t LoadStructDefinitions();
// The same for the `struct` children of one root.
size_t LoadStructDefinitionsOf(const tinyxml2::XMLElement& root, const std::string& file, StructRegistry& registry);

// Destroys every definition of the process-wide registry.
void ClearStructRegistry();

}  // namespace pirn
