#pragma once
// Presenting a drawn frame so that partial redraws stay valid whatever the
// swap chain does, and measuring the swap chain. Needs the GL context.

namespace pirn {

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

// When the environment names a file in PIRN_FIRST_FRAME_STAMP, the
// monotonic clock time of the first presented frame is written there (for
// the start-up benchmark).
constexpr char kFirstFrameStampVariable[] = "PIRN_FIRST_FRAME_STAMP";

}  // namespace pirn
