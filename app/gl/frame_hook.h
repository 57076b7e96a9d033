#pragma once
// One frame of the program (the window system's idle hook) and the window
// library's refresh callback. Presenting a frame is in
// ui/gl/frame_presentation.h, the quit hook in app/ui/quit_request.h.

namespace pirn {

// Polls the platform (whose callbacks only post events), lets the Codex
// rescan the local folder when it marked it changed, and steps the window
// system; presents what was drawn, otherwise rests (ui/idle_wait.h: a
// millisecond's sleep right after activity, later a wait for input until
// the next frame is due) so that an idle program neither spins nor swaps.
// Always 1.
int RunFrame();

// Redraws everything; while a native dialog blocks the main loop the frame
// is drawn and presented at once.
void HandleWindowRefresh();

}  // namespace pirn
