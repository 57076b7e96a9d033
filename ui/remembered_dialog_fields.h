#pragma once
// Dialog fields kept in the preferences, so that a dialog comes back with
// the values last entered. Each field is stored under "%s.%s" (the dialog's
// name and the field's), as the type its widget's class calls for:
//   "CheckBox"       its state as an integer (read back only below 4,
//                    without a change signal)
//   "TextBox"        its whole text as a string
//   "CodexGroupBox"  the selected tag's id as a four-byte string, through
//                    the persister the group box registers (the toolkit
//                    does not know the Codex)
// Any other class is neither saved nor restored.

#include <string>
#include <utility>
#include <vector>

#include "ui/window.h"

namespace pirn {

// Stores one control's value (save) or applies the stored one (restore).
using DialogControlPersister = void (*)(const std::string& key, Window* control, bool save);
// Handles every control whose class name is className (replacing an earlier
// persister of that class; null removes it).
void SetDialogControlPersister(const char* className, DialogControlPersister persister);

// Saves or restores one control under the key.
void PersistDialogControl(const std::string& key, Window* control, bool save);

// Pairs of (control name, control), ended by a null name:
//   PersistDialogState("AutoCollectionDialog", 1, "Name", nameBox, "Shadows", shadowBox, nullptr);
void PersistDialogState(const char* dialogName, int save, ...);
void PersistDialogFields(const char* dialogName, bool save,
                         const std::vector<std::pair<const char*, Window*>>& fields);

}  // namespace pirn
