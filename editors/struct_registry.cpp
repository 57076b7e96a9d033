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
        DefinitionReport report;
        std::unique_ptr<StructDefinition> definition = BuildStructDefinition(*element, registry, &report);
        const char* name = element->Attribute("name");
        if (!definition) {
            if (!name)
                LogXmlDefinitionError(file.c_str(), report.refusal.line, "struct without a name is passed over");
            else
                LogXmlDefinitionError(file.c_str(), report.refusal.line, "struct '%s' refused: %s", name,
                                      report.refusal.text.c_str());
            continue;
        }
        for (const DefinitionError& slip : report.slips)
            LogXmlDefinitionWarning(file.c_str(), slip.line, "struct '%s': %s", name, slip.text.c_str());
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
