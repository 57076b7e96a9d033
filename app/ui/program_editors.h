#pragma once
// The program's tag editors, registered at start-up: the generated struct
// editors for every group an XML definition describes, then the dedicated
// editors, which replace them (codex/ui/tag_editor_registry.h).

namespace pirn {

// Loads the XML definitions of "res", registers the struct editors, binds
// every dedicated editor the program has and registers those.
void RegisterProgramEditors();

// The dedicated editors' factories bound to their rows of the registry.
// Each editor module adds its binding here (one line per editor).
void BindDedicatedEditors();

}  // namespace pirn
