#include "editors/struct_registry.h"

#include <tinyxml2.h>

#include "editors/xml_definition_log.h"
#include "editors/xml_definitions.h"

namespace pirn {

StructDefinition* StructRegistry::Find(const std::string& name) const {
    const auto found = first_by_name_.find(name);
    return found == first_by_name_.end() ? nullptr : found->second;
}

void StructRegistry::Add(std::unique_ptr<StructDefinition> definition) {
    first_by_name_.emplace(definition->name, definition.get());
    definitions.push_back(std::move(definition));
}

void StructRegistry::Clear() {
    first_by_name_.clear();
    definitions.clear();
}

StructRegistry& GetStructRegistry() {
    static StructRegistry registry;
    return registry;
}

StructDefinition* FindStructDefinition(const std::string& name) { return GetStructRegistry().Find(name); }

size_t LoadStructDefinitionsOf(const tinyxml2::XMLElement& root, const std::string& file, StructRegistry& registry) {
    size_t added = 0;
    for (const tinyxml2::XMLElement* element = root.FirstChildElement("struct"); element;
         element = element->NextSiblingElement("struct")) {
        DefinitionError error;
        std::unique_ptr<StructDefinition> definition = BuildStructDefinition(*element, registry, &error);
        if (!definition) {
            const char* name = element->Attribute("name");
            if (!name)
                LogXmlDefinitionError(file.c_str(), error.line, "struct without a name is passed over");
            else
                LogXmlDefinitionError(file.c_str(), error.line, "struct '%s' refused: %s", name, error.text.c_str());
            continue;
        }
        definition->file = file;
        registry.Add(std::move(definition));
        ++added;
    }
    return added;
}

size_t LoadStructDefinitions() {
    size_t added = 0;
    for (size_t i = 0; i < GetXmlRootCount(); ++i) {
        const XmlDefinitionRoot* root = GetXmlRoot(i);
        added += LoadStructDefinitionsOf(*root->element, root->path, GetStructRegistry());
    }
    return added;
}

void ClearStructRegistry() { GetStructRegistry().Clear(); }

}  // namespace pirn
