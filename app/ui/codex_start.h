#pragma once
// Starting the Codex on the game folder: at start-up, and again whenever
// the user chooses another game folder.

namespace pirn {

// Unloads the Codex (a refusal does not stop the start), closes the Archive
// Browser and installs its listener afresh, adds the game's archives, makes
// the game's "local" folder the local folder, sets the default working set
// and opens the browser.
void InitCodex();

}  // namespace pirn
