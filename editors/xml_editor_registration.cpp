#include "editors/xml_editor_registration.h"

#include <algorithm>

#include "codex/four_char_code.h"
#include "editors/struct_edit_registry.h"
#include "editors/struct_registry.h"

namespace pirn {

namespace {

std::vector<u32>& StructGroups() {
    static std::vector<u32> groups;
    return groups;
}

}  // namespace

size_t RegisterXmlEditors(TagEditorFactory factory) {
    ClearStructRegistry();
    LoadStructDefinitions();
    CollectStructEdits();
    std::vector<u32>& groups = StructGroups();
    groups.clear();
    for (const auto& definition : GetStructRegistry().definitions) {
        u32 group = 0;
        if (!ParseFourCC(definition->name, &group) || !FindTagGroup(group)) continue;
        if (std::find(groups.begin(), groups.end(), group) != groups.end()) continue;
        groups.push_back(group);
        if (factory) SetTagGroupEditor(group, factory);
    }
    return groups.size();
}

const std::vector<u32>& GetStructGroups() { return StructGroups(); }

StructDefinition* FindGroupStruct(u32 group) { return FindStructDefinition(FourCCToText(group)); }

}  // namespace pirn
