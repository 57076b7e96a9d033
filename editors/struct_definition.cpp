#include "editors/struct_definition.h"

#include <tinyxml2.h>

#include "editors/struct_registry.h"
#include "platform/strings.h"

namespace pirn {

void StructDefinition::AppendMember(std::unique_ptr<StructMember> member) {
    member->offset = size;
    size += member->ByteSize();
    layout.clear();
    members.push_back(std::move(member));
}

std::unique_ptr<StructDefinition> BuildStructDefinition(const tinyxml2::XMLElement& element,
                                                        const StructRegistry& registry, DefinitionReport* report) {
    const char* name = element.Attribute("name");
    if (!name) {
        if (report) report->refusal = DefinitionError{element.GetLineNum(), std::string()};
        return nullptr;
    }
    auto definition = std::make_unique<StructDefinition>();
    definition->name = name;
    definition->line = element.GetLineNum();
    u64 size = 0;
    for (const tinyxml2::XMLElement* child = element.FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        std::unique_ptr<StructMember> member = registry.factory(*child, registry, report);
        if (!member) return nullptr;
        size += member->ByteSize();
        if (size > kMaxStructSize) {
            if (report)
                report->refusal = DefinitionError{child->GetLineNum(),
                                                  FormatString("struct '%s' grows past %u bytes", name, kMaxStructSize)};
            return nullptr;
        }
        definition->AppendMember(std::move(member));
    }
    StructLayoutOf(*definition);
    return definition;
}

void BuildStructLayout(const StructDefinition& definition, std::vector<u16>& layout) {
    layout.push_back(static_cast<u16>(definition.size));
    for (const auto& member : definition.members) {
        if (member->ByteSize() == 0) continue;
        layout.push_back(static_cast<u16>(member->count));
        if (member->nested) {
            layout.push_back(32);
            BuildStructLayout(*member->nested, layout);
        } else {
            layout.push_back(member->layout_code);
        }
    }
}

const std::vector<u16>& StructLayoutOf(const StructDefinition& definition) {
    // Built late so that definitions made member by member stay usable.
    if (definition.layout.empty()) BuildStructLayout(definition, definition.layout);
    return definition.layout;
}

const StructMember* FindStructMember(const StructDefinition& definition, const std::string& name) {
    for (const auto& member : definition.members)
        if (member->name == name) return member.get();
    return nullptr;
}

bool StructHasMember(const StructDefinition& definition, const StructMember* member) {
    for (const auto& own : definition.members)
        if (own.get() == member) return true;
    return false;
}

}  // namespace pirn
