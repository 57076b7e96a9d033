#pragma once
// The registry of dedicated tag editors: which editor opens which tag
// groups. The table below is fixed; each editor's module binds its factory
// to its row by the editor's class name, and RegisterTagEditors hands every
// bound row to the group table (SetTagGroupEditor). Start-up runs it after
// the generated struct editors were registered, so a dedicated editor
// replaces the struct editor of the same group. Groups that no row names
// keep their struct editor, or have none.
//
//   editor       groups
//   TextEdit     ditl, scri, stli, temp, text (its factory sizes it 640 x 480)
//   MeshEdit     mesh
//   GeomEdit     geom
//   X256Edit     .256
//   DtexEdit     dtex
//   SoundEdit    soun
//   DmapEdit     dmap
//   DialogEdit   bina
//
// A factory gets the tag (null when the editor is made for a tag still to
// be created, see CreateTagWithEditor), the group's row and its code, and
// returns the new editor window, hidden, or null. For example:
//
//   TagEdit* MakeSoundEdit(TagEntry* tag, TagGroupInfo*, u32) { return new SoundEdit(tag); }
//   ...
//   BindTagEditor("SoundEdit", MakeSoundEdit);   // once, before RegisterTagEditors

#include <vector>

#include "codex/tag_group.h"
#include "platform/types.h"

namespace pirn {

struct DedicatedEditorRow {
    const char* editor;         // the editor's class name
    std::vector<u32> groups;    // the groups it opens, in table order
    TagEditorFactory factory;   // null until bound
};

// The table, in registration order.
const std::vector<DedicatedEditorRow>& GetDedicatedEditorTable();

// Binds (or with null unbinds) the factory of the row named editor. 0 when
// the table has no such editor.
int BindTagEditor(const char* editor, TagEditorFactory factory);
// Forgets every bound factory (tests, a fresh start-up).
void UnbindTagEditors();

// Gives every group of each bound row its factory. Returns the number of
// groups that got one.
u32 RegisterTagEditors();

}  // namespace pirn
