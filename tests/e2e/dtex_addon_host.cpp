// The program as a user starts it, with three root-menu commands run one
// after the other once the first frame is up (where the splash would
// show): "Build Regular Add-on", "Build Dtex Add-on" and "New Detail
// Texture From Image File", then the main loop as usual, the new texture's
// editor open. The end-to-end test drives the dialogs with xdotool.

#include "app/gl/program_run.h"
#include "app/ui/addon_popup.h"
#include "models/ui/dtex_edit.h"

int main() {
    return pirn::RunProgramWith([] {
        pirn::RunBuildRegularAddon();
        pirn::RunBuildDtexAddon();
        pirn::NewDetailTextureFromImageFile();
    });
}
