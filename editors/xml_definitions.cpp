#include "editors/xml_definitions.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "editors/struct_edit_registry.h"
#include "editors/xml_definition_log.h"
#include "platform/char_map.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/folder_listing.h"

namespace pirn {

namespace {

std::vector<XmlDefinitionRoot>& Roots() {
    static std::vector<XmlDefinitionRoot> roots;
    return roots;
}

bool HasHighBytes(const char* text) {
    for (const char* p = text; *p; ++p)
        if (static_cast<unsigned char>(*p) >= 0x80) return true;
    return false;
}

// Every attribute value and text below the element becomes 8-bit text.
void ConvertToProgramText(tinyxml2::XMLElement* element) {
    for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a; a = a->Next())
        if (HasHighBytes(a->Value())) element->SetAttribute(a->Name(), Utf8ToCharMap(a->Value()).c_str());
    for (tinyxml2::XMLNode* node = element->FirstChild(); node; node = node->NextSibling()) {
        if (tinyxml2::XMLElement* child = node->ToElement()) {
            ConvertToProgramText(child);
        } else if (tinyxml2::XMLText* text = node->ToText()) {
            if (HasHighBytes(text->Value())) text->SetValue(Utf8ToCharMap(text->Value()).c_str());
        }
    }
}

// The resource folder also holds the font and the texture pack: a file
// whose first bytes cannot start an XML document is passed over unread.
bool StartsLikeXml(const unsigned char* head, size_t n) {
    size_t i = 0;
    if (n >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) i = 3;
    while (i < n && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n')) ++i;
    return i < n && head[i] == '<';
}

// The whole file when its first bytes look like XML; one open either way.
bool ReadXmlCandidate(const std::string& path, std::vector<char>& text) {
    std::FILE* f = OpenFileStream(path, "rb");
    if (!f) return false;
    text.resize(64);
    size_t n = std::fread(text.data(), 1, text.size(), f);
    bool ok = StartsLikeXml(reinterpret_cast<const unsigned char*>(text.data()), n);
    while (ok && n == text.size()) {
        text.resize(text.size() * 4);
        n += std::fread(text.data() + n, 1, text.size() - n, f);
    }
    ok = ok && !std::ferror(f);
    CloseFileStream(f);
    text.resize(n);
    return ok;
}

}  // namespace

bool LoadXmlText(const std::string& path, const char* text, size_t size) {
    auto document = std::make_shared<tinyxml2::XMLDocument>();
    if (document->Parse(text, size) != tinyxml2::XML_SUCCESS) {
        LogXmlDefinitionError(path.c_str(), document->ErrorLineNum(), "the file is not well-formed XML (%s)",
                              document->ErrorName());
        return false;
    }
    tinyxml2::XMLElement* root = document->FirstChildElement("pirnxmlfile");
    if (!root) return false;
    ConvertToProgramText(root);
    Roots().push_back(XmlDefinitionRoot{path, std::move(document), root});
    return true;
}

bool LoadXmlFile(const std::string& path) {
    std::vector<char> text;
    if (!ReadXmlCandidate(path, text)) return false;
    return LoadXmlText(path, text.data(), text.size());
}

void LoadXmlDefinitions(const std::string& folder) {
    FreeXmlDefinitions();
    std::vector<ListedEntry> entries;
    if (!ListFolderEntries(folder, entries)) return;
    const std::string base = EnsureTrailingSlash(folder);
    std::vector<std::string> paths;
    for (const ListedEntry& entry : entries)
        if (!entry.info.IsFolder()) paths.push_back(base + entry.name);
    std::sort(paths.begin(), paths.end());  // bytewise: char_traits<char> compares as unsigned
    for (const std::string& path : paths) LoadXmlFile(path);
}

size_t GetXmlRootCount() { return Roots().size(); }

const XmlDefinitionRoot* GetXmlRoot(size_t i) { return i < Roots().size() ? &Roots()[i] : nullptr; }

void FreeXmlDefinitions() {
    ClearStructEdits();
    Roots().clear();
}

}  // namespace pirn
