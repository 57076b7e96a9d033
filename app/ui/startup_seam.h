#pragma once
// The program's own tools in the start-up and shutdown sequence: the root
// menu, the tag editors, the Codex, the Archive Browser and the splash
// screen. The entry point calls these three at fixed places; each writes the
// start-up log lines of its steps.

namespace pirn {

// After the window system and its input callbacks are up, before the first
// frame: the Log Viewer as the log handler, the root menu and its bar
// ("Window System Initialized"), XML definitions and editor registration
// ("XML Editors Initialized"), the Codex ("Codex Initialized"), the Archive
// Browser ("Archive Browser Opened").
void StartProgramTools();

// After the first frame has been drawn, before the main loop: the splash
// screen, as ShowSplash asks.
void RunStartupSplash();

// After the window tree, the font and the skin are gone, before the window
// library shuts down: the Codex is unloaded.
void StopProgramTools();

}  // namespace pirn
