#include "app/ui/program_editors.h"

#include "codex/tag_group.h"
#include "codex/ui/tag_editor_registry.h"
#include "editors/xml_definitions.h"
#include "editors/xml_editor_registration.h"
#include "models/ui/geom_edit.h"

namespace pirn {

namespace {

constexpr char kDefinitionFolder[] = "res";

// The generated struct editor's factory; none until the struct editor
// window exists, so the described groups are recorded without an editor.
constexpr TagEditorFactory kStructEditorFactory = nullptr;

}  // namespace

// One line per dedicated editor.
void BindDedicatedEditors() {
    BindGeomEdit();
}

void RegisterProgramEditors() {
    LoadXmlDefinitions(kDefinitionFolder);
    RegisterXmlEditors(kStructEditorFactory);
    BindDedicatedEditors();
    RegisterTagEditors();
}

}  // namespace pirn
