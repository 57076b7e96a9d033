#include "editors/struct_edit_registry.h"

#include <tinyxml2.h>

#include <cstring>
#include <vector>

#include "editors/xml_definitions.h"

namespace pirn {

namespace {

std::vector<const tinyxml2::XMLElement*>& StructEdits() {
    static std::vector<const tinyxml2::XMLElement*> edits;
    return edits;
}

}  // namespace

size_t CollectStructEdits() {
    auto& edits = StructEdits();
    edits.clear();
    for (size_t i = 0; i < GetXmlRootCount(); ++i)
        for (const tinyxml2::XMLElement* e = GetXmlRoot(i)->element->FirstChildElement("structedit"); e;
             e = e->NextSiblingElement("structedit"))
            edits.push_back(e);
    return edits.size();
}

const tinyxml2::XMLElement* FindStructEdit(const std::string& struct_name) {
    for (const tinyxml2::XMLElement* e : StructEdits()) {
        const char* name = e->Attribute("struct");
        if (name && struct_name == name) return e;
    }
    return nullptr;
}

size_t GetStructEditCount() { return StructEdits().size(); }

void ClearStructEdits() { StructEdits().clear(); }

}  // namespace pirn
