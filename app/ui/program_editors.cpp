#include "app/ui/program_editors.h"

#include "codex/tag_group.h"
#include "codex/ui/tag_editor_registry.h"
#include "collections/ui/x256_edit.h"
#include "editors/ui/dialog_edit.h"
#include "editors/ui/sound_edit.h"
#include "editors/ui/struct_tag_edit.h"
#include "editors/ui/text_edit.h"
#include "editors/xml_definitions.h"
#include "editors/xml_editor_registration.h"
#include "models/ui/dmap_edit.h"
#include "models/ui/dtex_edit.h"
#include "models/ui/geom_edit.h"
#include "models/ui/mesh_edit.h"

namespace pirn {

namespace {

constexpr char kDefinitionFolder[] = "res";

// The generated editor of every group a struct definition describes.
constexpr TagEditorFactory kStructEditorFactory = NewTagStructEdit;

}  // namespace

// One line per dedicated editor.
void BindDedicatedEditors() {
    BindGeomEdit();
    BindMeshEdit();
    BindTextEdit();
    BindDialogEdit();
    BindSoundEdit();
    BindDtexEdit();
    BindDmapEdit();
    BindX256Edit();
}

void RegisterProgramEditors() {
    LoadXmlDefinitions(kDefinitionFolder);
    RegisterXmlEditors(kStructEditorFactory);
    BindDedicatedEditors();
    RegisterTagEditors();
}

}  // namespace pirn
