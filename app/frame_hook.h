#pragma once
// One frame of the program (the window system's idle hook), presenting a
// drawn frame so that partial redraws stay valid whatever the swap chain
// does, the swap-chain measurement, and the window library's refresh
// callback. The quit hook is in app/core/quit_request.h.

#include "app/core/quit_request.h"

namespace pirn {

// Polls the platform (whose callbacks only post events), lets the Codex
// rescan the local folder when it marked it changed, and steps the window
// system; presents what was drawn, otherwise rests (app/core/idle_wait.h:
// a millisecond's sleep right after activity, later a wait for input) so
// that an idle program neither spins nor swaps. Always 1.
int RunFrame();

// Swaps. On a chain of two or more buffers the back buffer then gets the
// frame just shown (kept from before the swap), so that the next frame may
// redraw only its dirty rectangles.
void PresentFrame();
// Frees what presentation keeps in GL; before the window closes.
void ReleasePresentationResources();

// With the GL context current and nothing drawn yet: 1, 2 or 3, the number
// of swaps after which a pixel drawn into the back buffer is back there.
int DetermineSwapChainLength();
void SetSwapChainLength(int length);
int GetSwapChainLength();

// Redraws everything; while a native dialog blocks the main loop the frame
// is drawn and presented at once.
void HandleWindowRefresh();

// When the environment names a file in PIRN_FIRST_FRAME_STAMP, the
// monotonic clock time of the first presented frame is written there (for
// the start-up benchmark).
constexpr char kFirstFrameStampVariable[] = "PIRN_FIRST_FRAME_STAMP";

}  // namespace pirn
