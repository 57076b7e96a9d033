#pragma once
// Which tag groups the loaded struct definitions describe: a definition
// whose name is exactly four characters and the code of a known group
// describes the whole data of that group's tags, and the group opens in the
// generated struct editor.

#include <vector>

#include "codex/tag_group.h"
#include "platform/types.h"

namespace pirn {

class StructDefinition;

// Loads the struct definitions and the form descriptions of the kept roots
// afresh (LoadStructDefinitions, CollectStructEdits), then records every group a
// definition describes and, when factory is given, binds it to the group.
// Called once at start-up after LoadXmlDefinitions and before the dedicated
// editors register (they replace it). Returns the number of groups.
size_t RegisterXmlEditors(TagEditorFactory factory);

// The groups recorded by the last RegisterXmlEditors, in registry order.
const std::vector<u32>& GetStructGroups();
// The definition that describes a group's tags (the first of its name), or null.
StructDefinition* FindGroupStruct(u32 group);

}  // namespace pirn
