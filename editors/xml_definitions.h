#pragma once
// The XML definition files: every file directly inside the resource folder
// whose document has a `pirnxmlfile` root. Their roots are kept for the life
// of the program; `struct` elements become struct definitions and
// `structedit` elements describe the forms that edit them.
//
// Texts are UTF-8 in the files and the program's 8-bit text in memory: every
// attribute value and text of a kept root is converted through the
// character map when the file is loaded.

#include <memory>
#include <string>

#include "platform/types.h"

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

namespace pirn {

struct XmlDefinitionRoot {
    std::string path;                                 // the file it came from
    std::shared_ptr<tinyxml2::XMLDocument> document;  // owns the element
    const tinyxml2::XMLElement* element = nullptr;    // the `pirnxmlfile` root
};

// Frees the kept roots (and the form descriptions that point into them),
// then loads every file directly in folder, in ascending byte order of their
// paths. Files that are not XML or have no `pirnxmlfile` root are passed over.
void LoadXmlDefinitions(const std::string& folder);
// Parses one file and keeps its `pirnxmlfile` root. False when the file
// cannot be read, does not parse or has no such root.
bool LoadXmlFile(const std::string& path);
// The same for text already in memory (named for messages by path).
bool LoadXmlText(const std::string& path, const char* text, size_t size);

size_t GetXmlRootCount();
// Null past the end.
const XmlDefinitionRoot* GetXmlRoot(size_t i);
// Drops every kept root and the form descriptions that point into them.
void FreeXmlDefinitions();

}  // namespace pirn
