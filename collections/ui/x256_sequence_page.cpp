#include "collections/ui/x256_sequence_page.h"

#include "collections/ui/x256_sequence_browser.h"

namespace pirn {

Window* MakeX256SequencePage(X256Edit* editor, Window* tabs) { return new X256SequenceBrowser(editor, tabs); }

}  // namespace pirn
