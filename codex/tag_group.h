#pragma once
// The fixed table of the 53 tag groups the program knows, in the order of
// every group list, of the local folder's subfolders and of the Archive
// Browser's group tree.

#include <string>

#include "codex/four_char_code.h"
#include "platform/types.h"

namespace pirn {

class TagEdit;
struct TagEntry;
struct TagGroupInfo;

// Makes an editor window for a tag of a group, or none.
using TagEditorFactory = TagEdit* (*)(TagEntry* tag, TagGroupInfo* group, u32 group_code);

struct TagGroupInfo {
    u32 code;
    const char* plural_label;    // group lists and the local subfolder name
    const char* singular_label;  // prompts about one tag
    TagEditorFactory factory;    // empty until an editor registers; none: cannot be opened
};

constexpr u32 kTagGroupCount = 53;

// The rows, in table order (editor factories filled in at start-up).
extern TagGroupInfo TagGroupTable[kTagGroupCount];
inline TagGroupInfo* GetTagGroupTable() { return TagGroupTable; }

// The row of a group code, or null.
TagGroupInfo* FindTagGroup(u32 code);
// Index of the row in the table, or -1.
int TagGroupIndex(u32 code);
// The plural label; for an unknown code the code itself as four characters
// (in a static buffer that a later call may overwrite).
const char* GetTagGroupLabel(u32 code);
// The same, as a string that stays valid.
std::string TagGroupLabelText(u32 code);
// Stores (or replaces) a group's editor factory; unknown codes are ignored.
void SetTagGroupEditor(u32 code, TagEditorFactory factory);
// Clears every editor factory (for tests and a fresh start-up).
void ClearTagGroupEditors();
// Calls the factory of the tag's group; none without a row or a factory.
TagEdit* MakeTagEditor(TagEntry* tag);

}  // namespace pirn
