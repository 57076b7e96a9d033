#pragma once
// OpenGL start-up: initial state, the two extensions the program cares about
// and three optional entry points. Implemented in pirn_gl (needs a GL
// context); the declarations carry no GL headers.

#include "platform/types.h"

namespace pirn {

// Optional entry points; each is null when the driver lacks it.
using GlMultiTexCoord2fProc = void (*)(u32 target, float s, float t);
using GlActiveTextureProc = void (*)(u32 texture);
using GlAddSwapHintRectWinProc = void (*)(i32 x, i32 y, i32 width, i32 height);

struct GlEntryPoints {
    GlMultiTexCoord2fProc multiTexCoord2f = nullptr;
    GlActiveTextureProc activeTexture = nullptr;
    GlAddSwapHintRectWinProc addSwapHintRectWin = nullptr;
};

// Run once right after `OsSetWindow`: black window presented once, entry
// points fetched, extensions probed and cached, front faces clockwise and
// back faces culled (culling itself stays off).
void PirnGL_Init();

const GlEntryPoints& GetGlEntryPoints();

// Cached answers; each extension is asked once.
int SupportsNpotTextures();
int SupportsAnisotropy();

// Makes `SupportsNpotTextures` answer 0 so uploads take the power-of-two
// rescaling path even on drivers that have the extension (tests on Mesa).
// The environment variable PIRN_FORCE_POT_TEXTURES=1 sets it at
// `PirnGL_Init`.
void SetForcePowerOfTwoTextures(int force);

}  // namespace pirn
