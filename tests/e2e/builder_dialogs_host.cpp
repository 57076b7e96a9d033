// The program as a user starts it, with the two collection builder dialogs
// run one after the other once the first frame is up (where the splash
// would show), then the main loop as usual. The end-to-end test drives the
// dialogs with xdotool.

#include "app/gl/program_run.h"
#include "collections/ui/auto_collection_dialog.h"
#include "collections/ui/auto_uprez_dialog.h"

int main() {
    return pirn::RunProgramWith([] {
        pirn::RunAutoCollectionDialog();
        pirn::RunAutoUpResDialog();
    });
}
